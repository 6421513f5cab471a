// A static recordset reads its rows as they are asked for, on the file and
// on a server, yet moves, counts, GetRows and Filter give what a full read
// gives, and its rows stay one snapshot while others write.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "TestDatabases.h"
#include "platform/data/DataErrors.h"
#include "platform/data/Recordset.h"

using namespace orlo;
using namespace orlo::data;
using orlo::test::shown;

namespace {

constexpr int kPatients = 2500;  // many steps of reading on demand
const QString kQuery = u"SELECT PT_ID, [FIRST NAME] FROM PATIENTS ORDER BY [LAST NAME] DESC"_s;

class FetchOnDemandTest : public ::testing::TestWithParam<test::Engine> {
protected:
    void SetUp() override {
        dbs.rawExec(
            u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2500) "
            "INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB, DIABETICYN, "
            "HOUSENO, STREET1, CITY, HOME_TEL, CREATED, DELETE_FLAG) SELECT i, 'P' || (10000 + "
            "i), CASE WHEN i % 7 = 0 THEN 'Bea' ELSE 'Ann' END, '1970-02-01 00:00:00', 'NO', "
            "'1', 'High St', 'York', '0123', '2026-01-01 09:00:00', 'NO' FROM n"_s);
        ASSERT_TRUE(conn.open(dbs.sharedPath()).ok());
    }

    // The current row as "id first-name", and the rows from it on by moves.
    static QString row(Recordset& rs) { return shown(*rs.field(0)) + u' ' + shown(*rs.field(1)); }
    static QStringList walk(Recordset& rs) {
        QStringList rows;
        while (!rs.eof()) {
            rows << row(rs);
            EXPECT_TRUE(rs.moveNext().ok());
        }
        return rows;
    }

    PinnedClock clock{test::at("2027-03-09 08:30:00")};
    Locale locale = Locale::unitedKingdom();
    test::TestDatabases dbs{GetParam()};
    Connection conn{{clock, locale}};
};

}  // namespace

TEST_P(FetchOnDemandTest, ReadsOnDemandYetMovesCountsAndFiltersAsAFullRead) {
    Recordset full;
    Recordset lazy;
    ASSERT_TRUE(full.open(kQuery, conn, kOpenKeyset).ok());
    lazy.setFetchOnDemand(true);
    ASSERT_TRUE(lazy.open(kQuery, conn, kOpenStatic, kLockReadOnly).ok());
    ASSERT_FALSE(lazy.fetchComplete());
    EXPECT_LT(lazy.fetchedCount(), 200);
    EXPECT_EQ(*lazy.recordCount(), kPatients);  // counted, not read
    EXPECT_FALSE(lazy.fetchComplete());

    using Move = Status (Recordset::*)();
    const struct {
        Move move;
        const char* current;  // nullptr: at an end
        bool bof;
    } steps[] = {
        {&Recordset::moveNext, "2499 Bea", false}, {&Recordset::movePrevious, "2500 Ann", false},
        {&Recordset::movePrevious, nullptr, true}, {&Recordset::moveLast, "1 Ann", false},
        {&Recordset::moveNext, nullptr, false},    {&Recordset::movePrevious, "1 Ann", false}};
    for (const auto& step : steps) {
        ASSERT_TRUE((lazy.*step.move)().ok());
        EXPECT_EQ(lazy.bof(), step.bof);
        EXPECT_EQ(lazy.eof(), !step.current && !step.bof);
        EXPECT_EQ(step.current ? row(lazy) : QString(), QString::fromLatin1(step.current));
    }

    // A fresh read walked by moves, and GetRows from the 150th row.
    ASSERT_TRUE(lazy.requery().ok());
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
    EXPECT_EQ(QString(shown(rest[0].front()) + u' ' + shown(rest[0].back())), u"2350 1");

    // A filter counts and walks only its own rows.
    ASSERT_TRUE(lazy.setFilter(u"[FIRST NAME] = 'Bea'"_s).ok());
    EXPECT_EQ(*lazy.recordCount(), 357);
    const QStringList bea = walk(lazy);
    EXPECT_EQ(QString(QString::number(bea.size()) + u' ' + bea.front() + u' ' + bea.back()),
              u"357 2499 Bea 7 Bea");
}

