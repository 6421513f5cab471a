// Dates in the shared database: texts assigned to date fields are read in the
// workstation's locale (or ISO 8601) and stored canonically; a text that is
// no date fails with type mismatch and writes nothing; date fields read as
// date values shown in the locale's general date; DOB stays text as typed.

#include <gtest/gtest.h>

#include "TestDatabases.h"
#include "platform/data/Recordset.h"

using namespace orlo;
using namespace orlo::data;

// The order of day and month is the locale's own (tested with it); here a
// day-month workstation.
TEST(DateColumns, AssignedTextIsStoredCanonicallyAndReadBackInTheLocale) {
    PinnedClock clock{test::at("2026-06-15 10:00:00")};
    const test::TestDatabases dbs;
    struct {
        Locale locale = Locale::unitedKingdom();
        const char* typed = "05/03/2026 14:30:00";
        const char* shownBack = "05/03/2026 14:30:00";
        const char* dateOnly = "04/03/2026";
    } c;
    Connection conn({clock, c.locale});
    ASSERT_TRUE(conn.open(dbs.sharedPath()).ok());
    Recordset rs;
    ASSERT_TRUE(rs.open(QStringLiteral("PATIENTS"), conn).ok());
    ASSERT_TRUE(rs.addNew().ok());
    ASSERT_TRUE(rs.setField(QStringLiteral("LAST NAME"), QStringLiteral("Day")).ok());
    ASSERT_TRUE(rs.setField(QStringLiteral("DOB"), QString::fromLatin1(c.dateOnly)).ok());
    ASSERT_TRUE(rs.setField(QStringLiteral("CREATED"), QString::fromLatin1(c.typed)).ok());
    ASSERT_TRUE(
        rs.setField(QStringLiteral("LAST_UPDATED"), QStringLiteral("2026-03-05T14:30:00")).ok());
    // Not a date: refused, and the field keeps what it had (nothing).
    for (const char* bad : {"31/02/2026", "next Tuesday", "14:30 on the fifth"}) {
        const Status t = rs.setField(QStringLiteral("LAST_UPDATED"), QString::fromLatin1(bad));
        ASSERT_FALSE(t.ok()) << bad;
        EXPECT_EQ(t.error().number, orlo::err::kTypeMismatch);
    }
    ASSERT_TRUE(rs.update().ok());
    const QString key = test::shown(*rs.field(QStringLiteral("PT_ID")));
    EXPECT_EQ(
        dbs.rawValue(QStringLiteral("SELECT CREATED || '|' || LAST_UPDATED || '|' || DOB FROM "
                                    "PATIENTS WHERE PT_ID = ") +
                     key),
        QStringLiteral("2026-03-05 14:30:00|2026-03-05 14:30:00|") +
            QString::fromLatin1(c.dateOnly));

    Recordset back;
    ASSERT_TRUE(
        back.open(QStringLiteral("Select * from PATIENTS WHERE PT_ID = ") + key, conn).ok());
    const Variant created = *back.field(QStringLiteral("CREATED"));
    ASSERT_NE(created.asDate(), nullptr);
    EXPECT_EQ(*created.asDate(), test::at("2026-03-05 14:30:00"));
    EXPECT_EQ(created.text(c.locale), QString::fromLatin1(c.shownBack));
    const Variant dob = *back.field(QStringLiteral("DOB"));
    ASSERT_NE(dob.asText(), nullptr);  // DOB is text, stored as typed
    EXPECT_EQ(*dob.asText(), QString::fromLatin1(c.dateOnly));

    // Editing a stored row: a bad date changes nothing, a good one is stored.
    EXPECT_EQ(back.setField(QStringLiteral("CREATED"), QStringLiteral("soon")).error().number,
              orlo::err::kTypeMismatch);
    ASSERT_TRUE(back.update().ok());
    EXPECT_EQ(dbs.rawValue(QStringLiteral("SELECT CREATED FROM PATIENTS WHERE PT_ID = ") + key),
              QStringLiteral("2026-03-05 14:30:00"));
    ASSERT_TRUE(back.setField(QStringLiteral("CREATED"), QString::fromLatin1(c.dateOnly)).ok());
    ASSERT_TRUE(back.update().ok());
    ASSERT_TRUE(back.setField(QStringLiteral("LAST_UPDATED"), Variant(clock.now())).ok());
    ASSERT_TRUE(back.update().ok());
    EXPECT_EQ(
        dbs.rawValue(QStringLiteral("SELECT CREATED || '|' || LAST_UPDATED FROM PATIENTS WHERE "
                                    "PT_ID = ") +
                     key),
        QStringLiteral("2026-03-04 00:00:00|2026-06-15 10:00:00"));
}

TEST(DateColumnsInStatements, AQuotedTextThatIsNoDateFailsTheWholeStatement) {
    PinnedClock clock(test::at("2026-06-15 10:00:00"));
    const Locale uk = Locale::unitedKingdom();
    test::TestDatabases dbs;
    dbs.addPatients({{1, "Smith", "Ann"}});
    dbs.addAppointments({{1, 1, "2026-06-01 09:00:00", "2026-12-01 00:00:00"}});
    Connection conn({clock, uk});
    ASSERT_TRUE(conn.open(dbs.sharedPath()).ok());
    Result<qint64> n = conn.execute(QStringLiteral(
        "UPDATE SCHEDULED SET REASON = 'x', RECALLDUEDATE = '30/02/2026' WHERE SCHEDULE_ID = 1"));
    ASSERT_FALSE(n.ok());
    EXPECT_EQ(n.error().number, orlo::err::kTypeMismatch);
    EXPECT_EQ(conn.errors().back().number, orlo::err::kTypeMismatch);
    EXPECT_EQ(dbs.rawValue(
                  QStringLiteral("SELECT coalesce(REASON, '-') || RECALLDUEDATE FROM SCHEDULED")),
              QStringLiteral("-2026-12-01 00:00:00"));
    n = conn.execute(QStringLiteral(
        "INSERT INTO SCHEDULED (PT_ID, START_TIME) Values('1', '2026-07-01 09:00')"));
    ASSERT_TRUE(n.ok());
    EXPECT_EQ(
        dbs.rawValue(QStringLiteral("SELECT START_TIME FROM SCHEDULED WHERE SCHEDULE_ID = 2")),
        QStringLiteral("2026-07-01 09:00:00"));
}
