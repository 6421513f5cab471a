// The SQLite layer on real files: transactions that roll back unless
// committed, errors that carry SQLite's codes and the SQL text, and a
// borrowed statement that lets go of the file however its user left it.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "TestSupport.h"
#include "platform/sqlite/StatementUse.h"
#include "platform/sqlite/Transaction.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::sqlite;

namespace {

class SqliteLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = open();
        ASSERT_TRUE(db.exec(u"CREATE TABLE t(id INTEGER PRIMARY KEY, v TEXT)"_s).ok());
    }

    Database open() const {
        SqlResult<Database> opened =
            Database::open(dir.filePath(u"t.db"_s), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        EXPECT_TRUE(opened.ok());
        return opened.ok() ? std::move(opened).value() : Database();
    }

    std::int64_t count() const {
        Statement s = db.prepare(u"SELECT count(*) FROM t"_s).value();
        EXPECT_TRUE(*s.step());
        return s.columnInt(0);
    }

    QTemporaryDir dir;
    Database db;
};

}  // namespace

TEST_F(SqliteLayerTest, ATransactionKeepsItsRowsOnlyWhenCommittedOnceAndOnlyOnItsConnection) {
    struct Case {
        const char* name;
        bool commit;
        bool failingStatement;
        std::int64_t rowsAfter;
    };
    const Case cases[] = {{"committed", true, false, 1},
                          {"left without commit", false, false, 1},
                          {"left after a failed statement", false, true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            Transaction t = Transaction::begin(db, Transaction::Mode::Immediate).value();
            ASSERT_TRUE(db.exec(u"INSERT INTO t(v) VALUES('a')"_s).ok());
            if (c.failingStatement) {
                EXPECT_FALSE(db.exec(u"INSERT INTO t(id) VALUES(1)"_s).ok());
            }
            if (c.commit) {
                ASSERT_TRUE(t.commit().ok());
                const SqlStatus again = t.commit();
                ASSERT_FALSE(again.ok());
                EXPECT_EQ(again.error().code, SQLITE_MISUSE);
            }
        }
        EXPECT_FALSE(db.inTransaction());
        EXPECT_EQ(count(), c.rowsAfter);
    }
    Transaction t = Transaction::begin(db).value();
    ASSERT_TRUE(db.exec(u"INSERT INTO t(v) VALUES('gone')"_s).ok());
    db.close();
    db = open();
    Transaction other = Transaction::begin(db).value();
    ASSERT_TRUE(db.exec(u"INSERT INTO t(v) VALUES('kept')"_s).ok());
    t.rollback();  // its connection is gone: must not end the new one's transaction
    EXPECT_TRUE(db.inTransaction());
    ASSERT_TRUE(other.commit().ok());
    EXPECT_EQ(count(), 2);  // the committed row of the cases above, and 'kept'
}

TEST_F(SqliteLayerTest, ErrorsCarryCodesMessageAndTheStatementText) {
    ASSERT_TRUE(db.exec(u"INSERT INTO t(id, v) VALUES(7, 'x')"_s).ok());
    Statement dup = db.prepare(u"INSERT INTO t(id) VALUES(7)"_s).value();
    const SqlStatus ran = dup.run();
    ASSERT_FALSE(ran.ok());
    EXPECT_EQ(ran.error().code, SQLITE_CONSTRAINT);
    EXPECT_EQ(ran.error().extendedCode, SQLITE_CONSTRAINT_PRIMARYKEY);
    EXPECT_EQ(ran.error().message, u"UNIQUE constraint failed: t.id"_s);
    EXPECT_EQ(ran.error().sql, u"INSERT INTO t(id) VALUES(7)"_s);

    const SqlResult<Statement> bad = db.prepare(u"SELECT nope FROM t"_s);
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().code, SQLITE_ERROR);
    EXPECT_EQ(bad.error().message, u"no such column: nope"_s);
    EXPECT_EQ(bad.error().sql, u"SELECT nope FROM t"_s);

    const SqlResult<Database> missing =
        Database::open(dir.filePath(u"none.db"_s), SQLITE_OPEN_READWRITE);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code, SQLITE_CANTOPEN);
}

TEST_F(SqliteLayerTest, ABorrowLeftMidWalkFreesTheFileAndStartsAfreshNextTime) {
    ASSERT_TRUE(db.exec(u"INSERT INTO t(v) VALUES('a'),('b'),('c')"_s).ok());
    Statement cached = db.preparePersistent("SELECT v FROM t WHERE id >= ?1 ORDER BY id").value();
    {
        StatementUse use(cached);
        use->bindInt(1, 2);
        ASSERT_TRUE(*use->step());
        EXPECT_EQ(use->columnText(0), u"b"_s);
    }  // left with a row in hand: the read lock must go with the borrow

    Database writer = open();
    writer.setBusyTimeout(0);
    EXPECT_TRUE(writer.exec(u"INSERT INTO t(v) VALUES('d')"_s).ok());

    StatementUse again(cached);  // bindings cleared: NULL matches no id
    std::vector<QString> seen;
    ASSERT_TRUE(
        again->forEachRow([&](const Statement& row) { seen.push_back(row.columnText(0)); }).ok());
    EXPECT_TRUE(seen.empty());
    again->reset();
    again->bindInt(1, 3);
    ASSERT_TRUE(again
                    ->forEachRow([&](const Statement& row) {
                        seen.push_back(row.columnText(0));
                        return false;  // the first row is enough
                    })
                    .ok());
    EXPECT_EQ(seen, std::vector<QString>{u"c"_s});
}
