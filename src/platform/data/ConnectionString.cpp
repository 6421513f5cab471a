#include "platform/data/ConnectionString.h"

#include <QStringList>

#include "platform/data/DataErrors.h"
#include "platform/pg/PgLocation.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

namespace {

Error providerError(const QString& text) {
    return dataError(orlo::err::kProviderFailure, text);
}

bool isKnownProvider(const QString& p) {
    return p.compare(QString::fromUtf16(kJetProvider), Qt::CaseInsensitive) == 0;
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
    if (trimmed.startsWith(u"Provider="_s, Qt::CaseInsensitive) ||
        trimmed.startsWith(u"Data Source="_s, Qt::CaseInsensitive)) {
        source.clear();
        bool haveSource = false;
        for (const QString& part : trimmed.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const qsizetype eq = part.indexOf(QLatin1Char('='));
            if (eq < 0) {
                continue;
            }
            const QString key = part.left(eq).trimmed();
            const QString value = part.mid(eq + 1).trimmed();
            if (key.compare(u"Provider"_s, Qt::CaseInsensitive) == 0) {
                target.provider = value;
            } else if (key.compare(u"Data Source"_s, Qt::CaseInsensitive) == 0) {
                source = value;
                haveSource = true;
            }
        }
        if (!haveSource) {
            return providerError(u"The connection string names no Data Source."_s);
        }
    }

    if (!isKnownProvider(target.provider)) {
        return providerError(
            u"Provider cannot be found. It may not be properly installed: %1"_s.arg(
                target.provider));
    }
    if (source.trimmed().isEmpty()) {
        return providerError(u"No database file was given."_s);
    }
    target.kind = isServerLocation(source) ? ConnectionTarget::Kind::Postgres
                                           : ConnectionTarget::Kind::SqliteFile;
    target.location = target.kind == ConnectionTarget::Kind::Postgres ? source.trimmed() : source;
    return target;
}

bool isServerLocation(const QString& location) {
    return pg::isServerUri(location);
}

QString fullConnectionString(const ConnectionTarget& target) {
    const QString location = target.kind == ConnectionTarget::Kind::Postgres
                                 ? pg::redactedUri(target.location)
                                 : target.location;
    return u"Provider="_s + target.provider + u";Data Source="_s + location +
           u";Mode=Share Deny None"_s;
}

}  // namespace orlo::data
