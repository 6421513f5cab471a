#pragma once
// Error numbers and sources of the data layer beyond the shared ones in
// platform/core/Error.h, and the constants of connection and recordset state.

#include <QString>
#include <QStringView>

#include "platform/core/Error.h"

namespace orlo::data {

// Object state (Connection::state, Recordset::state).
inline constexpr int kStateClosed = 0;
inline constexpr int kStateOpen = 1;

// Cursor and lock types and the "command type not specified" option.
inline constexpr int kOpenForwardOnly = 0;
inline constexpr int kOpenKeyset = 1;
inline constexpr int kOpenDynamic = 2;
inline constexpr int kOpenStatic = 3;
inline constexpr int kLockReadOnly = 1;
inline constexpr int kLockPessimistic = 2;
inline constexpr int kLockOptimistic = 3;
inline constexpr int kLockBatchOptimistic = 4;
inline constexpr int kCmdUnspecified = -1;

// Beyond the shared numbers (orlo::err::kCommandError for a text that is no
// valid SQL or names what does not exist, ...):
namespace err {
// A row breaks a constraint other than a reference (0x80040E2F).
inline constexpr long kIntegrityViolation = -2147217873;
// A field name or position that the recordset does not have (3265 shared).
// The current record was deleted (3167).
inline constexpr long kRecordDeleted = 3167;
// The recordset cannot be updated (no key column, or a read-only lock).
inline constexpr long kNotUpdatable = 3251;
}  // namespace err

// Source of every error the data layer raises.
inline constexpr QStringView kErrorSource = u"Orlo Data Provider (SQLite)";

// Texts of the errors raised in more than one place.
inline constexpr QStringView kObjectClosedText =
    u"Operation is not allowed when the object is closed.";
inline constexpr QStringView kObjectOpenText = u"Operation is not allowed when the object is open.";
inline constexpr QStringView kTrailingTextText = u"Characters found after end of SQL statement.";

// An error raised by the data layer.
inline Error dataError(long number, const QString& text) {
    return makeError(number, text, kErrorSource.toString());
}

}  // namespace orlo::data
