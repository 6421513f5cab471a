#pragma once
// ErrorTrap: the add-in's one idiom for "on error resume next for these
// numbers, otherwise jump to the error path".
//
//   ErrorTrap trap({err::kInvalidProcedureCall, err::kUnknownFormControl});
//   trap.step([&] { return item.setUserProperty(...); });  // Status or void
//   auto rs = trap.value([&] { return conn.openRecordset(...); });  // optional
//   if (trap.failed()) reportDatabaseError(...);
//
// A step whose error is passed over lets the next step run. The first other
// error is remembered and every later step is skipped. Steps are lambdas so
// that a skipped step evaluates nothing.
//
// ErrorTrap::resumeNext() passes over every error: each step runs whatever
// the steps before it did (the event handlers that must never fail).
//
// ignoreError(status, why) is the one way to drop a Status on purpose (a
// close after the work is done, a best-effort cleanup): the reason stands
// in the source and the passed-over error goes to the debug log.

#include <algorithm>
#include <concepts>
#include <initializer_list>
#include <optional>
#include <type_traits>
#include <vector>

#include "platform/core/Result.h"

namespace orlo {

class ErrorTrap {
public:
    // Error 5 is passed over everywhere; item handlers add 40006.
    ErrorTrap() : m_passOver{err::kInvalidProcedureCall} {}
    explicit ErrorTrap(std::initializer_list<long> passOver) : m_passOver(passOver) {}
    static ErrorTrap resumeNext() {
        ErrorTrap trap;
        trap.m_passAll = true;
        return trap;
    }

    bool failed() const { return m_error.has_value(); }
    const Error& error() const { return *m_error; }

    // Runs f unless an earlier step failed. f returns Status or void.
    // Returns true when f ran and succeeded.
    template <typename F>
    bool step(F&& f) {
        if (failed()) {
            return false;
        }
        if constexpr (std::is_void_v<std::invoke_result_t<F>>) {
            f();
            return true;
        } else {
            Status s = f();
            return accept(s);
        }
    }

    // Runs f (returning Result<T>) unless an earlier step failed; the value
    // when it succeeded, nothing when it failed or was skipped.
    template <typename F>
    auto value(F&& f) -> std::optional<std::remove_cvref_t<decltype(f().value())>> {
        if (failed()) {
            return std::nullopt;
        }
        auto r = f();
        if (r.ok()) {
            return std::move(r).value();
        }
        accept(Status(r.error()));
        return std::nullopt;
    }

    // Records an error raised by the routine itself (its own "Err.Raise");
    // after a failure the first error is kept.
    bool raise(const Error& e) { return accept(Status(e)); }

    // Passed-over errors, for a routine that wants to know what it ignored.
    const std::vector<Error>& passedOver() const { return m_ignored; }

private:
    bool accept(const Status& s) {
        if (s.ok()) {
            return true;
        }
        const bool passOver = m_passAll || std::find(m_passOver.begin(), m_passOver.end(),
                                                     s.error().number) != m_passOver.end();
        if (passOver) {
            m_ignored.push_back(s.error());
            return false;
        }
        // The first error stands: a later raise must not hide what sent the
        // routine to its error path.
        if (!m_error) {
            m_error = s.error();
        }
        return false;
    }

    std::vector<long> m_passOver;
    bool m_passAll = false;
    std::optional<Error> m_error;
    std::vector<Error> m_ignored;
};

// Passes over `status` whatever it holds, saying why; a failure is written
// to the debug log (logging category "orlo.ignored") with the reason.
void ignoreError(const Status& status, const char* why);

}  // namespace orlo
