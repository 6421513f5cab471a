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

}  // namespace orlo::data
