// Compaction in place: deleted rows give their space back and every other
// row stays; a database in use, a missing file or a folder is left as it
// was; a compaction killed half-way leaves every row.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QThread>

#include "TestDatabases.h"
#include "platform/data/Compaction.h"
#include "platform/data/Connection.h"

using namespace orlo;
using namespace orlo::data;

namespace {

constexpr char kChildDbVar[] = "ORLO_COMPACT_CHILD_DB";

// `count` patients with long values, then those matching `deleted` deleted.
void seed(const test::TestDatabases& dbs, int count, const char* deleted) {
    dbs.rawExec(
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\") SELECT i, 'Last' || "
        "i, hex(randomblob(1000)) FROM n; DELETE FROM PATIENTS WHERE %2"_s.arg(count)
            .arg(QLatin1String(deleted)));
}

// A digest of every patient row, every column quoted as stored.
QByteArray rowsDigest(const test::TestDatabases& dbs) {
    const QString columns = *dbs.rawValue(
        u"SELECT group_concat('quote(\"' || name || '\")', '||') FROM pragma_table_info('PATIENTS')"_s);
    return QCryptographicHash::hash(
        dbs.rawValue(u"SELECT count(*) || group_concat(%1) FROM PATIENTS"_s.arg(columns))->toUtf8(),
        QCryptographicHash::Sha256);
}

Compaction compact(const QString& path, bool othersRegistered = false) {
    static const PinnedClock clock(test::at("2031-01-02 08:00:00"));
    static const Locale locale = Locale::unitedKingdom();
    return compactDatabase(
        {clock, locale}, u"Microsoft.JET.OLEDB.4.0"_s, path,
        [=](Connection&) { return Result<bool>(othersRegistered); }, 100);
}

}  // namespace

TEST(Compaction, ShrinksAloneAndLeavesADatabaseInUseOrNotThereAsItWas) {
    enum Hold { Nothing, Reader, Writer };
    const struct {
        const char* name;
        Hold hold;
        bool othersRegistered;
        const char* path;  // in the test folder; null: the database
        Compaction::Outcome outcome;
    } cases[] = {
        {"alone", Nothing, false, nullptr, Compaction::Outcome::Done},
        {"another connection reading", Reader, false, nullptr, Compaction::Outcome::InUse},
        {"another connection writing", Writer, false, nullptr, Compaction::Outcome::InUse},
        {"another workstation registered", Nothing, true, nullptr, Compaction::Outcome::InUse},
        {"a missing file", Nothing, false, "Database/Gone.mdb", Compaction::Outcome::Failed},
        {"a folder", Nothing, false, "Database", Compaction::Outcome::Failed},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        test::TestDatabases dbs;
        seed(dbs, 600, "PT_ID > 60");
        const QByteArray bytes = test::readFile(dbs.sharedPath());
        const QByteArray rows = rowsDigest(dbs);
        sqlite3* other = nullptr;
        sqlite3_open_v2(dbs.sharedPath().toUtf8().constData(), &other, SQLITE_OPEN_READWRITE,
                        nullptr);
        const char* hold[] = {"", "BEGIN; SELECT count(*) FROM PATIENTS;", "BEGIN IMMEDIATE;"};
        ASSERT_EQ(sqlite3_exec(other, hold[k.hold], nullptr, nullptr, nullptr), SQLITE_OK);

        const Compaction c = compact(
            k.path ? QDir(dbs.dir()).filePath(QString::fromLatin1(k.path)) : dbs.sharedPath(),
            k.othersRegistered);
        sqlite3_close_v2(other);
        EXPECT_EQ(c.outcome, k.outcome) << c.error.description.toStdString();
        EXPECT_EQ(rowsDigest(dbs), rows);
        EXPECT_EQ(QDir(dbs.dir() + u"/Database"_s).entryList(QDir::Files),
                  QStringList{u"Patients.mdb"_s});
        if (k.outcome == Compaction::Outcome::Done) {
            EXPECT_EQ(c.sizeBefore, bytes.size());
            EXPECT_EQ(c.sizeAfter, test::readFile(dbs.sharedPath()).size());
            EXPECT_LT(c.sizeAfter * 4, c.sizeBefore);
        } else {
            EXPECT_EQ(c.error.number, err::kProviderFailure);
            EXPECT_EQ(test::readFile(dbs.sharedPath()), bytes);
        }
    }
}

// Runs only inside a child started by the test below, which kills it.
TEST(CompactionChild, Compacts) {
    if (qEnvironmentVariableIsEmpty(kChildDbVar)) {
        GTEST_SKIP() << "runs as a child of Compaction.KilledHalfWayEveryRowIsThere";
    }
    EXPECT_EQ(compact(qEnvironmentVariable(kChildDbVar)).outcome, Compaction::Outcome::Done);
}

TEST(Compaction, KilledHalfWayEveryRowIsThere) {
    test::TestDatabases dbs;
    seed(dbs, 6000, "PT_ID % 3 = 0");
    const QByteArray rows = rowsDigest(dbs);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildDbVar), dbs.sharedPath());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {u"--gtest_filter=CompactionChild.Compacts"_s});
    ASSERT_TRUE(child.waitForStarted());
    // The journal appears when rebuilt pages start to overwrite the file.
    bool killedWriting = false;
    while (child.state() == QProcess::Running && !killedWriting) {
        killedWriting = QFile::exists(dbs.sharedPath() + u"-journal"_s);
        QThread::usleep(100);
    }
    child.kill();
    child.waitForFinished();
    EXPECT_TRUE(killedWriting) << "the compaction ended before it could be killed";
    // A connection that may write rolls the journal back as it opens.
    EXPECT_EQ(compact(dbs.sharedPath()).outcome, Compaction::Outcome::Done);
    EXPECT_EQ(rowsDigest(dbs), rows);
    EXPECT_EQ(dbs.rawValue(u"PRAGMA integrity_check"_s), u"ok"_s);
}
