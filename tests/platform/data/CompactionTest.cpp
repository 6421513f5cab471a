// Compaction in place: a file with deleted rows shrinks and keeps every row;
// a database in use, a missing file or a folder is left as it was; a
// compaction killed half-way leaves a database that opens with every row.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include "TestDatabases.h"
#include "platform/data/Compaction.h"
#include "platform/data/Connection.h"

using namespace orlo;
using namespace orlo::data;

namespace {

constexpr char kChildDbVar[] = "ORLO_COMPACT_CHILD_DB";

const QString kProvider = u"Microsoft.JET.OLEDB.4.0"_s;

// Patients with long notes-like values, so that the file is big enough to
// shrink visibly (and to take a moment to rebuild).
void seedPatients(const test::TestDatabases& dbs, int count) {
    dbs.rawExec(
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", CITY) SELECT i, "
        "'Last' || i, hex(randomblob(1000)), 'York' FROM n"_s.arg(count));
}

// A digest of every row of both tables, every column quoted as stored.
QByteArray rowsDigest(const test::TestDatabases& dbs) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char* table : {"PATIENTS", "SCHEDULED"}) {
        const QString columns =
            dbs.rawValue(
                   u"SELECT group_concat('quote(\"' || name || '\")', '||''|''||') FROM "
                   "pragma_table_info('%1')"_s.arg(QLatin1String(table)))
                .value_or(QString());
        hash.addData(
            dbs.rawValue(u"SELECT count(*) || ':' || group_concat(%1, char(10)) FROM "
                         "(SELECT * FROM %2 ORDER BY rowid)"_s.arg(columns, QLatin1String(table)))
                .value_or(u"<none>"_s)
                .toUtf8());
    }
    return hash.result().toHex();
}

struct Clinic {
    PinnedClock clock{test::at("2031-01-02 08:00:00")};
    Locale locale = Locale::unitedKingdom();
    DataContext ctx() const { return {clock, locale}; }
};

}  // namespace

TEST(Compaction, DeletedRowsShrinkTheFileAndEveryOtherRowStays) {
    if (!qEnvironmentVariableIsEmpty(kChildDbVar)) {
        GTEST_SKIP();
    }
    test::TestDatabases dbs;
    seedPatients(dbs, 2000);
    dbs.addAppointments({{1, 1, "2026-06-01 09:00:00", "2026-12-01 00:00:00"}});
    dbs.rawExec(u"DELETE FROM PATIENTS WHERE PT_ID > 200"_s);
    const QByteArray before = rowsDigest(dbs);
    const qint64 bytesBefore = QFileInfo(dbs.sharedPath()).size();

    Clinic clinic;
    int asked = 0;
    const Compaction c =
        compactDatabase(clinic.ctx(), kProvider, dbs.sharedPath(), [&](Connection&) {
            ++asked;
            return Result<bool>(false);
        });
    ASSERT_EQ(c.outcome, Compaction::Outcome::Done) << c.error.description.toStdString();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(c.sizeBefore, bytesBefore);
    EXPECT_EQ(c.sizeAfter, QFileInfo(dbs.sharedPath()).size());
    EXPECT_LT(c.sizeAfter * 4, c.sizeBefore);  // 200 of 2000 patients kept
    EXPECT_EQ(rowsDigest(dbs), before);
    EXPECT_EQ(dbs.rawCount(u"SELECT count(*) FROM PATIENTS"_s), 200);
    EXPECT_EQ(dbs.rawValue(u"PRAGMA integrity_check"_s), u"ok"_s);
    EXPECT_FALSE(QFileInfo::exists(dbs.sharedPath() + u"-journal"_s));
}

