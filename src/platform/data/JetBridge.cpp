// Stand-in until the dialect layer lands: enough of the Jet dialect for the
// connection and recordset to run (bracketed names, DELETE *, Now()).
#include "platform/data/JetBridge.h"

#include <QRegularExpression>

#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/data/Session.h"

namespace orlo::data::detail {

Result<QString> translateSql(const QString& jetSql, const Session&) {
    QString s = jetSql;
    s.replace(QRegularExpression(QStringLiteral("\\[([^\\]]*)\\]")), QStringLiteral("\"\\1\""));
    s.replace(QRegularExpression(QStringLiteral("DELETE\\s+\\*\\s+FROM"),
                                 QRegularExpression::CaseInsensitiveOption),
              QStringLiteral("DELETE FROM"));
    return s;
}

Result<FilterClause> translateFilterText(const QString& filter) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*\\[([^\\]]+)\\]\\s+LIKE\\s+\\*(.*)\\*\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(filter);
    if (!m.hasMatch()) {
        return makeError(3001, QStringLiteral("Invalid filter"));
    }
    return FilterClause{QLatin1Char('"') + m.captured(1) + QStringLiteral("\" LIKE ?"),
                        {QLatin1Char('%') + m.captured(2) + QLatin1Char('%')}};
}

namespace {
void nowFunction(sqlite3_context* ctx, int, sqlite3_value**) {
    const auto* clock = static_cast<const Clock*>(sqlite3_user_data(ctx));
    const QByteArray t = canonicalDateText(clock->now()).toUtf8();
    sqlite3_result_text(ctx, t.constData(), int(t.size()), SQLITE_TRANSIENT);
}
}  // namespace

Status installJetFunctions(sqlite3* db, const Clock& clock, const Locale&) {
    sqlite3_create_function(db, "Now", 0, SQLITE_UTF8, const_cast<Clock*>(&clock), nowFunction,
                            nullptr, nullptr);
    return {};
}

QString canonicalDateText(const QDateTime& dt) {
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::optional<QDateTime> parseCanonicalDateText(const QString& text) {
    QDateTime d = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!d.isValid()) {
        return std::nullopt;
    }
    return naiveDateTime(d.date(), d.time());
}

Result<QString> coerceDateToCanonical(const QString& text, const Locale& locale) {
    const auto d = locale.parseDateTime(text);
    if (!d) {
        return makeError(orlo::err::kTypeMismatch, QStringLiteral("Type mismatch"));
    }
    return canonicalDateText(*d);
}

}  // namespace orlo::data::detail
