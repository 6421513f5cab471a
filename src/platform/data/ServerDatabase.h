#pragma once
// Creating the shared database on a PostgreSQL server: the citext
// extension, the dialect's functions and the schema statements run in one
// transaction on an empty database, so a failure creates nothing.

#include <QString>
#include <QStringList>

#include "platform/core/Result.h"
#include "platform/pg/PgDatabase.h"

namespace orlo::data {

// Fails (kProviderFailure) when the server cannot be reached, already holds
// the system's tables, or refuses a statement; the message never carries
// the password.
Status createServerDatabase(const QString& uri, const QStringList& statements);

// What createServerDatabase does, but the transaction is left open on the
// connection returned: the caller fills the tables and commits, and closing
// the connection before that rolls everything back.
Result<pg::PgDatabase> beginServerDatabase(const QString& uri, const QStringList& statements);

// An upgrade: the dialect's functions again (CREATE OR REPLACE) and then
// `statements`, in one transaction.
Status upgradeServerDatabase(const QString& uri, const QStringList& statements);

}  // namespace orlo::data
