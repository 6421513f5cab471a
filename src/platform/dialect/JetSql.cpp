#include "platform/dialect/JetSql.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include "platform/core/Locale.h"
#include "platform/dialect/CanonicalDate.h"
#include "platform/dialect/DayRange.h"
#include "platform/dialect/JetFunctionNames.h"
#include "platform/dialect/JetFunctions.h"
#include "platform/dialect/LikePattern.h"
#include "platform/dialect/SqlToken.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

namespace {

using Kind = SqlToken::Kind;

// Dialect functions and the names they are called by on SQLite.
const QHash<QString, QString>& functionNames() {
    static const QHash<QString, QString> names = {
        {u"DATEDIFF"_s, QString::fromLatin1(kFnDateDiff)},
        {u"YEAR"_s, QString::fromLatin1(kFnYear)},
        {u"MONTH"_s, QString::fromLatin1(kFnMonth)},
        {u"DAY"_s, QString::fromLatin1(kFnDay)},
        {u"DATESERIAL"_s, QString::fromLatin1(kFnDateSerial)},
        {u"CDATE"_s, QString::fromLatin1(kFnCDate)},
        {u"UCASE"_s, u"upper"_s},
        {u"LCASE"_s, u"lower"_s},
        {u"LEN"_s, u"length"_s},
    };
    return names;
}

bool isComparison(const SqlToken& t) {
    if (t.kind != Kind::Punct) {
        return false;
    }
    return t.text == u"=" || t.text == u"<>" || t.text == u"!=" || t.text == u"<" ||
           t.text == u">" || t.text == u"<=" || t.text == u">=";
}

bool isName(const SqlToken& t) {
    return t.kind == Kind::Identifier || t.kind == Kind::BracketName;
}

QString nameOf(const SqlToken& t) {
    return t.kind == Kind::BracketName ? t.value : t.text.toString();
}

// A column reference as table and column ("" for no table).
struct ColumnRef {
    QString table;
    QString column;
};

Error syntaxError(const QString& what, qsizetype position) {
    return makeError(
        orlo::err::kCommandError,
        u"Syntax error in SQL statement: %1 at character %2."_s.arg(what).arg(position + 1),
        kDialectErrorSource.toString());
}

class Translator {
public:
    Translator(QList<SqlToken> tokens, const DialectContext& ctx)
        : m_tokens(std::move(tokens)), m_ctx(ctx) {
        m_out.resize(m_tokens.size());
        m_removed.fill(false, m_tokens.size());
        for (qsizetype i = 0; i < m_tokens.size(); ++i) {
            if (m_tokens.at(i).kind != Kind::Space) {
                m_sig.append(i);
            }
        }
        m_wrapped.fill(false, m_tokens.size());
        m_done.fill(false, m_tokens.size());
    }

    Result<QString> run() {
        collectTables();
        for (qsizetype k = 0; k < m_sig.size(); ++k) {
            ORLO_TRY(rewrite(k));
        }
        rewriteDayDiffComparisons();
        coerceInsertValues();
        coerceComparisons();
        if (server()) {
            rewriteZeroCounts();
            orderNullsFirst();
        }
        if (m_badDate) {
            return makeError(orlo::err::kTypeMismatch, kTypeMismatchMessage.toString(),
                             kDialectErrorSource.toString());
        }
        QString sql;
        for (qsizetype i = 0; i < m_tokens.size(); ++i) {
            if (m_removed.at(i)) {
                continue;
            }
            if (m_out.at(i).isNull()) {
                sql += m_tokens.at(i).text;
            } else {
                sql += m_out.at(i);
            }
        }
        return sql;
    }

private:
    // The k-th significant token, or an empty space token past either end.
    const SqlToken& sig(qsizetype k) const {
        static const SqlToken none;
        return (k >= 0 && k < m_sig.size()) ? m_tokens.at(m_sig.at(k)) : none;
    }
    // The replacement text of the k-th significant token (null: unchanged).
    QString& out(qsizetype k) { return m_out[m_sig.at(k)]; }

