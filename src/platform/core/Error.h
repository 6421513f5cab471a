#pragma once
// The one error value of the system: number, description and source, as the
// add-in's routines raise, trap and report them. Errors never travel as
// exceptions; a routine that can fail returns a Result or a Status.

#include <QString>

namespace orlo {

// Error numbers that callers test by value.
namespace err {
inline constexpr long kNone = 0;
inline constexpr long kInvalidProcedureCall = 5;  // passed over everywhere
inline constexpr long kOverflow = 6;
inline constexpr long kSubscriptOutOfRange = 9;
inline constexpr long kTypeMismatch = 13;
inline constexpr long kFileNotFound = 53;
inline constexpr long kPathFileAccessError = 75;
inline constexpr long kPathNotFound = 76;
inline constexpr long kObjectNotSet = 91;
inline constexpr long kInvalidUseOfNull = 94;
inline constexpr long kCannotCreateObject = 429;  // component missing
inline constexpr long kObjectNotAvailable = 440;  // automation error
inline constexpr long kNoCurrentRecord = 3021;    // BOF or EOF
inline constexpr long kItemNotInCollection = 3265;
inline constexpr long kOperationNotAllowed = 3219;      // object closed
inline constexpr long kUnknownFormControl = 40006;      // passed over by item handlers
inline constexpr long kConnectionRefused = 24061;       // socket: peer absent
inline constexpr long kReferencedRecord = -2147217887;  // delete refused by related rows
// 0x80040E14: the command text is not valid SQL, or names a table or column
// that does not exist.
inline constexpr long kCommandError = -2147217900;
inline constexpr long kProviderFailure = -2147467259;  // 0x80004005, the provider's general failure
}  // namespace err

struct Error {
    long number = err::kNone;
    QString description;
    QString source;

    bool isError() const { return number != err::kNone; }
    bool operator==(const Error&) const = default;
};

inline Error makeError(long number, QString description, QString source = {}) {
    return Error{number, std::move(description), std::move(source)};
}

}  // namespace orlo
