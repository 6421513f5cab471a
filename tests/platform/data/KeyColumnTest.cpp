// Key lists in bulk: a run of key inserts with one bound statement, and a
// key column read straight from the engine.

#include <gtest/gtest.h>

#include "TestDatabases.h"
#include "platform/data/IntegerColumn.h"
#include "platform/data/KeyInsertRun.h"

using namespace orlo;
using namespace orlo::data;

// The keys joined by commas; "<recordset>" when left to a recordset.
static QString read(Connection& conn, const char16_t* sql) {
    const auto keys = readIntegerColumn(conn, QString::fromUtf16(sql));
    QStringList parts;
    for (const qint64 k : keys ? keys->value_or(std::vector<qint64>{}) : std::vector<qint64>{}) {
        parts << QString::number(k);
    }
    return !keys ? u"<error>"_s : keys->has_value() ? parts.join(u',') : u"<recordset>"_s;
}

TEST(KeyColumnTest, KeyRunsStoreWhatEachKeysTextWouldAndOnlyWholeNumbersAreReadDirect) {
    PinnedClock clock{test::at("2026-06-15 10:00:00")};
    const Locale locale = Locale::unitedKingdom();
    test::TestDatabases dbs;
    Connection scratch({clock, locale});
    ASSERT_TRUE(scratch.open(dbs.scratchPath()).ok());
    // A sign or digit ending the prefix belongs to each key's text.
    const std::vector<std::pair<const char16_t*, std::vector<qint64>>> runs = {
        {u"INSERT INTO [tempPatientDB] ( [ids] ) Values(", {3, -4, 9000000000}},
        {u"INSERT INTO tempPatientDB (ids) Values(-", {5}},
        {u"INSERT INTO tempPatientDB (ids) Values(1", {2}},
    };
    for (const auto& [prefix, keys] : runs) {
        KeyInsertRun insert(scratch, QString::fromUtf16(prefix));
        for (const qint64 key : keys) {
            ASSERT_TRUE(insert(key).ok());
        }
    }
    // Batched, yet the connection's own read sees them, in key order.
    EXPECT_EQ(read(scratch, u"SELECT ids FROM tempPatientDB"), u"-5,-4,3,12,9000000000"_s);
    KeyInsertRun insert(scratch, u"INSERT INTO tempScheduleOL (ids) Values("_s);
    ASSERT_TRUE(insert(1).ok());
    ASSERT_TRUE(scratch.close().ok());
    EXPECT_FALSE(insert(2).ok());
    ASSERT_TRUE(scratch.open(dbs.scratchPath()).ok());
    ASSERT_TRUE(insert(3).ok());
    EXPECT_EQ(read(scratch, u"SELECT ids FROM tempScheduleOL"), u"1,3"_s);

    dbs.addPatients({{1, "Smith", "Ann"}, {2, "Jones", "Bob"}, {5, "Brown", "Cy"}});
    dbs.addAppointments({{4, 1, "2026-06-01 09:00:00"}});
    dbs.rawExec(u"UPDATE SCHEDULED SET RECALLDUEDATE = 46000"_s);
    Connection conn({clock, locale});
    ASSERT_TRUE(conn.open(dbs.sharedPath()).ok());
    const std::vector<std::pair<const char16_t*, const char16_t*>> cases = {
        {u"SELECT PT_ID FROM PATIENTS ORDER BY PT_ID", u"1,2,5"},
        {u"SELECT PT_ID FROM PATIENTS WHERE PT_ID > 100", u""},
        {u"SELECT [LAST NAME] FROM PATIENTS", u"<recordset>"},
        {u"SELECT PT_ID + 0.5 FROM PATIENTS", u"<recordset>"},
        {u"SELECT EMAIL1 FROM PATIENTS", u"<recordset>"},
        {u"SELECT RECALLDUEDATE FROM SCHEDULED", u"<recordset>"},  // dates
        {u"SELECT NOSUCHCOLUMN FROM PATIENTS", u"<error>"},
    };
    for (const auto& [sql, expected] : cases) {
        EXPECT_EQ(read(conn, sql), QString::fromUtf16(expected))
            << QString::fromUtf16(sql).toStdString();
    }
}
