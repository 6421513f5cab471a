#pragma once
// Result<T>: a value or an Error. Status is Result<void>. This is how every
// routine of the system says that it failed; callers test, pass on or trap.

#include <optional>
#include <utility>
#include <variant>

#include "platform/core/Error.h"

namespace orlo {

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}      // NOLINT: implicit by design
    Result(Error error) : m_state(std::move(error)) {}  // NOLINT

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    // It is a grievous error to read the value of a failed result.
    const T& value() const& { return std::get<T>(m_state); }
    T& value() & { return std::get<T>(m_state); }
    T&& value() && { return std::get<T>(std::move(m_state)); }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }

    const Error& error() const { return std::get<Error>(m_state); }
    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }

private:
    std::variant<T, Error> m_state;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error)  // NOLINT: implicit by design
    {
        if (error.isError()) {
            m_error = std::move(error);
        }
    }

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};

using Status = Result<void>;

inline Status okStatus() {
    return {};
}

}  // namespace orlo
