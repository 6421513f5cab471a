// Key lists in bulk: a run of key inserts with one bound statement, and a
// key column read straight from the engine.

#include <gtest/gtest.h>

#include "TestDatabases.h"
#include "platform/data/DataErrors.h"
#include "platform/data/IntegerColumn.h"
#include "platform/data/KeyInsertRun.h"

using namespace orlo;
using namespace orlo::data;
using orlo::test::TestDatabases;

namespace {

class KeyColumnTest : public ::testing::Test {
protected:
    PinnedClock clock{test::at("2026-06-15 10:00:00")};
    Locale locale = Locale::unitedKingdom();
    TestDatabases dbs;

    // A table's ids and their storage classes, in the order they went in.
    QString stored(const QString& table) const {
        return dbs
            .rawValue(
                u"SELECT group_concat(ids || ':' || typeof(ids), ',') FROM (SELECT ids "
                "FROM %1 ORDER BY rowid)"_s.arg(table),
                dbs.scratchPath())
            .value_or(u"<none>"_s);
    }
};

QString joined(const std::vector<qint64>& keys) {
    QStringList parts;
    for (const qint64 k : keys) {
        parts << QString::number(k);
    }
    return parts.join(u',');
}

}  // namespace

TEST_F(KeyColumnTest, KeyInsertRunStoresWhatEachKeysTextWould) {
    struct Case {
        const char16_t* prefix;
        std::vector<qint64> keys;
        const char16_t* table;
        const char16_t* expected;
    };
    const std::vector<Case> cases = {
        {u"INSERT INTO tempPatientDB (ids) Values(",
         {3, -4, 9000000000},
         u"tempPatientDB",
         u"3:integer,-4:integer,9000000000:integer"},
        // Bracketed names and blanks: still the one shape.
        {u"INSERT INTO [tempPatientOL] ( [ids] ) Values(", {12}, u"tempPatientOL", u"12:integer"},
        // The sign and a digit belong to the text: each key's text decides.
        {u"INSERT INTO tempScheduleDB (ids) Values(-",
         {5, 6},
         u"tempScheduleDB",
         u"-5:integer,-6:integer"},
        {u"INSERT INTO tempScheduleOL (ids) Values(1", {2}, u"tempScheduleOL", u"12:integer"},
    };
    Connection scratch({clock, locale});
    ASSERT_TRUE(scratch.open(dbs.scratchPath()).ok());
    for (const Case& c : cases) {
        KeyInsertRun insert(scratch, QString::fromUtf16(c.prefix));
        for (const qint64 key : c.keys) {
            ASSERT_TRUE(insert(key).ok()) << QString::fromUtf16(c.prefix).toStdString() << key;
        }
    }
    // In the connection's batch: not yet committed, but its own read sees them.
    EXPECT_EQ(stored(u"tempPatientDB"_s), u"<none>"_s);
    const auto read = readIntegerColumn(scratch, u"SELECT ids FROM tempPatientDB"_s);
    ASSERT_TRUE(read.ok() && read->has_value());
    EXPECT_EQ(joined(**read), u"3,-4,9000000000"_s);
    for (const Case& c : cases) {
        EXPECT_EQ(stored(QString::fromUtf16(c.table)), QString::fromUtf16(c.expected))
            << QString::fromUtf16(c.prefix).toStdString();
    }
}

TEST_F(KeyColumnTest, KeyInsertRunReportsFailuresByTheKeysTextAndFollowsReopens) {
    Connection scratch({clock, locale});
    ASSERT_TRUE(scratch.open(dbs.scratchPath()).ok());
    KeyInsertRun missing(scratch, u"INSERT INTO tempNoSuchTable (ids) Values("_s);
    const Status failed = missing(7);
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error().number, orlo::err::kCommandError);
    ASSERT_FALSE(scratch.errors().empty());
    EXPECT_EQ(scratch.errors().back().sql, u"INSERT INTO tempNoSuchTable (ids) Values(7)"_s);

    // Its statement belongs to the database it was made on: a closed
    // connection fails as execute does, a reopened one takes the key.
    KeyInsertRun insert(scratch, u"INSERT INTO tempPatientDB (ids) Values("_s);
    ASSERT_TRUE(insert(1).ok());
    ASSERT_TRUE(scratch.close().ok());
    const Status closed = insert(2);
    ASSERT_FALSE(closed.ok());
    EXPECT_EQ(closed.error().number, orlo::err::kOperationNotAllowed);
    ASSERT_TRUE(scratch.open(dbs.scratchPath()).ok());
    ASSERT_TRUE(insert(3).ok());
    ASSERT_TRUE(scratch.close().ok());
    EXPECT_EQ(stored(u"tempPatientDB"_s), u"1:integer,3:integer"_s);
}

TEST_F(KeyColumnTest, ReadIntegerColumnLeavesAnythingButWholeNumbersToARecordset) {
    dbs.addPatients({{1, "Smith", "Ann"}, {2, "Jones", "Bob"}, {5, "Brown", "Cy"}});
    dbs.addAppointments({{4, 1, "2026-06-01 09:00:00", "2026-12-01 00:00:00"}});
    struct Case {
        const char16_t* sql;
        const char16_t* expected;  // the keys joined, or "<recordset>"
    };
    const std::vector<Case> cases = {
        {u"SELECT PT_ID FROM PATIENTS ORDER BY PT_ID", u"1,2,5"},
        {u"SELECT PT_ID FROM PATIENTS WHERE PT_ID > 100", u""},
        {u"SELECT [LAST NAME] FROM PATIENTS", u"<recordset>"},
        {u"SELECT PT_ID + 0.5 FROM PATIENTS WHERE PT_ID = 5", u"<recordset>"},
        {u"SELECT EMAIL1 FROM PATIENTS", u"<recordset>"},
        // Whole numbers in a date column are dates to a recordset.
        {u"SELECT RECALLDUEDATE FROM SCHEDULED", u"<recordset>"},
    };
    dbs.rawExec(u"UPDATE SCHEDULED SET RECALLDUEDATE = 46000"_s);
    Connection conn({clock, locale});
    ASSERT_TRUE(conn.open(dbs.sharedPath()).ok());
    for (const Case& c : cases) {
        const auto read = readIntegerColumn(conn, QString::fromUtf16(c.sql));
        ASSERT_TRUE(read.ok()) << QString::fromUtf16(c.sql).toStdString();
        EXPECT_EQ(read->has_value() ? joined(**read) : u"<recordset>"_s,
                  QString::fromUtf16(c.expected))
            << QString::fromUtf16(c.sql).toStdString();
    }
    const auto bad = readIntegerColumn(conn, u"SELECT NOSUCHCOLUMN FROM PATIENTS"_s);
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().number, orlo::err::kCommandError);
    ASSERT_FALSE(conn.errors().empty());
    EXPECT_EQ(conn.errors().back().sql, u"SELECT NOSUCHCOLUMN FROM PATIENTS"_s);
    ASSERT_TRUE(conn.close().ok());
    const auto closed = readIntegerColumn(conn, u"SELECT PT_ID FROM PATIENTS"_s);
    ASSERT_FALSE(closed.ok());
    EXPECT_EQ(closed.error().number, orlo::err::kOperationNotAllowed);
}
