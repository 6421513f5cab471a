#include "platform/data/JetBridge.h"

#include "platform/data/DataErrors.h"
#include "platform/data/Session.h"
#include "platform/dialect/Dialect.h"

namespace orlo::data::detail {

Result<QString> translateSql(const QString& jetSql, const Session& session) {
    DialectContext ctx;
    ctx.isDateColumn = [&session](QStringView table, QStringView column) {
        return session.isDateColumn(table, column);
    };
    return translateJetSql(jetSql, ctx);
}

Result<FilterClause> translateFilterText(const QString& filter, const Session& session) {
    ORLO_TRY_ASSIGN(orlo::data::FilterClause clause,
                    translateFilter(filter, [&session](QStringView column) {
                        return session.isDateColumn({}, column);
                    }));
    return FilterClause{clause.where, clause.parameters};
}

Status installJetFunctions(sqlite3* db, const Clock& clock, const Locale& locale) {
    return registerJetFunctions(db, clock, locale);
}

QString canonicalDateText(const QDateTime& dt) {
    return canonicalDate(dt);
}

std::optional<QDateTime> parseCanonicalDateText(const QString& text) {
    return parseCanonicalDate(text);
}

Result<QString> coerceDateToCanonical(const QString& text, const Locale& locale) {
    std::optional<QString> canonical = coerceDateText(text, locale);
    if (!canonical) {
        return dataError(orlo::err::kTypeMismatch, kTypeMismatchMessage.toString());
    }
    return *canonical;
}

long functionErrorNumber(const QString& sqliteMessage) {
    return errorNumberOfFunctionMessage(sqliteMessage);
}

}  // namespace orlo::data::detail
