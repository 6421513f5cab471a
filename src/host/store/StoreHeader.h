#pragma once
// StoreHeader: checks the first 100 bytes of a file before SQLite sees it, so
// that a text file, a truncated store or another program's database is
// refused with a clear message and is never opened for writing.

#include <QString>

#include "platform/core/Result.h"

namespace orlo::host {

class StoreHeader {
public:
    // Ok when `path` is an item store of the schema this build reads and is
    // not shorter than its header says. A store with a hot rollback journal
    // beside it (its writer was killed) is accepted without the length check:
    // opening it rolls the journal back.
    static Status check(const QString& path);
};

// The error every failure to read a store file gives: kProviderFailure with
// a description naming the file.
Error storeError(const QString& path, const QString& what);

}  // namespace orlo::host
