#include "platform/data/Compaction.h"

#include <QFileInfo>

#include "platform/core/ErrorTrap.h"
#include "platform/data/Connection.h"
#include "platform/data/DataErrors.h"
#include "platform/data/Session.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

namespace {

bool isBusy(const sqlite::SqliteError& e) {
    return e.code == SQLITE_BUSY || e.code == SQLITE_LOCKED;
}

qint64 fileSize(const QString& path) {
    return QFileInfo(path).size();
}

}  // namespace

Compaction compactDatabase(DataContext ctx, const QString& provider,
                           const QString& connectionString,
                           const std::function<Result<bool>(Connection&)>& inUse, int lockWaitMs) {
    Compaction out;
    Connection conn(ctx);
    conn.setProvider(provider);
    const auto finish = [&](Compaction::Outcome outcome, const Error& error) {
        out.outcome = outcome;
        out.error = error;
        out.errors = conn.errors();
        ignoreError(conn.close(), "nothing was written; the outcome is what the caller needs");
        return out;
    };
    if (Status opened = conn.open(connectionString); !opened) {
        return finish(Compaction::Outcome::Failed, opened.error());
    }
    detail::Session& s = *conn.session();
    if (s.isServer()) {
        // A server reclaims its own space (autovacuum); there is no file here.
        return finish(Compaction::Outcome::Failed,
                      s.fail(dataError(orlo::err::kProviderFailure,
                                       u"The database is on a PostgreSQL server, which compacts "
                                       "itself; only a database file can be compacted here."_s)));
    }
    sqlite::Database& db = s.database();
    const QString path = s.path();
    out.sizeBefore = fileSize(path);

    // The exclusive lock, kept after the empty transaction that takes it
    // until the connection closes: nobody reads or writes from here on. The
    // rebuild journals every page of the file: its journal is deleted at
    // the end rather than kept as the workstations keep theirs.
    db.setBusyTimeout(lockWaitMs);
    for (const QString& sql : {u"PRAGMA journal_mode=DELETE"_s, u"PRAGMA locking_mode=EXCLUSIVE"_s,
                               u"BEGIN EXCLUSIVE"_s}) {
        if (sqlite::SqlStatus done = db.exec(sql); !done) {
            const Error e = s.failure(done.error(), sql);
            return finish(
                isBusy(done.error()) ? Compaction::Outcome::InUse : Compaction::Outcome::Failed, e);
        }
    }
    if (sqlite::SqlStatus done = db.exec(u"COMMIT"_s); !done) {
        return finish(Compaction::Outcome::Failed, s.failure(done.error(), u"COMMIT"_s));
    }

    if (inUse) {
        const Result<bool> others = inUse(conn);
        if (!others) {
            return finish(Compaction::Outcome::Failed, others.error());
        }
        if (*others) {
            return finish(Compaction::Outcome::InUse,
                          s.fail(dataError(orlo::err::kProviderFailure,
                                           u"Could not use '%1'; file already in use by another "
                                           "workstation."_s.arg(path))));
        }
    }
    // VACUUM refuses to run while a statement of this connection is still
    // reading.
    if (Status reads = s.finishOpenReads(); !reads) {
        return finish(Compaction::Outcome::Failed, reads.error());
    }
    const QString vacuum = u"VACUUM"_s;
    if (sqlite::SqlStatus done = db.exec(vacuum); !done) {
        const Error e = s.failure(done.error(), vacuum);
        return finish(
            isBusy(done.error()) ? Compaction::Outcome::InUse : Compaction::Outcome::Failed, e);
    }
    if (Status closed = conn.close(); !closed) {
        return finish(Compaction::Outcome::Failed, closed.error());
    }
    out.outcome = Compaction::Outcome::Done;
    out.sizeAfter = fileSize(path);
    out.errors = conn.errors();
    return out;
}

}  // namespace orlo::data
