#pragma once
// Result<T>: a value or an Error. Status is Result<void>. This is how every
// routine of the system says that it failed; callers test, pass on or trap.
// A layer with its own error value names it as the second parameter (the
// SQLite layer's Result<T, SqliteError>).
//
// Passing a failure on takes one line:
//
//   ORLO_TRY(store.remove(id));                        // Status or Result<T>
//   ORLO_TRY_ASSIGN(FolderInfo info, store.folder(id)); // declares and assigns
//   ORLO_TRY_ASSIGN(existing, store.load(id));          // assigns to a variable
//
// Each returns the failed result's error from the enclosing function, whose
// own Result must be constructible from that error. ORLO_TRY_ASSIGN expands
// to more than one statement: use it only directly inside a block; a
// declared type with a comma in it is spelt `auto` there. Where the
// error must be changed on the way (another layer's error value, a message
// that names the file), test and return by hand.

#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

#include "platform/core/Error.h"

namespace orlo {

template <typename T, typename E = Error>
class [[nodiscard]] Result {
public:
    using value_type = T;
    using error_type = E;

    Result(T value) : m_state(std::move(value)) {}  // NOLINT: implicit by design
    Result(E error) : m_state(std::move(error)) {}  // NOLINT

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    // It is a grievous error to read the value of a failed result.
    const T& value() const& { return std::get<T>(m_state); }
    T& value() & { return std::get<T>(m_state); }
    // Moved out by value, so that `for (x : f().value())` is safe.
    T value() && { return std::get<T>(std::move(m_state)); }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }

    const E& error() const& { return std::get<E>(m_state); }
    E&& error() && { return std::get<E>(std::move(m_state)); }
    T valueOr(T fallback) const { return ok() ? value() : std::move(fallback); }

private:
    std::variant<T, E> m_state;
};

template <typename E>
class [[nodiscard]] Result<void, E> {
public:
    using value_type = void;
    using error_type = E;

    Result() = default;
    // An error value that says "no error" (Error with number 0) is success.
    Result(E error)  // NOLINT: implicit by design
    {
        if constexpr (requires { error.isError(); }) {
            if (!error.isError()) {
                return;
            }
        }
        m_error = std::move(error);
    }

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const E& error() const& { return *m_error; }
    E&& error() && { return std::move(*m_error); }

private:
    std::optional<E> m_error;
};

using Status = Result<void>;

inline Status okStatus() {
    return {};
}

namespace detail {
// The error of a failed result, moved out of a temporary, copied from a
// named one.
template <typename R>
decltype(auto) errorOf(R&& result) {
    if constexpr (std::is_lvalue_reference_v<R>) {
        return result.error();
    } else {
        return std::move(result).error();
    }
}
}  // namespace detail

}  // namespace orlo

#define ORLO_TRY(...) ORLO_TRY_IMPL_(ORLO_TRY_CONCAT_(orloTryResult_, __LINE__), (__VA_ARGS__))
#define ORLO_TRY_IMPL_(tmp, expr)                                             \
    do {                                                                      \
        if (auto&& tmp = (expr); !tmp.ok()) {                                 \
            return ::orlo::detail::errorOf(std::forward<decltype(tmp)>(tmp)); \
        }                                                                     \
    } while (false)

#define ORLO_TRY_CONCAT_INNER_(a, b) a##b
#define ORLO_TRY_CONCAT_(a, b) ORLO_TRY_CONCAT_INNER_(a, b)
#define ORLO_TRY_ASSIGN_IMPL_(tmp, lhs, expr) \
    auto tmp = (expr);                        \
    if (!tmp.ok()) {                          \
        return std::move(tmp).error();        \
    }                                         \
    lhs = std::move(tmp).value()
#define ORLO_TRY_ASSIGN(lhs, ...) \
    ORLO_TRY_ASSIGN_IMPL_(ORLO_TRY_CONCAT_(orloTryValue_, __LINE__), lhs, (__VA_ARGS__))
