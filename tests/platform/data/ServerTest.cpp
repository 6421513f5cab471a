// What only the PostgreSQL server has to prove beyond the suites both
// engines run: workstations adding patients at once, the schema upgrade of
// a server database, names the server must compare as the file does, and
// server connections kept open between connections.

#include <gtest/gtest.h>

#include "TestDatabases.h"
#include "platform/data/ConnectionPool.h"
#include "platform/data/DataErrors.h"
#include "platform/data/Recordset.h"
#include "records/SchemaUpgrade.h"

using namespace orlo;
using namespace orlo::data;
using orlo::test::shown;

namespace {

class ServerTest : public ::testing::Test {
protected:
    PinnedClock clock{test::at("2026-03-01 08:30:00")};
    Locale locale = Locale::unitedKingdom();
    test::TestDatabases dbs{test::Engine::Server};
};

}  // namespace

TEST_F(ServerTest, TwoWorkstationsAddingPatientsInTurnLoseNothing) {
    dbs.addPatients({{7, "Seeded", "With a key of its own"}});
    Connection a({clock, locale});
    Connection b({clock, locale});
    ASSERT_TRUE(a.open(dbs.sharedPath()).ok());
    ASSERT_TRUE(b.open(dbs.sharedPath()).ok());
    Recordset ra;
    Recordset rb;
    ASSERT_TRUE(ra.open(u"SELECT * FROM PATIENTS WHERE PT_ID = 0"_s, a).ok());
    ASSERT_TRUE(rb.open(u"SELECT * FROM PATIENTS WHERE PT_ID = 0"_s, b).ok());
    QSet<qint64> keys;
    for (int i = 0; i < 20; ++i) {
        // Both start a row before either commits: each key is its own.
        ASSERT_TRUE(ra.addNew().ok());
        ASSERT_TRUE(rb.addNew().ok());
        const qint64 ka = *ra.field(u"PT_ID"_s)->asInteger();
        const qint64 kb = *rb.field(u"PT_ID"_s)->asInteger();
        keys << ka << kb;
        ASSERT_TRUE(ra.setField(u"LAST NAME"_s, u"A%1"_s.arg(i)).ok());
        ASSERT_TRUE(rb.setField(u"LAST NAME"_s, u"B%1"_s.arg(i)).ok());
        ASSERT_TRUE(rb.update().ok());
        ASSERT_TRUE(ra.update().ok());
    }
    EXPECT_EQ(keys.size(), 40);
    EXPECT_FALSE(keys.contains(7));  // past the seeded row's own key
    EXPECT_EQ(dbs.rawCount(u"SELECT count(*) FROM PATIENTS"_s), 41);
    EXPECT_EQ(
        dbs.rawCount(u"SELECT count(DISTINCT \"LAST NAME\") FROM PATIENTS WHERE PT_ID <> 7"_s), 40);
}

