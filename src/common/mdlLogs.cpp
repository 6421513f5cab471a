#include "common/mdlLogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/SqlTrace.h"

namespace orlo {

namespace {

constexpr QLatin1Char kCr('\r');

}  // namespace

QString mdlLogs::logPath() const {
    return m_context.folder.path(QString::fromUtf16(kErrorLogName));
}

Status mdlLogs::WriteErrorLog(const QString& message) const {
    const QString path = logPath();
    const QDateTime now = m_context.clock.now();
    const QString line = QLatin1Char('[') + m_context.locale.shortDate(now.date()) +
                         QStringLiteral(" : ") + m_context.locale.longTime(now.time()) +
                         QStringLiteral("] ") + message + QStringLiteral("\r\n");
    if (!QFileInfo(path).dir().exists()) {
        return makeError(err::kPathNotFound, QStringLiteral("Path not found: ") + path,
                         QStringLiteral("mdlLogs"));
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return makeError(err::kPathFileAccessError,
                         QStringLiteral("Path/File access error: ") + path + QStringLiteral(" (") +
                             file.errorString() + QLatin1Char(')'),
                         QStringLiteral("mdlLogs"));
    }
    const QByteArray bytes = line.toUtf8();
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written) {
        return makeError(err::kPathFileAccessError,
                         QStringLiteral("Path/File access error: ") + path + QStringLiteral(" (") +
                             file.errorString() + QLatin1Char(')'),
                         QStringLiteral("mdlLogs"));
    }
    return okStatus();
}

Status mdlLogs::writeProviderErrors(const ProviderErrors& errors) const {
    traceFailedStatements(errors);
    for (const ProviderError& e : errors) {
        ORLO_TRY(WriteErrorLog(providerErrorEntry(e)));
    }
    return okStatus();
}

QString providerErrorEntry(const ProviderError& error) {
    return QStringLiteral("Error #") + QString::number(error.number) + kCr + QStringLiteral("   ") +
           error.description + kCr + QStringLiteral("   (Source: ") + error.source +
           QLatin1Char(')') + kCr + QStringLiteral("   (SQL State: ") + error.sqlState +
           QLatin1Char(')') + kCr + QStringLiteral("   (NativeError: ") +
           QString::number(error.nativeError) + QLatin1Char(')') + kCr;
}

}  // namespace orlo
