#include "common/ErrorReport.h"

namespace orlo {

QString errorBoxText(const Error& error) {
    return QString::fromUtf16(kErrorBoxHeading) + QStringLiteral("\r\n  ") + error.description +
           QStringLiteral("  ") + QString::number(error.number) + QStringLiteral("  ") +
           error.source;
}

Status reportDatabaseError(const Error& error, const QString& title,
                           const ProviderErrors& connectionErrors, MessageBoxService& boxes,
                           const mdlLogs& log) {
    boxes.show(errorBoxText(error), MsgButtons::OK, MsgIcon::Critical, title);
    return log.writeProviderErrors(connectionErrors);
}

}  // namespace orlo