    // The names after FROM (a comma list), INTO, UPDATE and JOIN: the tables
    // a bare column may belong to. The first one is the statement's target.
    void collectTables() {
        for (qsizetype k = 0; k < m_sig.size(); ++k) {
            const SqlToken& t = sig(k);
            if (t.isWord(u"INTO") || t.isWord(u"UPDATE") || t.isWord(u"JOIN")) {
                if (isName(sig(k + 1))) {
                    addTable(nameOf(sig(k + 1)));
                }
            } else if (t.isWord(u"FROM")) {
                qsizetype j = k + 1;
                while (isName(sig(j))) {
                    addTable(nameOf(sig(j)));
                    ++j;
                    if (sig(j).kind == Kind::Identifier && !sig(j).isWord(u"WHERE") &&
                        !sig(j).isWord(u"ORDER") && !sig(j).isWord(u"GROUP") &&
                        !sig(j).isWord(u"HAVING") && !sig(j).isWord(u"INNER") &&
                        !sig(j).isWord(u"LEFT") && !sig(j).isWord(u"RIGHT") &&
                        !sig(j).isWord(u"JOIN") && !sig(j).isWord(u"UNION")) {
                        ++j;  // an alias
                    }
                    if (!sig(j).isPunct(u",")) {
                        break;
                    }
                    ++j;
                }
            }
        }
    }

    void addTable(const QString& name) {
        if (!m_tables.contains(name, Qt::CaseInsensitive)) {
            m_tables.append(name);
        }
    }

    Status rewrite(qsizetype k) {
        const SqlToken& t = sig(k);
        switch (t.kind) {
            case Kind::BracketName:
                out(k) = quoteSqlName(server() ? serverSpelling(t.value) : t.value);
                break;
            case Kind::Text:
                // A "..." literal becomes '...'; a '...' one stays as written.
                if (!m_done.at(m_sig.at(k)) && t.text.front() == u'"') {
                    out(k) = quoteSqlText(t.value);
                }
                break;
            case Kind::DateLiteral: {
                // Date literals are always month-day or ISO, whatever the
                // workstation's settings.
                const auto date = coerceDateText(t.value, Locale::unitedStates());
                if (!date) {
                    return syntaxError(u"invalid date %1"_s.arg(t.text), t.position);
                }
                out(k) = quoteSqlText(*date);
                break;
            }
            case Kind::Punct:
                if (t.text == u"&") {
                    out(k) = u"||"_s;
                }
                break;
            case Kind::Identifier:
                rewriteWord(k);
                break;
            case Kind::Number:
            case Kind::Space:
                break;
        }
        return okStatus();
    }

    void rewriteWord(qsizetype k) {
        const SqlToken& t = sig(k);
        const bool qualified = sig(k - 1).isPunct(u".") || sig(k + 1).isPunct(u".");
        if (t.isWord(u"DELETE")) {
            dropDeleteStar(k);
        } else if (t.isWord(u"NOW") && !qualified) {
            const bool call = sig(k + 1).isPunct(u"(") && sig(k + 2).isPunct(u")");
            if (server()) {
                out(k) = quoteSqlText(nowText());
                if (call) {
                    m_removed[m_sig.at(k + 1)] = true;
                    m_removed[m_sig.at(k + 2)] = true;
                }
            } else {
                out(k) = QString::fromLatin1(kFnNow) + (call ? QString() : u"()"_s);
            }
        } else if (t.isWord(u"LIKE") && sig(k + 1).kind == Kind::Text) {
            if (server()) {
                out(k) = u"ILIKE"_s;
            }
            const QString pattern = sqlitePatternFromJet(sig(k + 1).value);
            out(k + 1) = quoteSqlText(pattern);
            m_done[m_sig.at(k + 1)] = true;
            if (patternNeedsEscape(pattern) && !sig(k + 2).isWord(u"ESCAPE")) {
                out(k + 1) += u" ESCAPE "_s + quoteSqlText(QString(kLikeEscape));
            }
        } else if (!qualified && sig(k + 1).isPunct(u"(") &&
                   functionNames().contains(t.text.toString().toUpper())) {
            out(k) = functionNames().value(t.text.toString().toUpper());
        } else if (server() && sig(k - 1).isWord(u"AS")) {
            out(k) = quoteSqlName(t.text);
        } else if (server() && m_ctx.serverName) {
            const QString spelled = m_ctx.serverName(t.text);
            if (!spelled.isEmpty()) {
                out(k) = quoteSqlName(spelled);
            }
        }
    }

