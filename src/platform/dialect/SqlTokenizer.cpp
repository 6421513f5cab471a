#include <QStringView>

#include "platform/dialect/JetSql.h"
#include "platform/dialect/SqlToken.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

namespace {

using Kind = SqlToken::Kind;

bool isIdentStart(QChar c) {
    return c.isLetter() || c == u'_';
}

bool isIdentPart(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

Error syntaxError(const QString& what, qsizetype position) {
    return makeError(
        orlo::err::kCommandError,
        u"Syntax error in SQL statement: %1 at character %2."_s.arg(what).arg(position + 1),
        kDialectErrorSource.toString());
}

// The two-character operators; every other punctuation mark stands alone.
bool isTwoCharOperator(QStringView s) {
    return s == u"<>" || s == u"<=" || s == u">=" || s == u"!=" || s == u"||";
}

}  // namespace

Result<QList<SqlToken>> tokenizeSql(const QString& sql) {
    QList<SqlToken> tokens;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype start = i;
        const QChar c = sql.at(i);
        SqlToken t;
        t.position = start;
        if (c.isSpace()) {
            while (i < n && sql.at(i).isSpace()) {
                ++i;
            }
            t.kind = Kind::Space;
        } else if (c == u'\'' || c == u'"') {
            // A literal; the delimiter doubled inside stands for itself.
            t.kind = Kind::Text;
            ++i;
            bool closed = false;
            while (i < n) {
                const qsizetype quote = sql.indexOf(c, i);
                if (quote < 0) {
                    break;
                }
                t.value += QStringView(sql).mid(i, quote - i);
                if (quote + 1 < n && sql.at(quote + 1) == c) {
                    t.value += c;
                    i = quote + 2;
                    continue;
                }
                i = quote + 1;
                closed = true;
                break;
            }
            if (!closed) {
                return syntaxError(u"text literal without its closing quote"_s, start);
            }
        } else if (c == u'[' || c == u'#') {
            const QChar close = c == u'[' ? QChar(u']') : QChar(u'#');
            const qsizetype end = sql.indexOf(close, i + 1);
            if (end < 0) {
                return syntaxError(c == u'[' ? u"name without its closing bracket"_s
                                             : u"date without its closing #"_s,
                                   start);
            }
            t.kind = c == u'[' ? Kind::BracketName : Kind::DateLiteral;
            t.value = sql.mid(i + 1, end - i - 1);
            if (t.value.trimmed().isEmpty()) {
                return syntaxError(u"empty name or date"_s, start);
            }
            i = end + 1;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql.at(i + 1).isDigit())) {
            t.kind = Kind::Number;
            while (i < n && (sql.at(i).isDigit() || sql.at(i) == u'.')) {
                ++i;
            }
            if (i < n && (sql.at(i) == u'e' || sql.at(i) == u'E')) {
                qsizetype j = i + 1;
                if (j < n && (sql.at(j) == u'+' || sql.at(j) == u'-')) {
                    ++j;
                }
                if (j < n && sql.at(j).isDigit()) {
                    i = j;
                    while (i < n && sql.at(i).isDigit()) {
                        ++i;
                    }
                }
            }
        } else if (isIdentStart(c)) {
            t.kind = Kind::Identifier;
            while (i < n && isIdentPart(sql.at(i))) {
                ++i;
            }
        } else if (i + 1 < n && isTwoCharOperator(QStringView(sql).mid(i, 2))) {
            t.kind = Kind::Punct;
            i += 2;
        } else if (QStringView(u"(),.;*=<>+-/&?").contains(c)) {
            t.kind = Kind::Punct;
            ++i;
        } else {
            return syntaxError(u"unexpected character '%1'"_s.arg(c), start);
        }
        t.text = QStringView(sql).mid(start, i - start);
        tokens.append(std::move(t));
    }
    return tokens;
}

}  // namespace orlo::data
