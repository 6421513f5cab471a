#pragma once
// Recognises the one statement shape the resync executes thousands of times,
// "INSERT INTO table (column) Values(123)", so that the connection can run
// it through one prepared statement with the number bound instead of
// translating and preparing every text anew.

#include <QString>
#include <QStringView>
#include <optional>

namespace orlo::data {

struct KeyInsert {
    QString table;
    QString column;
    qint64 value = 0;

    // The statement with the number as parameter ?1.
    QString sqliteText() const;
};

// Nothing unless the text is exactly that shape: plain or bracketed names,
// an optionally signed integer that fits 64 bits, blanks anywhere between.
std::optional<KeyInsert> parseKeyInsert(QStringView sql);

// The text up to the number of a key insert that parseKeyInsert accepted
// ("INSERT INTO t (ids) Values("), and the number of another text that is
// that same prefix followed by a number and ")" only: the next statement
// of a run of key inserts, read without parsing it all again.
QStringView keyInsertPrefix(QStringView sql);
std::optional<qint64> keyAfterPrefix(QStringView sql, QStringView prefix);

}  // namespace orlo::data