    // A bracketed name, each part of "TABLE.COLUMN" in the server's spelling.
    QString serverSpelling(const QString& name) const {
        if (!m_ctx.serverName) {
            return name;
        }
        QStringList parts = name.split(QLatin1Char('.'));
        if (parts.size() > 2) {
            parts = {name};
        }
        for (QString& p : parts) {
            const QString spelled = m_ctx.serverName(p);
            if (!spelled.isEmpty()) {
                p = spelled;
            }
        }
        return parts.join(QLatin1Char('.'));
    }

    // DELETE * FROM t and DELETE t.* FROM t: SQLite wants no column list.
    void dropDeleteStar(qsizetype k) {
        qsizetype last = -1;
        if (sig(k + 1).isPunct(u"*") && sig(k + 2).isWord(u"FROM")) {
            last = k + 1;
        } else if (isName(sig(k + 1)) && sig(k + 2).isPunct(u".") && sig(k + 3).isPunct(u"*") &&
                   sig(k + 4).isWord(u"FROM")) {
            last = k + 3;
        }
        if (last < 0) {
            return;
        }
        // Remove the tokens and the blanks between DELETE and FROM but one.
        for (qsizetype i = m_sig.at(k) + 1; i < m_sig.at(last + 1); ++i) {
            m_removed[i] = true;
        }
        m_removed[m_sig.at(k) + 1] = false;
        m_out[m_sig.at(k) + 1] = u" "_s;
    }

    // DATEDIFF('d', col, Now()) op n and DATEDIFF('d', Now(), col) op n on a
    // date column become range comparisons of the column's text with the
    // first text of a day counted from the statement's now, which SQLite
    // answers from an index on the column. Date columns hold canonical text
    // (or NULL), which sorts as the dates do; NULL compares to NULL on both
    // forms. Anything else keeps the DATEDIFF call.
    void rewriteDayDiffComparisons() {
        for (qsizetype k = 0; k < m_sig.size(); ++k) {
            if (sig(k).isWord(u"DATEDIFF") && sig(k + 1).isPunct(u"(")) {
                rewriteDayDiff(k);
            }
        }
    }

    // The end (one past) of Now or Now() at significant token k, or -1.
    qsizetype nowEndingAfter(qsizetype k) const {
        if (!sig(k).isWord(u"NOW") || sig(k + 1).isPunct(u".")) {
            return -1;
        }
        return sig(k + 1).isPunct(u"(") && sig(k + 2).isPunct(u")") ? k + 3 : k + 1;
    }

    // The end (one past) of a date column reference at k, or -1.
    qsizetype dateColumnEndingAfter(qsizetype k) const {
        const auto ref = columnStartingAt(k);
        if (!ref || sig(k).isWord(u"NOW") || !isDateColumn(*ref)) {
            return -1;
        }
        return sig(k + 1).isPunct(u".") ? k + 3 : k + 1;
    }

