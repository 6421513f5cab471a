#include "platform/dialect/JetFilter.h"

#include "platform/dialect/JetFunctionNames.h"
#include "platform/dialect/JetSql.h"
#include "platform/dialect/LikePattern.h"

namespace orlo::data {

namespace {

Error filterError(const QString& filter, const QString& why) {
    return makeError(kInvalidFilter,
                     QStringLiteral("The filter \"%1\" cannot be used: %2.").arg(filter, why),
                     QString::fromUtf16(kDialectErrorSource));
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
        s.replace(QStringLiteral("''"), QStringLiteral("'"));
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
            return filterError(filter, QStringLiteral("the column has no closing bracket"));
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
        return filterError(filter, QStringLiteral("it names no column"));
    }
    // The operator.
    i = skipBlanks(s, i);
    QString op;
    if (keywordAt(s, i, u"LIKE")) {
        op = QStringLiteral("LIKE");
        i += 4;
    } else if (keywordAt(s, i, u"NOT")) {
        const qsizetype j = skipBlanks(s, i + 3);
        if (!keywordAt(s, j, u"LIKE")) {
            return filterError(filter, QStringLiteral("NOT must be followed by LIKE"));
        }
        op = QStringLiteral("NOT LIKE");
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
        return filterError(filter, QStringLiteral("it has no comparison operator"));
    }
    const QString value = unquoted(s.mid(i).trimmed());
    const bool dates = isDateColumn && isDateColumn(column);
    const QString name = quoteSqlName(column);

    FilterClause clause;
    if (op.endsWith(u"LIKE")) {
        const QString subject = dates ? QString::fromLatin1(kFnDateText) + QStringLiteral("(") +
                                            name + QStringLiteral(")")
                                      : name;
        clause.where = subject + QStringLiteral(" ") + op + QStringLiteral(" ? ESCAPE ") +
                       quoteSqlText(QString(kLikeEscape));
        clause.parameters.append(sqlitePatternFromJet(value));
    } else {
        const QString param =
            dates ? QString::fromLatin1(kFnCDate) + QStringLiteral("(?)") : QStringLiteral("?");
        clause.where = name + QStringLiteral(" ") + op + QStringLiteral(" ") + param;
        clause.parameters.append(value);
    }
    return clause;
}

}  // namespace orlo::data
