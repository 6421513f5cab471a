// Dates assigned to a recordset's date fields: texts are read in the
// workstation's locale (or ISO 8601) and stored canonically; a text that is
// no date fails with type mismatch and leaves the field as it was; date
// fields read back as date values, while DOB stays text as typed. (The
// statements the system sends are the system-SQL suite's.)

#include <gtest/gtest.h>

#include "TestDatabases.h"
#include "platform/data/Recordset.h"

using namespace orlo;
using namespace orlo::data;

TEST(DateColumns, AssignedTextIsStoredCanonicallyAndReadBackInTheLocale) {
    PinnedClock clock{test::at("2026-06-15 10:00:00")};
    const Locale uk = Locale::unitedKingdom();
    const test::TestDatabases dbs;
    Connection conn({clock, uk});
    ASSERT_TRUE(conn.open(dbs.sharedPath()).ok());
    Recordset rs;
    ASSERT_TRUE(rs.open(QStringLiteral("PATIENTS"), conn).ok());
    ASSERT_TRUE(rs.addNew().ok());
    ASSERT_TRUE(rs.setField(QStringLiteral("DOB"), QStringLiteral("04/03/2026")).ok());
    ASSERT_TRUE(rs.setField(QStringLiteral("CREATED"), QStringLiteral("05/03/2026 14:30:00")).ok());
    ASSERT_TRUE(
        rs.setField(QStringLiteral("LAST_UPDATED"), QStringLiteral("2026-03-05T14:30:00")).ok());
    for (const char* bad : {"31/02/2026", "next Tuesday", "14:30 on the fifth"}) {
        const Status t = rs.setField(QStringLiteral("LAST_UPDATED"), QString::fromLatin1(bad));
        ASSERT_FALSE(t.ok()) << bad;
        EXPECT_EQ(t.error().number, orlo::err::kTypeMismatch);
    }
    ASSERT_TRUE(rs.update().ok());
    const QString key = test::shown(*rs.field(QStringLiteral("PT_ID")));
    const QString stored =
        QStringLiteral(
            "SELECT CREATED || '|' || LAST_UPDATED || '|' || DOB FROM PATIENTS WHERE "
            "PT_ID = ") +
        key;
    EXPECT_EQ(dbs.rawValue(stored),
              QStringLiteral("2026-03-05 14:30:00|2026-03-05 14:30:00|04/03/2026"));

    Recordset back;
    ASSERT_TRUE(
        back.open(QStringLiteral("Select * from PATIENTS WHERE PT_ID = ") + key, conn).ok());
    const Variant created = *back.field(QStringLiteral("CREATED"));
    ASSERT_NE(created.asDate(), nullptr);
    EXPECT_EQ(created.text(uk), QStringLiteral("05/03/2026 14:30:00"));
    ASSERT_NE(back.field(QStringLiteral("DOB"))->asText(), nullptr);

    // Editing a stored row: a bad date changes nothing, good ones are stored.
    EXPECT_EQ(back.setField(QStringLiteral("CREATED"), QStringLiteral("soon")).error().number,
              orlo::err::kTypeMismatch);
    ASSERT_TRUE(back.setField(QStringLiteral("CREATED"), QStringLiteral("04/03/2026")).ok());
    ASSERT_TRUE(back.setField(QStringLiteral("LAST_UPDATED"), Variant(clock.now())).ok());
    ASSERT_TRUE(back.update().ok());
    EXPECT_EQ(dbs.rawValue(stored),
              QStringLiteral("2026-03-04 00:00:00|2026-06-15 10:00:00|04/03/2026"));
}