TEST(Compaction, ADatabaseInUseOrNotThereIsLeftAsItWas) {
    if (!qEnvironmentVariableIsEmpty(kChildDbVar)) {
        GTEST_SKIP();
    }
    enum class Hold { Nothing, ReadTransaction, WriteTransaction };
    struct Case {
        const char* name;
        Hold hold;
        bool othersRegistered;
        const char* path;  // relative to the test folder; null: the database
        Compaction::Outcome expected;
    };
    const Case cases[] = {
        {"another connection reading", Hold::ReadTransaction, false, nullptr,
         Compaction::Outcome::InUse},
        {"another connection writing", Hold::WriteTransaction, false, nullptr,
         Compaction::Outcome::InUse},
        {"the caller's rule says in use", Hold::Nothing, true, nullptr, Compaction::Outcome::InUse},
        {"a missing file", Hold::Nothing, false, "Database/Missing.mdb",
         Compaction::Outcome::Failed},
        {"a folder", Hold::Nothing, false, "Database", Compaction::Outcome::Failed},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        test::TestDatabases dbs;
        seedPatients(dbs, 300);
        dbs.rawExec(u"DELETE FROM PATIENTS WHERE PT_ID > 10"_s);
        const QByteArray bytes = test::readFile(dbs.sharedPath());

        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open_v2(dbs.sharedPath().toUtf8().constData(), &other,
                                  SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        if (k.hold == Hold::ReadTransaction) {
            ASSERT_EQ(sqlite3_exec(other, "BEGIN; SELECT count(*) FROM PATIENTS;", nullptr, nullptr,
                                   nullptr),
                      SQLITE_OK);
        } else if (k.hold == Hold::WriteTransaction) {
            ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr),
                      SQLITE_OK);
        }
        const QString path =
            k.path ? QDir(dbs.dir()).filePath(QString::fromLatin1(k.path)) : dbs.sharedPath();
        const QStringList filesBefore = QDir(dbs.dir() + u"/Database"_s).entryList(QDir::Files);

        Clinic clinic;
        const Compaction c = compactDatabase(
            clinic.ctx(), kProvider, path,
            [&](Connection&) { return Result<bool>(k.othersRegistered); }, 100);
        EXPECT_EQ(c.outcome, k.expected) << c.error.description.toStdString();
        EXPECT_EQ(c.error.number, err::kProviderFailure);
        EXPECT_FALSE(c.errors.empty());
        sqlite3_close_v2(other);

        EXPECT_EQ(test::readFile(dbs.sharedPath()), bytes);
        EXPECT_EQ(QDir(dbs.dir() + u"/Database"_s).entryList(QDir::Files), filesBefore);
    }
}

// Runs only inside a child started by the test below, which kills it.
TEST(CompactionChild, Compacts) {
    const QString path = qEnvironmentVariable(kChildDbVar);
    if (path.isEmpty()) {
        GTEST_SKIP() << "runs as a child of Compaction.KilledHalfWayEveryRowIsThere";
    }
    Clinic clinic;
    const Compaction c = compactDatabase(clinic.ctx(), kProvider, path, {});
    EXPECT_EQ(c.outcome, Compaction::Outcome::Done);
}

TEST(Compaction, KilledHalfWayEveryRowIsThere) {
    if (!qEnvironmentVariableIsEmpty(kChildDbVar)) {
        GTEST_SKIP();
    }
    test::TestDatabases dbs;
    seedPatients(dbs, 6000);
    dbs.rawExec(u"DELETE FROM PATIENTS WHERE PT_ID % 3 = 0"_s);
    const QByteArray before = rowsDigest(dbs);
    const QString journal = dbs.sharedPath() + u"-journal"_s;

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildDbVar), dbs.sharedPath());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {u"--gtest_filter=CompactionChild.Compacts"_s});
    ASSERT_TRUE(child.waitForStarted());
    // The rollback journal appears when the rebuilt pages start to be
    // written over the file: the moment to kill it.
    bool killedWriting = false;
    while (child.state() == QProcess::Running && !killedWriting) {
        if (QFileInfo::exists(journal)) {
            child.kill();
            killedWriting = true;
        }
        QThread::usleep(100);
    }
    child.waitForFinished();
    EXPECT_TRUE(killedWriting) << "the compaction ended before it could be killed";
    // The next connection that may write rolls the journal back.
    Clinic clinic;
    Connection conn(clinic.ctx());
    ASSERT_TRUE(conn.open(dbs.sharedPath()).ok());
    ASSERT_TRUE(conn.close().ok());
    EXPECT_EQ(rowsDigest(dbs), before);
    EXPECT_EQ(dbs.rawCount(u"SELECT count(*) FROM PATIENTS"_s), 4000);
    EXPECT_EQ(dbs.rawValue(u"PRAGMA integrity_check"_s), u"ok"_s);
}
