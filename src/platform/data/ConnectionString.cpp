#include "platform/data/ConnectionString.h"

#include <QStringList>

#include "platform/data/DataErrors.h"

namespace orlo::data {

namespace {

Error providerError(const QString& text) {
    return makeError(orlo::err::kProviderFailure, text, QString::fromUtf16(kErrorSource));
}

bool isKnownProvider(const QString& p) {
    return p.compare(QString::fromUtf16(kJetProvider), Qt::CaseInsensitive) == 0;
}

bool isPostgresUri(const QString& s) {
    return s.startsWith(QStringLiteral("postgresql://"), Qt::CaseInsensitive) ||
           s.startsWith(QStringLiteral("postgres://"), Qt::CaseInsensitive);
}

}  // namespace

Result<ConnectionTarget> parseConnectionString(const QString& provider,
                                               const QString& connectionString) {
    ConnectionTarget target;
    target.provider = provider.isEmpty() ? QString::fromUtf16(kJetProvider) : provider;
    QString source = connectionString;

    // "Key=Value;Key=Value": only when the text starts with a known key, so
    // that a bare path holding "=" or ";" still reads as a path.
    const QString trimmed = connectionString.trimmed();
    if (trimmed.startsWith(QStringLiteral("Provider="), Qt::CaseInsensitive) ||
        trimmed.startsWith(QStringLiteral("Data Source="), Qt::CaseInsensitive)) {
        source.clear();
        bool haveSource = false;
        for (const QString& part : trimmed.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const qsizetype eq = part.indexOf(QLatin1Char('='));
            if (eq < 0) {
                continue;
            }
            const QString key = part.left(eq).trimmed();
            const QString value = part.mid(eq + 1).trimmed();
            if (key.compare(QStringLiteral("Provider"), Qt::CaseInsensitive) == 0) {
                target.provider = value;
            } else if (key.compare(QStringLiteral("Data Source"), Qt::CaseInsensitive) == 0) {
                source = value;
                haveSource = true;
            }
        }
        if (!haveSource) {
            return providerError(QStringLiteral("The connection string names no Data Source."));
        }
    }

    if (isPostgresUri(source.trimmed())) {
        return providerError(
            QStringLiteral("PostgreSQL connections (%1) are not supported yet; use a database "
                           "file path.")
                .arg(source.trimmed()));
    }
    if (!isKnownProvider(target.provider)) {
        return providerError(
            QStringLiteral("Provider cannot be found. It may not be properly installed: %1")
                .arg(target.provider));
    }
    if (source.trimmed().isEmpty()) {
        return providerError(QStringLiteral("No database file was given."));
    }
    target.kind = ConnectionTarget::Kind::SqliteFile;
    target.location = source;
    return target;
}

QString fullConnectionString(const ConnectionTarget& target) {
    return QStringLiteral("Provider=") + target.provider + QStringLiteral(";Data Source=") +
           target.location + QStringLiteral(";Mode=Share Deny None");
}

}  // namespace orlo::data
