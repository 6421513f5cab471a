#include "records/SchemaUpgrade.h"

#include "platform/data/Connection.h"
#include "platform/data/ConnectionString.h"
#include "platform/data/DataContext.h"
#include "platform/data/DataErrors.h"
#include "platform/data/DatabaseFile.h"
#include "platform/data/Recordset.h"
#include "platform/data/ServerDatabase.h"
#include "platform/pg/PgLocation.h"
#include "records/Schema.h"

namespace orlo::records {

namespace {

constexpr char16_t kReadVersion[] = u"SELECT user_version FROM pragma_user_version";
constexpr char16_t kIndexNames[] =
    u"SELECT name FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL";
constexpr char16_t kServerIndexNames[] =
    u"SELECT indexname FROM pg_indexes WHERE schemaname = 'public' AND indexname NOT LIKE '%pkey'";

// The first column of every row of `sql`, as text.
Result<QStringList> column(data::Connection& conn, const QString& sql) {
    data::Recordset rs;
    if (Status s = rs.open(sql, conn, data::kOpenStatic, data::kLockReadOnly); !s) {
        return s.error();
    }
    QStringList values;
    while (!rs.eof()) {
        const Result<Variant> v = rs.field(0);
        if (!v) {
            return v.error();
        }
        values << v->text(conn.context().locale);
        if (Status s = rs.moveNext(); !s) {
            return s.error();
        }
    }
    return values;
}

}  // namespace

QString SchemaUpgrade::summary() const {
    if (!changed()) {
        return QStringLiteral("%1 is at schema version %2: nothing to do")
            .arg(database)
            .arg(toVersion);
    }
    QString text = QStringLiteral("upgraded %1 from schema version %2 to %3")
                       .arg(database)
                       .arg(fromVersion)
                       .arg(toVersion);
    if (!addedIndexes.isEmpty()) {
        text += QStringLiteral(": added ") + addedIndexes.join(QStringLiteral(", "));
    }
    return text;
}

Result<SchemaUpgrade> upgradeSharedSchema(const QString& path, const data::DataContext& context) {
    data::Connection conn(context);
    conn.setProvider(QString::fromUtf16(data::kJetProvider));
    if (Status s = conn.open(path); !s) {
        return s.error();
    }
    const bool server = data::isServerLocation(path);
    const QString database = server ? pg::redactedUri(path) : path;
    const Result<QStringList> version =
        column(conn, server ? sharedServerVersionQuery() : QString::fromUtf16(kReadVersion));
    if (!version) {
        return version.error();
    }
    SchemaUpgrade upgrade;
    upgrade.database = database;
    upgrade.fromVersion = version->value(0).toInt();
    upgrade.toVersion = upgrade.fromVersion;
    if (upgrade.fromVersion > kSharedSchemaVersion) {
        return makeError(orlo::err::kOperationNotAllowed,
                         QStringLiteral("%1 is at schema version %2, newer than this Orlo's %3; "
                                        "nothing was changed")
                             .arg(database)
                             .arg(upgrade.fromVersion)
                             .arg(kSharedSchemaVersion),
                         QStringLiteral("Orlo"));
    }
    if (upgrade.fromVersion == kSharedSchemaVersion) {
        return upgrade;
    }
    const QString indexNames =
        server ? QString::fromUtf16(kServerIndexNames) : QString::fromUtf16(kIndexNames);
    const Result<QStringList> before = column(conn, indexNames);
    if (!before) {
        return before.error();
    }
    if (server) {
        // The dialect's functions as this Orlo writes them, the indexes and
        // the version, all or nothing.
        if (Status done = data::upgradeServerDatabase(path, sharedIndexStatements()
                                                                << sharedServerIndexStatements()
                                                                << sharedServerVersionStatement());
            !done) {
            return done.error();
        }
    } else {
        // As written, not through the dialect (it would read the partial
        // index's quoted column names as text), with the version, at once.
        if (Status done = data::upgradeDatabaseFile(
                path,
                sharedIndexStatements()
                    << sharedStatisticsStatements() << sharedSchemaVersionStatement(),
                context.lockWaitMs > 0 ? context.lockWaitMs : data::kDefaultLockWaitMs);
            !done) {
            return done.error();
        }
    }
    const Result<QStringList> after = column(conn, indexNames);
    if (!after) {
        return after.error();
    }
    for (const QString& name : *after) {
        if (!before->contains(name)) {
            upgrade.addedIndexes << name;
        }
    }
    upgrade.addedIndexes.sort();
    upgrade.toVersion = kSharedSchemaVersion;
    return upgrade;
}

}  // namespace orlo::records
