#include "platform/data/JetBridge.h"

#include "platform/core/Clock.h"
#include "platform/data/DataErrors.h"
#include "platform/data/Session.h"
#include "platform/dialect/Dialect.h"
#include "platform/dialect/JetFunctionNames.h"
#include "platform/dialect/ServerDateText.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data::detail {

Result<QString> translateSql(const QString& jetSql, const Session& session) {
    DialectContext ctx;
    ctx.isDateColumn = [&session](QStringView table, QStringView column) {
        return session.isDateColumn(table, column);
    };
    if (session.isServer()) {
        const DataContext& data = session.context();
        ctx.serverNow = [&data] { return canonicalDate(data.clock.now()); };
        ctx.serverLocale = &data.locale;
        ctx.serverName = [&session](QStringView name) { return session.serverName(name); };
    }
    return translateJetSql(jetSql, ctx);
}

namespace {

// A filter clause for the server: ? parameters numbered from `first`, LIKE
// without letter case, date texts read here rather than by jet_cdate, and
// dates matched by LIKE as the locale's general date, as on the file.
Result<FilterClause> serverClause(orlo::data::FilterClause clause, const Session& session,
                                  int first) {
    QString where;
    int n = first;
    bool inText = false;
    for (const QChar c : clause.where) {
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            inText = !inText;
        }
        if (c == QLatin1Char('?') && !inText) {
            where += QLatin1Char('$') + QString::number(n++);
        } else {
            where += c;
        }
    }
    const QString cdate = QString::fromLatin1(kFnCDate) + QLatin1Char('(');
    if (where.contains(cdate)) {
        where.replace(cdate, u"("_s);
        for (QString& p : clause.parameters) {
            ORLO_TRY_ASSIGN(p, coerceDateToCanonical(p, session.context().locale));
        }
    }
    // A date matched by LIKE as the text the file matches: the locale's
    // general date.
    const QString dateText = QString::fromLatin1(kFnDateText) + QLatin1Char('(');
    for (qsizetype at = where.indexOf(dateText); at >= 0; at = where.indexOf(dateText, at)) {
        const qsizetype open = at + dateText.size();
        const qsizetype close = where.indexOf(QLatin1Char(')'), open);
        if (close < 0) {
            break;
        }
        const QString text =
            serverGeneralDateSql(where.mid(open, close - open), session.context().locale);
        where.replace(at, close + 1 - at, text);
        at += text.size();
    }
    where.replace(u" LIKE "_s, u" ILIKE "_s);
    return FilterClause{where, clause.parameters};
}

}  // namespace

Result<FilterClause> translateFilterText(const QString& filter, const Session& session) {
    ORLO_TRY_ASSIGN(orlo::data::FilterClause clause,
                    translateFilter(filter, [&session](QStringView column) {
                        return session.isDateColumn({}, column);
                    }));
    if (session.isServer()) {
        return serverClause(std::move(clause), session, 1);
    }
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