    // Whether what stands before significant token k leaves a comparison
    // starting at k standing on its own (not the operand of + or BETWEEN).
    bool opensCondition(qsizetype k) const {
        const SqlToken& t = sig(k - 1);
        if (k == 0 || t.isPunct(u"(") || t.isWord(u"WHERE") || t.isWord(u"ON") ||
            t.isWord(u"HAVING") || t.isWord(u"OR") || t.isWord(u"NOT")) {
            return true;
        }
        if (!t.isWord(u"AND")) {
            return false;
        }
        // An AND may close a BETWEEN: look back to the start of the term.
        int depth = 0;
        for (qsizetype j = k - 2; j >= 0; --j) {
            const SqlToken& p = sig(j);
            if (p.isPunct(u")")) {
                ++depth;
            } else if (p.isPunct(u"(")) {
                if (depth == 0) {
                    return true;
                }
                --depth;
            } else if (depth == 0) {
                if (p.isWord(u"BETWEEN")) {
                    return false;
                }
                if (p.isWord(u"AND") || p.isWord(u"OR") || p.isWord(u"WHERE") || p.isWord(u"ON") ||
                    p.isWord(u"HAVING") || p.isWord(u"NOT")) {
                    return true;
                }
            }
        }
        return true;
    }

    // Whether a comparison ending before significant token k ends there.
    bool closesCondition(qsizetype k) const {
        const SqlToken& t = sig(k);
        return k >= m_sig.size() || t.isPunct(u")") || t.isPunct(u";") || t.isWord(u"AND") ||
               t.isWord(u"OR") || t.isWord(u"ORDER") || t.isWord(u"GROUP") || t.isWord(u"HAVING") ||
               t.isWord(u"UNION");
    }

    // The text the output gives significant tokens first..last.
    QString outputOf(qsizetype first, qsizetype last) const {
        QString text;
        for (qsizetype i = m_sig.at(first); i <= m_sig.at(last); ++i) {
            if (!m_removed.at(i)) {
                text += m_out.at(i).isNull() ? m_tokens.at(i).text.toString() : m_out.at(i);
            }
        }
        return text;
    }

    void rewriteDayDiff(qsizetype k) {
        if (sig(k - 1).isPunct(u".") || !opensCondition(k) || sig(k + 2).kind != Kind::Text ||
            sig(k + 2).value.compare(u"d", Qt::CaseInsensitive) != 0 || !sig(k + 3).isPunct(u",")) {
            return;
        }
        qsizetype column = k + 4;
        qsizetype columnEnd = dateColumnEndingAfter(column);
        bool columnFirst = true;
        qsizetype next = -1;
        if (columnEnd >= 0 && sig(columnEnd).isPunct(u",")) {
            next = nowEndingAfter(columnEnd + 1);
        } else {
            const qsizetype nowEnd = nowEndingAfter(k + 4);
            if (nowEnd < 0 || !sig(nowEnd).isPunct(u",")) {
                return;
            }
            columnFirst = false;
            column = nowEnd + 1;
            columnEnd = dateColumnEndingAfter(column);
            next = columnEnd;
        }
        if (columnEnd < 0 || next < 0 || !sig(next).isPunct(u")") || !isComparison(sig(next + 1))) {
            return;
        }
        qsizetype number = next + 2;
        const bool negative = sig(number).isPunct(u"-");
        if (negative) {
            ++number;
        }
        bool isInteger = false;
        const qint64 magnitude = sig(number).text.toLongLong(&isInteger);
        if (sig(number).kind != Kind::Number || !isInteger || !closesCondition(number + 1)) {
            return;
        }
        const auto bounds =
            dayDiffBounds(columnFirst, sig(next + 1).text, negative ? -magnitude : magnitude);
        if (!bounds) {
            return;
        }
        const QString columnText = outputOf(column, columnEnd - 1);
        QStringList parts;
        for (const DayBound& b : *bounds) {
            const QString bound = server() ? quoteSqlText(dayStartText(b.offset))
                                           : QLatin1String(kFnDayStart) + QLatin1Char('(') +
                                                 QLatin1String(kFnNow) + u"(), "_s +
                                                 QString::number(b.offset) + QLatin1Char(')');
            parts << columnText + QLatin1Char(' ') + QLatin1String(b.op) + QLatin1Char(' ') + bound;
        }
        for (qsizetype i = m_sig.at(k) + 1; i <= m_sig.at(number); ++i) {
            m_removed[i] = true;
        }
        out(k) = QLatin1Char('(') + parts.join(u" AND "_s) + QLatin1Char(')');
    }

