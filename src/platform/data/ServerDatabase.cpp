#include "platform/data/ServerDatabase.h"

#include "platform/data/DataErrors.h"
#include "platform/dialect/ServerFunctions.h"
#include "platform/pg/PgDatabase.h"
#include "platform/pg/PgLocation.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

namespace {

Error failure(const QString& uri, const pg::PgError& e) {
    return dataError(orlo::err::kProviderFailure,
                     u"The database %1 was not changed: %2"_s.arg(pg::redactedUri(uri), e.message));
}

// Begins a transaction on the server and runs `statements` in it, left
// open; closing the connection rolls back.
Result<pg::PgDatabase> begin(const QString& uri, const QStringList& statements, bool mustBeEmpty) {
    pg::PgResult<pg::PgDatabase> connected = pg::PgDatabase::connect(uri);
    if (!connected) {
        return dataError(orlo::err::kProviderFailure, connected.error().message);
    }
    pg::PgDatabase server = std::move(connected).value();
    pg::PgDatabase* db = &server;
    if (pg::PgStatus begun = db->execScript(u"BEGIN"_s); !begun) {
        return failure(uri, begun.error());
    }
    if (mustBeEmpty) {
        pg::PgResult<pg::PgRows> found =
            db->exec(u"SELECT to_regclass('public.\"PATIENTS\"') IS NOT NULL"_s);
        if (!found) {
            return failure(uri, found.error());
        }
        if (found->text(0, 0) == u"t"_s) {
            return dataError(orlo::err::kProviderFailure,
                             u"The database %1 already holds patients' tables; nothing was "
                             "changed."_s.arg(pg::redactedUri(uri)));
        }
    }
    for (const QString& sql : statements) {
        if (pg::PgStatus done = db->execScript(sql); !done) {
            return failure(uri, done.error());  // closing rolls back
        }
    }
    return server;
}

// Runs `statements` in one transaction; rolls back on the first failure.
Status runAll(const QString& uri, const QStringList& statements, bool mustBeEmpty) {
    ORLO_TRY_ASSIGN(pg::PgDatabase server, begin(uri, statements, mustBeEmpty));
    if (pg::PgStatus committed = server.execScript(u"COMMIT"_s); !committed) {
        return failure(uri, committed.error());
    }
    return {};
}

QStringList creationStatements(const QStringList& statements) {
    QStringList all = {u"CREATE EXTENSION IF NOT EXISTS citext"_s};
    all << serverFunctionStatements() << statements;
    return all;
}

}  // namespace

Status createServerDatabase(const QString& uri, const QStringList& statements) {
    return runAll(uri, creationStatements(statements), true);
}

Result<pg::PgDatabase> beginServerDatabase(const QString& uri, const QStringList& statements) {
    return begin(uri, creationStatements(statements), true);
}

Status upgradeServerDatabase(const QString& uri, const QStringList& statements) {
    return runAll(uri, serverFunctionStatements() + statements, false);
}

}  // namespace orlo::data
