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
    // Whether the store file at `path` may be written now: an error naming
    // the file when the file or its folder is read-only. Nobody writes such
    // a store, whoever runs the desk (the superuser could write it anyway,
    // and the store would then disagree with what the user was told). Cheap
    // enough to ask before every save, so that a save the store cannot take
    // is refused before the shared database is written.
    static Status checkWritable(const QString& path);
};

// The error every failure to read a store file gives: kProviderFailure with
// a description naming the file.
Error storeError(const QString& path, const QString& what);

}  // namespace orlo::host