    // The column reference that ends at significant token k.
    std::optional<ColumnRef> columnEndingAt(qsizetype k) const {
        const SqlToken& t = sig(k);
        if (!isName(t) || t.isWord(u"NULL") || t.isWord(u"AND") || t.isWord(u"OR") ||
            t.isWord(u"NOT")) {
            return std::nullopt;
        }
        if (sig(k - 1).isPunct(u".") && isName(sig(k - 2))) {
            return ColumnRef{nameOf(sig(k - 2)), nameOf(t)};
        }
        return splitName(nameOf(t));
    }

    // The column reference that starts at significant token k.
    std::optional<ColumnRef> columnStartingAt(qsizetype k) const {
        const SqlToken& t = sig(k);
        if (!isName(t) || sig(k + 1).isPunct(u"(")) {
            return std::nullopt;
        }
        if (sig(k + 1).isPunct(u".") && isName(sig(k + 2))) {
            return ColumnRef{nameOf(t), nameOf(sig(k + 2))};
        }
        return splitName(nameOf(t));
    }

    static ColumnRef splitName(const QString& name) {
        const qsizetype dot = name.indexOf(u'.');
        if (dot < 0) {
            return {QString(), name};
        }
        return {name.left(dot), name.mid(dot + 1)};
    }

    bool isDateColumn(const ColumnRef& ref) const {
        if (!m_ctx.isDateColumn) {
            return false;
        }
        if (!ref.table.isEmpty()) {
            return m_ctx.isDateColumn(ref.table, ref.column);
        }
        if (m_tables.isEmpty()) {
            return m_ctx.isDateColumn(QStringView(), ref.column);
        }
        for (const QString& table : m_tables) {
            if (m_ctx.isDateColumn(table, ref.column)) {
                return true;
            }
        }
        return false;
    }

    bool server() const { return bool(m_ctx.serverNow); }

    // The significant token closing the parenthesis opened at k, or -1.
    qsizetype closingParen(qsizetype k) const {
        int depth = 0;
        for (qsizetype j = k; j < m_sig.size(); ++j) {
            if (sig(j).isPunct(u"(")) {
                ++depth;
            } else if (sig(j).isPunct(u")") && --depth == 0) {
                return j;
            }
        }
        return -1;
    }

    // Whether the subquery between the parentheses at open and close
    // counts all its rows as one: no grouping or set operation of its own.
    bool countsAsOne(qsizetype open, qsizetype close) const {
        int depth = 0;
        for (qsizetype j = open + 1; j < close; ++j) {
            const SqlToken& t = sig(j);
            depth += t.isPunct(u"(") ? 1 : t.isPunct(u")") ? -1 : 0;
            if (depth == 0 && (t.isWord(u"GROUP") || t.isWord(u"HAVING") || t.isWord(u"UNION") ||
                               t.isWord(u"LIMIT") || t.isWord(u"OFFSET"))) {
                return false;
            }
        }
        return true;
    }

    // A condition "(SELECT COUNT(*) FROM ...)=0" becomes "NOT EXISTS
    // (SELECT 1 FROM ...)": the same rows, which the server finds with one
    // anti-join instead of counting the matches of every outer row.
    void rewriteZeroCounts() {
        for (qsizetype k = 0; k + 6 < m_sig.size(); ++k) {
            if (!sig(k).isPunct(u"(") || !sig(k + 1).isWord(u"SELECT") ||
                !sig(k + 2).isWord(u"COUNT") || !sig(k + 3).isPunct(u"(") ||
                !sig(k + 4).isPunct(u"*") || !sig(k + 5).isPunct(u")") ||
                !sig(k + 6).isWord(u"FROM") || !opensCondition(k)) {
                continue;
            }
            const qsizetype close = closingParen(k);
            if (close < 0 || !sig(close + 1).isPunct(u"=") || sig(close + 2).kind != Kind::Number ||
                sig(close + 2).text != u"0" || !closesCondition(close + 3) ||
                !countsAsOne(k, close)) {
                continue;
            }
            out(k) = u"NOT EXISTS ("_s;
            out(k + 2) = u"1"_s;
            for (const qsizetype j : {k + 3, k + 4, k + 5, close + 1, close + 2}) {
                m_removed[m_sig.at(j)] = true;
            }
        }
    }

