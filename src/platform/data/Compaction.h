#pragma once
// Compaction of the shared database in place: the file is rebuilt by the
// engine's own VACUUM while this connection holds the database's exclusive
// lock, so no other workstation reads or writes in between and no moment
// exists at which the file is deleted, renamed or half copied. The rebuild
// writes through the rollback journal: a process killed half-way leaves a
// journal that the next connection rolls back, and every row is there.
//
//   Compaction c = compactDatabase(ctx, kJetProvider, path, othersCheck);
//   switch (c.outcome) { case Done: c.sizeBefore, c.sizeAfter; ... }
//
// The database is "in use" when its exclusive lock cannot be had within
// the wait (another connection is reading or writing) or when `inUse`,
// asked while the lock is held, says so (the caller's own rule, such as
// another workstation registered). Then nothing is written: the file stays
// byte for byte as it was.

#include <QString>
#include <functional>

#include "platform/core/ProviderError.h"
#include "platform/core/Result.h"
#include "platform/data/DataContext.h"

namespace orlo::data {

class Connection;

struct Compaction {
    enum class Outcome { Done, InUse, Failed };
    Outcome outcome = Outcome::Failed;
    qint64 sizeBefore = 0;  // bytes of the file, when it could be read
    qint64 sizeAfter = 0;
    Error error;            // InUse and Failed: why
    ProviderErrors errors;  // the connection's errors collection at the end
};

// How long the compaction waits for the exclusive lock by default: a
// writer holds the lock for milliseconds, a reader that keeps it longer is
// a user at work.
inline constexpr int kCompactionLockWaitMs = 2000;

// Opens the database named by `provider` and `connectionString` as every
// other connection does (a missing file fails and creates nothing), takes
// its exclusive lock, asks `inUse` and compacts. The connection is closed
// at the end, which lets go of the lock.
Compaction compactDatabase(DataContext ctx, const QString& provider,
                           const QString& connectionString,
                           const std::function<Result<bool>(Connection&)>& inUse,
                           int lockWaitMs = kCompactionLockWaitMs);

}  // namespace orlo::data
