#pragma once
// The tokens of a statement in the dialect: blanks, text literals ('...' or
// "..." with the delimiter doubled inside), bracketed names ([LAST NAME],
// [PATIENTS.LAST NAME]), date literals (#3/5/2026#), numbers, identifiers
// and punctuation. The translator rewrites statements token by token.

#include <QList>
#include <QString>

#include "platform/core/Result.h"

namespace orlo::data {

struct SqlToken {
    enum class Kind { Space, Text, BracketName, DateLiteral, Number, Identifier, Punct };

    Kind kind = Kind::Space;
    QStringView text;  // exactly as written, a view into the tokenized statement
    QString value;     // Text: the literal's value; BracketName, DateLiteral: what stands inside
    qsizetype position = 0;

    bool isPunct(QStringView p) const { return kind == Kind::Punct && text == p; }
    // An identifier (keyword or bare name) compared without letter case.
    bool isWord(QStringView w) const {
        return kind == Kind::Identifier && text.compare(w, Qt::CaseInsensitive) == 0;
    }
};

// Splits a statement into tokens; an unterminated literal or name, or a
// character the dialect does not know, is a syntax error. The tokens' texts
// point into `sql`, which must outlive them.
Result<QList<SqlToken>> tokenizeSql(const QString& sql);

}  // namespace orlo::data
