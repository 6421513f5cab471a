// Several workstations on one database file: this test binary starts copies
// of itself that write patients into the same file at once, each save on its
// own connection as the add-in makes them. Every row must arrive, keys must
// be distinct and the file must pass SQLite's integrity check.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include "TestDatabases.h"
#include "platform/data/Recordset.h"

using namespace orlo;
using namespace orlo::data;

namespace {

constexpr char kChildDbVar[] = "ORLO_DATA_CHILD_DB";
constexpr char kChildNameVar[] = "ORLO_DATA_CHILD_NAME";
constexpr int kSavesPerWriter = 120;
// The writers and the reader wait as long as it takes: this test is about rows lost or
// doubled under contention, not the bound of one wait, which a loaded test
// machine can pass while three writers and a reader take turns.
constexpr int kPatientWriterLockWaitMs = 60000;

// One save of the add-in: a new connection, AddNew on PATIENTS, the key read
// before Update, then an UPDATE statement and a read on fresh connections.
void savePatient(const QString& path, const QString& name, int i, const Clock& clock,
                 const Locale& locale) {
    QString key;
    {
        Connection conn({clock, locale, kPatientWriterLockWaitMs});
        conn.setProvider(u"Microsoft.JET.OLEDB.4.0"_s);
        ASSERT_TRUE(conn.open(path).ok());
        Recordset rs;
        ASSERT_TRUE(rs.open(u"PATIENTS"_s, conn, kOpenKeyset, kLockOptimistic).ok());
        const Status added = rs.addNew();
        ASSERT_TRUE(added.ok()) << added.error().description.toStdString();
        ASSERT_TRUE(rs.setField(u"LAST NAME"_s, name).ok());
        ASSERT_TRUE(rs.setField(u"FIRST NAME"_s, QString::number(i)).ok());
        ASSERT_TRUE(rs.setField(u"CREATED"_s, Variant(clock.now())).ok());
        key = test::shown(*rs.field(0));
        const Status updated = rs.update();
        ASSERT_TRUE(updated.ok()) << updated.error().description.toStdString();
        EXPECT_EQ(test::shown(*rs.field(0)), key);
    }
    Connection conn({clock, locale, kPatientWriterLockWaitMs});
    ASSERT_TRUE(conn.open(path).ok());
    const Result<qint64> n = conn.execute(
        u"UPDATE PATIENTS SET CITY = 'York', LAST_UPDATED = '15/06/2026 10:00:00' WHERE "
        "PT_ID = "_s +
        key);
    ASSERT_TRUE(n.ok()) << n.error().description.toStdString();
    EXPECT_EQ(*n, 1);
    Recordset check;
    ASSERT_TRUE(check
                    .open(u"Select [PT_ID],[LAST NAME],[FIRST NAME],[DOB] from PATIENTS "
                          "WHERE [LAST NAME] = '"_s +
                              name + u"' AND [FIRST NAME] = '"_s + QString::number(i) +
                              QLatin1Char('\''),
                          conn)
                    .ok());
    EXPECT_EQ(*check.recordCount(), 1);
}

}  // namespace

// Runs only inside a child started by the test below.
TEST(SharedFileChild, WritesPatients) {
    const QString path = qEnvironmentVariable(kChildDbVar);
    if (path.isEmpty()) {
        GTEST_SKIP() << "runs as a child of SharedFile.TwoWorkstationsWriteAtOnce";
    }
    const QString name = qEnvironmentVariable(kChildNameVar);
    PinnedClock clock(test::at("2026-06-15 10:00:00"));
    const Locale uk = Locale::unitedKingdom();
    for (int i = 0; i < kSavesPerWriter; ++i) {
        savePatient(path, name, i, clock, uk);
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
    }
}

TEST(SharedFile, TwoWorkstationsWriteAtOnce) {
    if (!qEnvironmentVariableIsEmpty(kChildDbVar)) {
        GTEST_SKIP();
    }
    test::TestDatabases dbs;
    dbs.addPatients({{1, "Existing", "One"}});
    std::vector<std::unique_ptr<QProcess>> writers;
    for (const char* name : {"Writer A", "Writer B", "Writer C"}) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildDbVar), dbs.sharedPath());
        env.insert(QString::fromLatin1(kChildNameVar), QString::fromLatin1(name));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(QCoreApplication::applicationFilePath(),
                 {u"--gtest_filter=SharedFileChild.WritesPatients"_s});
        writers.push_back(std::move(p));
    }
    // Meanwhile this process reads as a report would.
    PinnedClock clock(test::at("2026-06-15 10:00:00"));
    const Locale uk = Locale::unitedKingdom();
    int reads = 0;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 180000 &&
           std::any_of(writers.begin(), writers.end(),
                       [](const auto& p) { return p->state() != QProcess::NotRunning; })) {
        Connection conn({clock, uk, kPatientWriterLockWaitMs});
        ASSERT_TRUE(conn.open(dbs.sharedPath()).ok());
        Recordset rs;
        const Status s =
            rs.open(u"SELECT PATIENTS.* from PATIENTS Order by [PATIENTS.LAST NAME] Asc"_s, conn,
                    kOpenStatic);
        ASSERT_TRUE(s.ok()) << s.error().description.toStdString();
        ++reads;
        for (const auto& p : writers) {
            p->waitForFinished(10);  // also lets QProcess notice an exit
        }
    }
    for (const auto& p : writers) {
        if (p->state() != QProcess::NotRunning) {
            ASSERT_TRUE(p->waitForFinished(180000));
        }
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0) << p->readAll().toStdString();
    }
    EXPECT_GT(reads, 0);
    const int expected = 1 + 3 * kSavesPerWriter;
    EXPECT_EQ(dbs.rawValue(u"SELECT count(*) FROM PATIENTS"_s), QString::number(expected));
    EXPECT_EQ(dbs.rawValue(u"SELECT count(DISTINCT PT_ID) FROM PATIENTS"_s),
              QString::number(expected));
    EXPECT_EQ(dbs.rawValue(u"SELECT count(*) FROM PATIENTS WHERE CITY = 'York'"_s),
              QString::number(expected));
    for (const char* name : {"Writer A", "Writer B", "Writer C"}) {
        EXPECT_EQ(dbs.rawValue(u"SELECT count(DISTINCT \"FIRST NAME\") FROM PATIENTS WHERE "
                               "\"LAST NAME\" = '%1'"_s.arg(QString::fromLatin1(name))),
                  QString::number(kSavesPerWriter));
    }
    EXPECT_EQ(dbs.rawValue(u"PRAGMA integrity_check"_s), u"ok"_s);
    EXPECT_EQ(dbs.rawValue(u"PRAGMA journal_mode"_s), u"delete"_s);
}
