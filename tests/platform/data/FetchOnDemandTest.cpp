// A static recordset reads its rows as they are asked for: the cursor must
// behave exactly as one that read every row at open (moves, ends, counts,
// GetRows, Filter, Requery), and its rows must stay one snapshot while
// writes wait for the read or come after it.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "DataTestSupport.h"
#include "platform/data/DataErrors.h"
#include "platform/data/Recordset.h"

using namespace orlo;
using namespace orlo::data;
using orlo::test::shown;

namespace {

constexpr int kPatients = 2500;  // many steps of reading on demand

class FetchOnDemandTest : public ::testing::Test {
protected:
    void SetUp() override {
        dbs.rawExec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2500) "
            "INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB, DIABETICYN, "
            "HOUSENO, STREET1, CITY, HOME_TEL, CREATED, DELETE_FLAG) SELECT i, "
            "printf('P%04d', i), CASE WHEN i % 7 = 0 THEN 'Bea' ELSE 'Ann' END, "
            "'1970-02-01 00:00:00', 'NO', '1', 'High Street', 'York', '0123', "
            "'2026-01-01 09:00:00', 'NO' FROM n"));
        ASSERT_TRUE(conn.open(dbs.sharedPath()).ok());
    }

    // Every row from the current one on, as "id first-name", by moves.
    static QStringList walk(Recordset& rs) {
        QStringList rows;
        while (!rs.eof()) {
            rows << QString(shown(*rs.field(0)) + u' ' + shown(*rs.field(1)));
            EXPECT_TRUE(rs.moveNext().ok());
        }
        return rows;
    }

    PinnedClock clock{test::at("2027-03-09 08:30:00")};
    Locale locale = Locale::unitedKingdom();
    test::TestDatabases dbs;
    Connection conn{{clock, locale}};
};

const QString kQuery =
    QStringLiteral("SELECT PT_ID, [FIRST NAME] FROM PATIENTS ORDER BY [LAST NAME] DESC");

}  // namespace