TEST_F(ServerTest, UpgradeAddsAMissingIndexNamesCompareAsOnTheFileAndDateErrorsKeepNumbers) {
    dbs.addPatients({{1, "O'Brien", "Seán"}, {2, "ÖZTÜRK", "Ayşe"}, {3, "obrien", "Sean"}});
    dbs.rawExec(
        u"DROP INDEX \"SCHEDULED_BALANCE1\"; DROP INDEX \"PATIENTS_NAME_DOB_NULLS_FIRST\"; "
        "DROP INDEX \"SCHEDULED_START_TIME_PT_ID\"; "
        "UPDATE orlo_meta SET value = '2' WHERE name = 'schema_version'"_s);
    const Result<records::SchemaUpgrade> first =
        records::upgradeSharedSchema(dbs.sharedPath(), {clock, locale});
    ASSERT_TRUE(first.ok()) << first.error().description.toStdString();
    EXPECT_EQ(first->fromVersion, 2);
    EXPECT_EQ(first->addedIndexes,
              QStringList({u"PATIENTS_NAME_DOB_NULLS_FIRST"_s, u"SCHEDULED_BALANCE1"_s,
                           u"SCHEDULED_START_TIME_PT_ID"_s}));
    const Result<records::SchemaUpgrade> again =
        records::upgradeSharedSchema(dbs.sharedPath(), {clock, locale});
    ASSERT_TRUE(again.ok());
    EXPECT_FALSE(again->changed());
    EXPECT_EQ(dbs.rawValue(u"SELECT value FROM orlo_meta"_s), u"4"_s);
    EXPECT_EQ(dbs.rawCount(u"SELECT count(*) FROM PATIENTS"_s), 3);
    // Names compare as on the file; date errors keep their numbers.
    Connection conn({clock, locale});
    ASSERT_TRUE(conn.open(dbs.sharedPath()).ok());
    const std::pair<const char*, const char*> cases[] = {
        {"SELECT PT_ID FROM PATIENTS WHERE [LAST NAME] = 'o''BRIEN' ORDER BY PT_ID", "1"},
        {"SELECT PT_ID FROM PATIENTS WHERE [FIRST NAME] LIKE 'SEÁ*' ORDER BY PT_ID", "1"},
        {"SELECT PT_ID FROM PATIENTS WHERE [LAST NAME] LIKE '*türk' ORDER BY PT_ID", "2"},
        {"SELECT PT_ID FROM PATIENTS WHERE [LAST NAME] LIKE 'o*brien' ORDER BY PT_ID", "1,3"},
        {"SELECT PT_ID FROM PATIENTS WHERE [LAST NAME] LIKE 'o?brien' ORDER BY PT_ID", "1"},
        {"SELECT PT_ID FROM PATIENTS WHERE CREATED < Now ORDER BY [LAST NAME] DESC", "2,3,1"},
    };
    for (const auto& [sql, expected] : cases) {
        Recordset rs;
        ASSERT_TRUE(rs.open(QString::fromUtf8(sql), conn).ok()) << sql;
        QStringList ids;
        while (!rs.eof()) {
            ids << shown(*rs.field(0));
            ASSERT_TRUE(rs.moveNext().ok());
        }
        EXPECT_EQ(ids.join(QLatin1Char(',')), QString::fromUtf8(expected)) << sql;
    }
    const std::pair<const char*, long> failures[] = {
        {"SELECT DateSerial(2026, 1, 99999999) AS X FROM PATIENTS",
         orlo::err::kInvalidProcedureCall},
        {"SELECT DATEDIFF('x', CREATED, Now) AS X FROM PATIENTS", orlo::err::kInvalidProcedureCall},
        {"SELECT PT_ID FROM PATIENTS WHERE CREATED = 'not a date'", orlo::err::kTypeMismatch},
        {"DELETE * FROM PATIENTS WHERE NOCOLUMN = 1", orlo::err::kCommandError},
    };
    for (const auto& [sql, number] : failures) {
        Recordset rs;
        const Status s = QString::fromLatin1(sql).startsWith(u"DELETE"_s)
                             ? Status(conn.execute(QString::fromLatin1(sql)).error())
                             : rs.open(QString::fromLatin1(sql), conn);
        ASSERT_FALSE(s.ok()) << sql;
        EXPECT_EQ(s.error().number, number) << sql;
    }
}

TEST_F(ServerTest, ClosedConnectionsLendTheirServerToTheNextAndOnesTheServerEndedAreReplaced) {
    dbs.addPatients({{1, "Pooled", "Ann"}});
    const auto pool = std::make_shared<ConnectionPool>();
    // The server process behind a new connection, and the patient it reads.
    const auto open = [&](QString* name) -> qint64 {
        Connection conn({clock, locale, 0, pool});
        Recordset rs;
        if (!conn.open(dbs.sharedPath()).ok() ||
            !rs.open(u"SELECT pg_backend_pid() AS pid, [LAST NAME] FROM PATIENTS"_s, conn,
                     kOpenStatic, kLockReadOnly)
                 .ok()) {
            return -1;
        }
        *name = rs.field(1)->text(locale);
        return *rs.field(0)->asInteger();
    };
    QString name;
    const qint64 first = open(&name);
    ASSERT_GT(first, 0);
    EXPECT_EQ(pool->idleCount(), 1);
    EXPECT_EQ(open(&name), first);
    EXPECT_EQ(pool->reused(), 1);
    dbs.rawExec(u"SELECT pg_terminate_backend(%1)"_s.arg(first));
    name.clear();
    const qint64 third = open(&name);
    EXPECT_GT(third, 0);
    EXPECT_NE(third, first);
    EXPECT_EQ(name, u"Pooled"_s);
    EXPECT_EQ(pool->opened(), 2);
    EXPECT_EQ(pool->idleCount(), 1);
}
