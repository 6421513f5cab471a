#pragma once
// The error report of a routine that owns a database connection: a critical
// box "There has been an error" with the error's description, number and
// source under the routine's own title, then every error of the connection
// in the error log. Closing the routine's recordsets and connection is left
// to the routine.

#include <QString>

#include "common/mdlLogs.h"
#include "platform/core/Error.h"
#include "platform/core/ProviderError.h"
#include "platform/core/Result.h"
#include "platform/ui/MessageBox.h"

namespace orlo {

inline constexpr char16_t kErrorBoxHeading[] = u"There has been an error";

// "There has been an error" CR LF "  " description "  " number "  " source.
QString errorBoxText(const Error& error);

// Shows the box (critical icon, OK button, `title`) and logs `connectionErrors`.
// Returns how the log went; a failed log entry is the caller's to handle.
Status reportDatabaseError(const Error& error, const QString& title,
                           const ProviderErrors& connectionErrors, MessageBoxService& boxes,
                           const mdlLogs& log);

}  // namespace orlo