TEST_F(FetchOnDemandTest, ReadsOnDemandYetMovesCountsAndFiltersAsAFullRead) {
    Recordset full;
    Recordset lazy;
    ASSERT_TRUE(full.open(kQuery, conn, kOpenKeyset).ok());
    ASSERT_TRUE(lazy.open(kQuery, conn, kOpenStatic, kLockReadOnly).ok());
    EXPECT_TRUE(full.fetchComplete());
    ASSERT_FALSE(lazy.fetchComplete());
    EXPECT_LT(lazy.fetchedCount(), 200);
    // Counted without reading the rows.
    EXPECT_EQ(*lazy.recordCount(), kPatients);
    EXPECT_FALSE(lazy.fetchComplete());

    struct Step {
        const char* what;
        std::function<Status(Recordset&)> act;
        const char* current;  // "" when at an end
        bool bof;
        bool eof;
    };
    const std::vector<Step> steps = {
        {"open", [](Recordset&) { return Status{}; }, "2500 Ann", false, false},
        {"next", [](Recordset& r) { return r.moveNext(); }, "2499 Bea", false, false},
        {"previous", [](Recordset& r) { return r.movePrevious(); }, "2500 Ann", false, false},
        {"previous past the first", [](Recordset& r) { return r.movePrevious(); }, "", true, false},
        {"first", [](Recordset& r) { return r.moveFirst(); }, "2500 Ann", false, false},
        {"last", [](Recordset& r) { return r.moveLast(); }, "1 Ann", false, false},
        {"next past the last", [](Recordset& r) { return r.moveNext(); }, "", false, true},
        {"previous from the end", [](Recordset& r) { return r.movePrevious(); }, "1 Ann", false,
         false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        ASSERT_TRUE(step.act(lazy).ok());
        EXPECT_EQ(lazy.bof(), step.bof);
        EXPECT_EQ(lazy.eof(), step.eof);
        if (!step.bof && !step.eof) {
            EXPECT_EQ(QString(shown(*lazy.field(0)) + u' ' + shown(*lazy.field(1))),
                      QString::fromLatin1(step.current));
        }
    }

    // A fresh read walked by moves and one read by GetRows from its 150th
    // row both give what the full read gives.
    ASSERT_TRUE(lazy.requery().ok());
    EXPECT_FALSE(lazy.fetchComplete());
    const QStringList all = walk(full);
    ASSERT_EQ(all.size(), kPatients);
    EXPECT_EQ(walk(lazy), all);
    EXPECT_EQ(lazy.moveNext().error().number, orlo::err::kNoCurrentRecord);
    ASSERT_TRUE(lazy.requery().ok());
    for (int i = 0; i < 150; ++i) {
        ASSERT_TRUE(lazy.moveNext().ok());
    }
    const RowTable rest = *lazy.getRows();
    ASSERT_EQ(rest[0].size(), size_t(kPatients - 150));
    EXPECT_EQ(shown(rest[0].front()), QStringLiteral("2350"));
    EXPECT_EQ(shown(rest[0].back()), QStringLiteral("1"));
    EXPECT_TRUE(lazy.eof());

    // A filter reads on demand too, and counts only its own rows.
    ASSERT_TRUE(lazy.setFilter(QStringLiteral("[FIRST NAME] = 'Bea'")).ok());
    EXPECT_EQ(*lazy.recordCount(), kPatients / 7);
    const QStringList bea = walk(lazy);
    ASSERT_EQ(bea.size(), kPatients / 7);
    EXPECT_EQ(bea.front(), QStringLiteral("2499 Bea"));
    EXPECT_EQ(bea.back(), QStringLiteral("7 Bea"));
}

TEST_F(FetchOnDemandTest, RowsStayOneSnapshotWhileOthersWrite) {
    Recordset rs;
    ASSERT_TRUE(rs.open(kQuery, conn, kOpenStatic, kLockOptimistic).ok());
    ASSERT_FALSE(rs.fetchComplete());

    // Another workstation's write waits for the read (here: gives up at once).
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(dbs.sharedPath().toUtf8().constData(), &other, SQLITE_OPEN_READWRITE,
                              nullptr),
              SQLITE_OK);
    const char* rename = "UPDATE PATIENTS SET \"FIRST NAME\" = 'Cy'";
    EXPECT_EQ(sqlite3_exec(other, rename, nullptr, nullptr, nullptr), SQLITE_BUSY);
    const QStringList before = walk(rs);
    EXPECT_EQ(before.filter(QStringLiteral("Cy")), QStringList());
    EXPECT_EQ(before.size(), kPatients);
    // The read is over: the write goes through and a requery sees it.
    EXPECT_EQ(sqlite3_exec(other, rename, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close_v2(other);
    ASSERT_TRUE(rs.requery().ok());
    EXPECT_EQ(shown(*rs.field(1)), QStringLiteral("Cy"));

    // A write on the same connection first reads the rest: every row is as
    // it was before the write.
    ASSERT_FALSE(rs.fetchComplete());
    ASSERT_TRUE(conn.execute(QStringLiteral("UPDATE PATIENTS SET [FIRST NAME] = 'Di'")).ok());
    EXPECT_TRUE(rs.fetchComplete());
    EXPECT_EQ(walk(rs).filter(QStringLiteral("Di")), QStringList());

    // Deleting through the recordset reads the rest first too; the count
    // and the ends follow.
    ASSERT_TRUE(rs.requery().ok());
    ASSERT_FALSE(rs.fetchComplete());
    ASSERT_TRUE(rs.deleteCurrent().ok());
    EXPECT_TRUE(rs.fetchComplete());
    EXPECT_EQ(*rs.recordCount(), kPatients - 1);
    ASSERT_TRUE(rs.moveFirst().ok());
    EXPECT_EQ(shown(*rs.field(0)), QStringLiteral("2499"));

    // Closing the connection ends the read of a recordset still reading.
    ASSERT_TRUE(rs.requery().ok());
    ASSERT_TRUE(conn.close().ok());
    EXPECT_EQ(rs.state(), kStateClosed);
    EXPECT_TRUE(rs.eof());
}
