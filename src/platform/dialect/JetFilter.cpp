#include "platform/dialect/JetFilter.h"

#include "platform/dialect/JetFunctionNames.h"
#include "platform/dialect/JetSql.h"
#include "platform/dialect/LikePattern.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

namespace {

Error filterError(const QString& filter, const QString& why) {
    return makeError(kInvalidFilter, u"The filter \"%1\" cannot be used: %2."_s.arg(filter, why),
                     kDialectErrorSource.toString());
}

qsizetype skipBlanks(QStringView s, qsizetype i) {
    while (i < s.size() && s.at(i).isSpace()) {
        ++i;
    }
    return i;
}

// The keyword at i followed by a blank (or the end), without letter case.
bool keywordAt(QStringView s, qsizetype i, QStringView word) {
    if (s.mid(i, word.size()).compare(word, Qt::CaseInsensitive) != 0) {
        return false;
    }
    const qsizetype end = i + word.size();
    return end == s.size() || s.at(end).isSpace();
}

// The value without its quotes: 'O''Brien' -> O'Brien, #3/5/2026# -> 3/5/2026.
QString unquoted(QStringView value) {
    if (value.size() >= 2 && value.front() == u'\'' && value.back() == u'\'') {
        QString s = value.mid(1, value.size() - 2).toString();
        s.replace(u"''"_s, u"'"_s);
        return s;
    }
    if (value.size() >= 2 && value.front() == u'#' && value.back() == u'#') {
        return value.mid(1, value.size() - 2).toString();
    }
    return value.toString();
}

}  // namespace

Result<FilterClause> translateFilter(const QString& filter) {
    return translateFilter(filter, FilterDateColumn());
}

Result<FilterClause> translateFilter(const QString& filter, const FilterDateColumn& isDateColumn) {
    const QStringView s(filter);
    const QStringView trimmed = s.trimmed();
    if (trimmed.isEmpty() || trimmed == u"0") {
        return FilterClause{};
    }
    // The column: [name] or a bare name (letters, digits, _ and dots).
    qsizetype i = skipBlanks(s, 0);
    QString column;
    if (s.at(i) == u'[') {
        const qsizetype close = s.indexOf(u']', i + 1);
        if (close < 0) {
            return filterError(filter, u"the column has no closing bracket"_s);
        }
        column = s.mid(i + 1, close - i - 1).toString();
        i = close + 1;
    } else {
        const qsizetype start = i;
        while (i < s.size() && (s.at(i).isLetterOrNumber() || s.at(i) == u'_' || s.at(i) == u'.')) {
            ++i;
        }
        column = s.mid(start, i - start).toString();
    }
    if (column.trimmed().isEmpty()) {
        return filterError(filter, u"it names no column"_s);
    }
    // The operator.
    i = skipBlanks(s, i);
    QString op;
    if (keywordAt(s, i, u"LIKE")) {
        op = u"LIKE"_s;
        i += 4;
    } else if (keywordAt(s, i, u"NOT")) {
        const qsizetype j = skipBlanks(s, i + 3);
        if (!keywordAt(s, j, u"LIKE")) {
            return filterError(filter, u"NOT must be followed by LIKE"_s);
        }
        op = u"NOT LIKE"_s;
        i = j + 4;
    } else {
        for (const QStringView candidate : {u"<>", u"<=", u">=", u"=", u"<", u">"}) {
            if (s.mid(i).startsWith(candidate)) {
                op = candidate.toString();
                i += candidate.size();
                break;
            }
        }
    }
    if (op.isEmpty()) {
        return filterError(filter, u"it has no comparison operator"_s);
    }
    const QString value = unquoted(s.mid(i).trimmed());
    const bool dates = isDateColumn && isDateColumn(column);
    const QString name = quoteSqlName(column);

    FilterClause clause;
    if (op.endsWith(u"LIKE")) {
        const QString subject =
            dates ? QString::fromLatin1(kFnDateText) + u"("_s + name + u")"_s : name;
        clause.where = subject + u" "_s + op + u" ? ESCAPE "_s + quoteSqlText(QString(kLikeEscape));
        clause.parameters.append(sqlitePatternFromJet(value));
    } else {
        const QString param = dates ? QString::fromLatin1(kFnCDate) + u"(?)"_s : u"?"_s;
        clause.where = name + u" "_s + op + u" "_s + param;
        clause.parameters.append(value);
    }
    return clause;
}

}  // namespace orlo::data
