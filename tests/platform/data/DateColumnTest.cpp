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
    ASSERT_TRUE(rs.open(u"PATIENTS"_s, conn).ok());
    ASSERT_TRUE(rs.addNew().ok());
    ASSERT_TRUE(rs.setField(u"DOB"_s, u"04/03/2026"_s).ok());
    ASSERT_TRUE(rs.setField(u"CREATED"_s, u"05/03/2026 14:30:00"_s).ok());
    ASSERT_TRUE(rs.setField(u"LAST_UPDATED"_s, u"2026-03-05T14:30:00"_s).ok());
    for (const char* bad : {"31/02/2026", "next Tuesday", "14:30 on the fifth"}) {
        EXPECT_EQ(test::failure(rs.setField(u"LAST_UPDATED"_s, QString::fromLatin1(bad))),
                  orlo::err::kTypeMismatch)
            << bad;
    }
    ASSERT_TRUE(rs.update().ok());
    const QString key = test::shown(*rs.field(u"PT_ID"_s));
    const QString stored =
        u"SELECT CREATED || '|' || LAST_UPDATED || '|' || DOB FROM PATIENTS WHERE "
        "PT_ID = "_s +
        key;
    EXPECT_EQ(dbs.rawValue(stored), u"2026-03-05 14:30:00|2026-03-05 14:30:00|04/03/2026"_s);

    Recordset back;
    ASSERT_TRUE(back.open(u"Select * from PATIENTS WHERE PT_ID = "_s + key, conn).ok());
    const Variant created = *back.field(u"CREATED"_s);
    ASSERT_NE(created.asDate(), nullptr);
    EXPECT_EQ(created.text(uk), u"05/03/2026 14:30:00"_s);
    ASSERT_NE(back.field(u"DOB"_s)->asText(), nullptr);

    // Editing a stored row: a bad date changes nothing, good ones are stored.
    EXPECT_EQ(back.setField(u"CREATED"_s, u"soon"_s).error().number, orlo::err::kTypeMismatch);
    ASSERT_TRUE(back.setField(u"CREATED"_s, u"04/03/2026"_s).ok());
    ASSERT_TRUE(back.setField(u"LAST_UPDATED"_s, Variant(clock.now())).ok());
    ASSERT_TRUE(back.update().ok());
    EXPECT_EQ(dbs.rawValue(stored), u"2026-03-04 00:00:00|2026-06-15 10:00:00|04/03/2026"_s);
}