    // SQLite sorts NULL below every value, PostgreSQL above: each ORDER BY
    // term gets NULLS FIRST (ascending) or NULLS LAST (descending).
    void orderNullsFirst() {
        for (qsizetype k = 0; k + 1 < m_sig.size(); ++k) {
            if (!sig(k).isWord(u"ORDER") || !sig(k + 1).isWord(u"BY")) {
                continue;
            }
            int depth = 0;
            qsizetype j = k + 2;
            for (; j < m_sig.size(); ++j) {
                const SqlToken& t = sig(j);
                if (t.isPunct(u"(")) {
                    ++depth;
                } else if (t.isPunct(u")")) {
                    if (depth == 0) {
                        break;
                    }
                    --depth;
                } else if (depth == 0 && (t.isPunct(u",") || t.isPunct(u";") ||
                                          t.isWord(u"LIMIT") || t.isWord(u"UNION"))) {
                    endOrderTerm(j - 1);
                    if (!t.isPunct(u",")) {
                        break;
                    }
                } else if (depth == 0 && t.isWord(u"NULLS")) {
                    return;  // written out already
                }
            }
            if (j >= m_sig.size() || sig(j).isPunct(u")")) {
                endOrderTerm(j - 1);
            }
        }
    }

    void endOrderTerm(qsizetype last) {
        QString& o = out(last);
        if (o.isNull()) {
            o = sig(last).text.toString();
        }
        o += sig(last).isWord(u"DESC") ? u" NULLS LAST"_s : u" NULLS FIRST"_s;
    }

    // The statement's now, read once so that every Now in it is the same.
    const QString& nowText() {
        if (m_now.isNull()) {
            m_now = m_ctx.serverNow();
        }
        return m_now;
    }

    // The first text of the day `offset` days from today: "" below and ":"
    // above the years 1..9999, lower and higher than every stored date.
    QString dayStartText(qint64 offset) {
        const std::optional<QDateTime> now = parseCanonicalDate(nowText());
        const QDate day = now ? now->date().addDays(offset) : QDate();
        if (!day.isValid() || day.year() < 1) {
            return u""_s;
        }
        if (day.year() > 9999) {
            return u":"_s;
        }
        return day.toString(u"yyyy-MM-dd"_s);
    }

    void wrapDate(qsizetype k) {
        const qsizetype i = m_sig.at(k);
        if (m_wrapped.at(i)) {
            return;
        }
        m_wrapped[i] = true;
        if (server()) {
            // The text is read here; the server stores the canonical text.
            const std::optional<QString> date =
                coerceDateText(m_tokens.at(i).value, *m_ctx.serverLocale);
            if (!date) {
                m_badDate = true;
                return;
            }
            m_out[i] = quoteSqlText(*date);
            return;
        }
        const QString literal = m_out.at(i).isNull() ? m_tokens.at(i).text.toString() : m_out.at(i);
        m_out[i] = QString::fromLatin1(kFnCDate) + u"("_s + literal + u")"_s;
    }

    // col = 'text' (also in UPDATE ... SET), 'text' = col and
    // col BETWEEN 'text' AND 'text', for date columns.
    void coerceComparisons() {
        for (qsizetype k = 0; k < m_sig.size(); ++k) {
            if (sig(k).isWord(u"BETWEEN")) {
                const auto ref = columnEndingAt(k - 1);
                if (ref && isDateColumn(*ref)) {
                    if (sig(k + 1).kind == Kind::Text && sig(k + 2).isWord(u"AND")) {
                        wrapDate(k + 1);
                    }
                    if (sig(k + 2).isWord(u"AND") && sig(k + 3).kind == Kind::Text) {
                        wrapDate(k + 3);
                    }
                }
                continue;
            }
            if (!isComparison(sig(k))) {
                continue;
            }
            if (sig(k + 1).kind == Kind::Text) {
                const auto ref = columnEndingAt(k - 1);
                if (ref && isDateColumn(*ref)) {
                    wrapDate(k + 1);
                }
            }
            if (sig(k - 1).kind == Kind::Text) {
                const auto ref = columnStartingAt(k + 1);
                if (ref && isDateColumn(*ref)) {
                    wrapDate(k - 1);
                }
            }
        }
    }