TEST_P(FetchOnDemandTest, RowsStayOneSnapshotWhileOthersWrite) {
    Recordset rs;
    rs.setFetchOnDemand(true);
    ASSERT_TRUE(rs.open(kQuery, conn, kOpenStatic, kLockOptimistic).ok());
    ASSERT_FALSE(rs.fetchComplete());
    // A statement that fails on the same connection leaves the read open,
    // and so does a whole read that fails after its first page (the server
    // divides by zero at the 2,100th row; the file gives Null there). A
    // whole read that succeeds spans pages and gives every row.
    EXPECT_FALSE(conn.execute(u"SELECT * FROM NO_SUCH_TABLE"_s).ok());
    Recordset failing;
    EXPECT_EQ(failing
                  .open(u"SELECT PT_ID, 1 / (PT_ID - 2100) FROM PATIENTS"_s, conn, kOpenStatic,
                        kLockReadOnly)
                  .ok(),
              GetParam() == test::Engine::File);
    Recordset whole;
    ASSERT_TRUE(whole.open(kQuery, conn, kOpenStatic, kLockReadOnly).ok());
    const QStringList wholeRows = walk(whole);
    ASSERT_EQ(wholeRows.size(), kPatients);
    EXPECT_EQ(wholeRows.mid(1999, 2), QStringList({u"501 Ann"_s, u"500 Ann"_s}));
    const char* rename = "UPDATE PATIENTS SET \"FIRST NAME\" = 'Cy'";
    if (GetParam() == test::Engine::File) {
        // Another workstation's write waits for the read (this one at once
        // gives up).
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(dbs.sharedPath().toUtf8().constData(), &other), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(other, rename, nullptr, nullptr, nullptr), SQLITE_BUSY);
        EXPECT_EQ(walk(rs), wholeRows);
        EXPECT_EQ(sqlite3_exec(other, rename, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
    } else {
        // On the server it goes ahead, and the read keeps its snapshot.
        dbs.rawExec(QString::fromLatin1(rename));
        EXPECT_EQ(walk(rs), wholeRows);
    }
    ASSERT_TRUE(rs.requery().ok());
    EXPECT_EQ(shown(*rs.field(1)), u"Cy"_s);

    // A write on the same connection, or a delete through the recordset,
    // first reads the rest as it was.
    ASSERT_TRUE(conn.execute(u"UPDATE PATIENTS SET [FIRST NAME] = 'Di'"_s).ok());
    EXPECT_TRUE(rs.fetchComplete());
    EXPECT_EQ(walk(rs).filter(u"Di"_s), QStringList());
    ASSERT_TRUE(rs.requery().ok());
    ASSERT_TRUE(rs.deleteCurrent().ok());
    EXPECT_TRUE(rs.fetchComplete());
    EXPECT_EQ(*rs.recordCount(), kPatients - 1);
    ASSERT_TRUE(rs.moveFirst().ok());
    EXPECT_EQ(shown(*rs.field(0)), u"2499"_s);

    // Closing the connection ends a read still open.
    ASSERT_TRUE(rs.requery().ok());
    ASSERT_TRUE(conn.close().ok());
    EXPECT_EQ(rs.state(), kStateClosed);
    EXPECT_TRUE(rs.eof());
}

INSTANTIATE_TEST_SUITE_P(Engines, FetchOnDemandTest,
                         ::testing::Values(test::Engine::File, test::Engine::Server),
                         [](const ::testing::TestParamInfo<test::Engine>& param) {
                             return std::string(test::engineName(param.param));
                         });
