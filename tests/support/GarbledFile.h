#pragma once
// Damage done to an SQLite file behind the back of a connection holding it.

#include "TestSupport.h"

namespace orlo::test {

// Overwrites every byte after the first 4 KiB page of an SQLite file that
// is open elsewhere, and bumps the header's change counter so that the open
// connection reads the file again; returns the bytes written.
inline QByteArray garbleAfterFirstPage(const QString& path) {
    QByteArray bytes = readFile(path);
    for (qsizetype i = 4096; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 7919) & 0xff);
    }
    bytes[27] = static_cast<char>(bytes[27] + 1);  // the file change counter
    writeFile(path, bytes);
    return bytes;
}

}  // namespace orlo::test