    // INSERT INTO t (c1, c2, ...) Values(v1, v2, ...): a value that is one
    // quoted text and goes into a date column.
    void coerceInsertValues() {
        if (!sig(0).isWord(u"INSERT") || !sig(1).isWord(u"INTO") || !isName(sig(2)) ||
            !sig(3).isPunct(u"(")) {
            return;
        }
        const QString table = nameOf(sig(2));
        QStringList columns;
        qsizetype k = 4;
        while (isName(sig(k))) {
            columns.append(nameOf(sig(k)));
            ++k;
            if (sig(k).isPunct(u")")) {
                break;
            }
            if (!sig(k).isPunct(u",")) {
                return;
            }
            ++k;
        }
        if (!sig(k).isPunct(u")") || !sig(k + 1).isWord(u"VALUES") || !sig(k + 2).isPunct(u"(")) {
            return;
        }
        k += 3;
        int index = 0;
        int depth = 0;
        qsizetype valueStart = k;
        for (; k < m_sig.size(); ++k) {
            const SqlToken& t = sig(k);
            if (t.isPunct(u"(")) {
                ++depth;
            } else if (depth > 0 && t.isPunct(u")")) {
                --depth;
            } else if (depth == 0 && (t.isPunct(u",") || t.isPunct(u")"))) {
                if (k == valueStart + 1 && sig(valueStart).kind == Kind::Text &&
                    index < columns.size() &&
                    isDateColumn(ColumnRef{table, splitName(columns.at(index)).column})) {
                    wrapDate(valueStart);
                }
                ++index;
                valueStart = k + 1;
                if (t.isPunct(u")")) {
                    break;
                }
            }
        }
    }

    QList<SqlToken> m_tokens;
    const DialectContext& m_ctx;
    QList<QString> m_out;  // per token: its replacement, null when unchanged
    QList<bool> m_removed;
    QList<qsizetype> m_sig;
    QList<bool> m_wrapped;  // a date text already inside jet_cdate()
    QList<bool> m_done;     // a text already rewritten as a LIKE pattern
    QStringList m_tables;
    QString m_now;           // the server's now, once read
    bool m_badDate = false;  // a date text that is no date (server)
};

}  // namespace

QString quoteSqlName(QStringView name) {
    const auto appendQuoted = [](QString& out, QStringView part) {
        out.append(QLatin1Char('"'));
        out.append(part.toString().replace(QLatin1Char('"'), u"\"\""_s));
        out.append(QLatin1Char('"'));
    };
    QString out;
    out.reserve(name.size() + 6);
    const qsizetype dot = name.indexOf(u'.');
    if (dot < 0) {
        appendQuoted(out, name);
    } else {
        appendQuoted(out, name.left(dot));
        out.append(QLatin1Char('.'));
        appendQuoted(out, name.mid(dot + 1));
    }
    return out;
}

QString quoteSqlText(QStringView text) {
    QString out;
    out.reserve(text.size() + 2);
    out.append(QLatin1Char('\''));
    out.append(text.toString().replace(QLatin1Char('\''), u"''"_s));
    out.append(QLatin1Char('\''));
    return out;
}

Result<QString> translateJetSql(const QString& sql, const DialectContext& ctx) {
    ORLO_TRY_ASSIGN(auto tokens, tokenizeSql(sql));
    return Translator(std::move(tokens), ctx).run();
}

}  // namespace orlo::data
