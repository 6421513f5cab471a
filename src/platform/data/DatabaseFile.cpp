#include "platform/data/DatabaseFile.h"

#include <QFile>
#include <QFileInfo>

#include "platform/data/DataErrors.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

namespace {

Error failure(const QString& text) {
    return dataError(orlo::err::kProviderFailure, text);
}

// Makes the database in `file`: the header marks, then every statement in
// one transaction. SQLite's message when anything fails.
sqlite::SqlStatus build(const QString& file, const QStringList& statements, DatabaseKind kind) {
    ORLO_TRY_ASSIGN(sqlite::Database db, openNewDatabaseFile(file, kind));
    if (kind == DatabaseKind::Scratch) {
        // Nothing in a scratch database outlives a run: a file a crash left
        // damaged is made anew at the next, so its making waits for no disk.
        ORLO_TRY(db.exec(u"PRAGMA synchronous=OFF"_s));
    }
    ORLO_TRY_ASSIGN(sqlite::Transaction t, sqlite::Transaction::begin(db));
    for (const QString& sql : statements) {
        ORLO_TRY(db.exec(sql));
    }
    return t.commit();
}

}  // namespace

sqlite::SqlResult<sqlite::Database> openNewDatabaseFile(const QString& file, DatabaseKind kind) {
    ORLO_TRY_ASSIGN(sqlite::Database db,
                    sqlite::Database::open(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
    // The shared file lives on a share used by several workstations: the
    // rollback journal works wherever byte-range locks work, WAL does not
    // (it needs shared memory on one host).
    ORLO_TRY(db.exec(u"PRAGMA journal_mode=DELETE"_s));
    ORLO_TRY(db.exec(u"PRAGMA application_id=%1"_s.arg(
        kind == DatabaseKind::Shared ? kSharedApplicationId : kScratchApplicationId)));
    return db;
}

Result<int> databaseFileVersion(const QString& path, int lockWaitMs) {
    const auto read = [&]() -> sqlite::SqlResult<int> {
        ORLO_TRY_ASSIGN(sqlite::Database db, sqlite::Database::open(path, SQLITE_OPEN_READONLY));
        db.setBusyTimeout(lockWaitMs);
        ORLO_TRY_ASSIGN(sqlite::Statement version, db.prepare(u"PRAGMA user_version"_s));
        ORLO_TRY_ASSIGN(const bool row, version.step());
        return row ? int(version.columnInt(0)) : 0;
    };
    sqlite::SqlResult<int> version = read();
    if (!version) {
        return failure(u"Cannot read the version of '%1': %2"_s.arg(path, version.error().message));
    }
    return *version;
}

Status upgradeDatabaseFile(const QString& path, const QStringList& statements, int lockWaitMs) {
    const auto run = [&]() -> sqlite::SqlStatus {
        // READWRITE without CREATE: a file that went away is not made anew.
        ORLO_TRY_ASSIGN(sqlite::Database db, sqlite::Database::open(path, SQLITE_OPEN_READWRITE));
        db.setBusyTimeout(lockWaitMs);
        ORLO_TRY_ASSIGN(sqlite::Transaction t, sqlite::Transaction::begin(db));
        for (const QString& sql : statements) {
            ORLO_TRY(db.exec(sql));
        }
        return t.commit();
    };
    if (sqlite::SqlStatus done = run(); !done) {
        return failure(u"Cannot upgrade '%1': %2"_s.arg(path, done.error().message));
    }
    return {};
}

Status createDatabaseFile(const QString& path, const QStringList& statements, DatabaseKind kind) {
    if (QFileInfo::exists(path)) {
        return failure(u"The file '%1' already exists; it is not overwritten."_s.arg(path));
    }
    // Built under a temporary name and renamed at the end, so that no
    // half-made database ever carries the real name.
    const QString building = path + u".creating"_s;
    QFile::remove(building);
    if (sqlite::SqlStatus built = build(building, statements, kind); !built) {
        QFile::remove(building);
        return failure(u"Cannot create '%1': %2"_s.arg(path, built.error().message));
    }
    // rename() refuses to replace an existing file: a file that appeared in
    // the meantime is kept.
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        return failure(u"Cannot create '%1': the name is taken or not writable."_s.arg(path));
    }
    return {};
}

}  // namespace orlo::data
