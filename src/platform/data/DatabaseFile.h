#pragma once
// Creating a database file: the schema statements run in one transaction
// into a new file, which is never created over an existing one. The kind of
// database is marked in the file header so that a connection can tell the
// shared database from a workstation's throwaway scratch database.

#include <QString>
#include <QStringList>

#include "platform/core/Result.h"
#include "platform/sqlite/Database.h"

namespace orlo::data {

enum class DatabaseKind { Shared, Scratch };

// PRAGMA application_id of each kind ("ORLD", "ORLS").
inline constexpr int kSharedApplicationId = 0x4F524C44;
inline constexpr int kScratchApplicationId = 0x4F524C53;

// Creates `path` with `statements`; fails (kProviderFailure) when the file
// exists already or cannot be written, and leaves no partial file behind.
Status createDatabaseFile(const QString& path, const QStringList& statements, DatabaseKind kind);

// Opens (creating) `file` with the header marks of `kind` and the rollback
// journal, for a caller that fills it itself.
sqlite::SqlResult<sqlite::Database> openNewDatabaseFile(const QString& file, DatabaseKind kind);

// The layout version the existing database `path` keeps in its header
// (PRAGMA user_version; 0 when none was ever set). Read without writing;
// waits up to `lockWaitMs` for another connection's write lock.
Result<int> databaseFileVersion(const QString& path, int lockWaitMs);

// Runs `statements` on the existing database `path` in one transaction, as
// written (no dialect): an upgrade of its schema applies whole or not at
// all. Waits up to `lockWaitMs` for other workstations' locks.
Status upgradeDatabaseFile(const QString& path, const QStringList& statements, int lockWaitMs);

}  // namespace orlo::data
