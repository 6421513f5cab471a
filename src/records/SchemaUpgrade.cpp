#include "records/SchemaUpgrade.h"

#include "platform/data/Connection.h"
#include "platform/data/ConnectionString.h"
#include "platform/data/DataErrors.h"
#include "platform/data/Recordset.h"
#include "records/Schema.h"

namespace orlo::records {

namespace {

constexpr char16_t kReadVersion[] = u"SELECT user_version FROM pragma_user_version";
constexpr char16_t kIndexNames[] =
    u"SELECT name FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL";
constexpr char16_t kAppointmentCount[] = u"SELECT COUNT(*) FROM SCHEDULED";
constexpr char16_t kHasStatistics[] =
    u"SELECT name FROM sqlite_schema WHERE type = 'table' AND name = 'sqlite_stat1'";
// The appointments' count when the statistics were gathered: the first
// figure of the join index's entry.
constexpr char16_t kRecordedCount[] =
    u"SELECT stat FROM sqlite_stat1 WHERE idx = 'SCHEDULED_PT_ID_START_TIME'";

// The first column of every row of `sql`, as text.
Result<QStringList> column(data::Connection& conn, const char16_t* sql) {
    data::Recordset rs;
    if (Status s = rs.open(QString::fromUtf16(sql), conn, data::kOpenStatic, data::kLockReadOnly);
        !s) {
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

// Gathers the statistics when the appointments reached the minimum and
// none were gathered yet, or their count doubled or halved since.
Result<bool> refreshStatistics(data::Connection& conn) {
    ORLO_TRY_ASSIGN(const QStringList counted, column(conn, kAppointmentCount));
    const qint64 rows = counted.value(0).toLongLong();
    if (rows < kStatisticsMinRows) {
        return false;
    }
    ORLO_TRY_ASSIGN(const QStringList table, column(conn, kHasStatistics));
    if (!table.isEmpty()) {
        ORLO_TRY_ASSIGN(const QStringList stat, column(conn, kRecordedCount));
        const qint64 recorded = stat.value(0).section(QLatin1Char(' '), 0, 0).toLongLong();
        if (recorded > 0 && rows < 2 * recorded && 2 * rows > recorded) {
            return false;
        }
    }
    ORLO_TRY(conn.execute(QStringLiteral("ANALYZE")));
    return true;
}

}  // namespace

QString SchemaUpgrade::summary() const {
    QString text;
    if (!changed()) {
        text = QStringLiteral("%1 is at schema version %2").arg(database).arg(toVersion);
        if (!statisticsGathered) {
            text += QStringLiteral(": nothing to do");
        }
    } else {
        text = QStringLiteral("upgraded %1 from schema version %2 to %3")
                   .arg(database)
                   .arg(fromVersion)
                   .arg(toVersion);
        if (!addedIndexes.isEmpty()) {
            text += QStringLiteral(": added ") + addedIndexes.join(QStringLiteral(", "));
        }
    }
    if (statisticsGathered) {
        text += QStringLiteral("; gathered the query planner's statistics");
    }
    return text;
}

Result<SchemaUpgrade> upgradeSharedSchema(const QString& path, const data::DataContext& context) {
    data::Connection conn(context);
    conn.setProvider(QString::fromUtf16(data::kJetProvider));
    if (Status s = conn.open(path); !s) {
        return s.error();
    }
    const Result<QStringList> version = column(conn, kReadVersion);
    if (!version) {
        return version.error();
    }
    SchemaUpgrade upgrade;
    upgrade.database = path;
    upgrade.fromVersion = version->value(0).toInt();
    upgrade.toVersion = upgrade.fromVersion;
    if (upgrade.fromVersion > kSharedSchemaVersion) {
        return makeError(orlo::err::kOperationNotAllowed,
                         QStringLiteral("%1 is at schema version %2, newer than this Orlo's %3; "
                                        "nothing was changed")
                             .arg(path)
                             .arg(upgrade.fromVersion)
                             .arg(kSharedSchemaVersion),
                         QStringLiteral("Orlo"));
    }
    if (upgrade.fromVersion == kSharedSchemaVersion) {
        ORLO_TRY_ASSIGN(upgrade.statisticsGathered, refreshStatistics(conn));
        return upgrade;
    }
    const Result<QStringList> before = column(conn, kIndexNames);
    if (!before) {
        return before.error();
    }
    for (const QString& sql : sharedIndexStatements()) {
        if (const Result<qint64> done = conn.execute(sql); !done) {
            return done.error();
        }
    }
    const Result<QStringList> after = column(conn, kIndexNames);
    if (!after) {
        return after.error();
    }
    for (const QString& name : *after) {
        if (!before->contains(name)) {
            upgrade.addedIndexes << name;
        }
    }
    upgrade.addedIndexes.sort();
    // Before the version: a run cut short gathers them on its next try.
    ORLO_TRY_ASSIGN(upgrade.statisticsGathered, refreshStatistics(conn));
    if (const Result<qint64> done = conn.execute(sharedSchemaVersionStatement()); !done) {
        return done.error();
    }
    upgrade.toVersion = kSharedSchemaVersion;
    return upgrade;
}

}  // namespace orlo::records
