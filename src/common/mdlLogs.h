#pragma once
// mdlLogs: the error log "\logs\error.log" in the application folder, where
// errors that no user sees are kept: unload-file failures, socket errors and
// the provider errors of every routine that owns a database connection.
//
// One entry per call: "[" short date " : " long time "] " message CR LF, in
// UTF-8, appended to the file, which is opened and closed on every call so
// nothing is lost when the process dies. The "logs" folder is laid out at
// installation and never created here: when it is missing, or the file
// cannot be written, the error goes back to the caller to handle.

#include <QString>

#include "platform/core/AppFolder.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/core/ProviderError.h"
#include "platform/core/Result.h"

namespace orlo {

inline constexpr char16_t kErrorLogName[] = u"\\logs\\error.log";

// What the log needs to know about the workstation; the objects must outlive
// the mdlLogs that uses them.
struct LogContext {
    const AppFolder& folder;
    const Clock& clock;
    const Locale& locale;
};

class mdlLogs {
public:
    explicit mdlLogs(LogContext context) : m_context(context) {}

    QString logPath() const;

    // Appends one entry with the caller's message unchanged.
    Status WriteErrorLog(const QString& message) const;

    // One entry per error of a connection's error collection, in order;
    // stops at the first entry that cannot be written. The statements
    // behind them go to the developer's trace only (common/SqlTrace.h).
    Status writeProviderErrors(const ProviderErrors& errors) const;

private:
    LogContext m_context;
};

// The log entry of one provider error: "Error #" number CR, then description,
// source, SQL state and native error on lines of their own.
QString providerErrorEntry(const ProviderError& error);

}  // namespace orlo
