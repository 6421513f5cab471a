// The admin tool `orlo` end to end: the real executable on real files.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "ProgramRun.h"
#include "TestSupport.h"
#include "tools/Csv.h"

namespace {

using orlo::test::ProgramRun;

QString toolPath() {
    return qEnvironmentVariable("ORLO_TEST_BINARY_DIR") + QStringLiteral("/src/tools/orlo");
}

ProgramRun runOrlo(const QStringList& args) {
    return orlo::test::runProgram(toolPath(), args);
}

class Tool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(toolPath()).isExecutable()) << toolPath().toStdString();
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(Tool, InitCreatesTheSchemaOnceAndNeverOverwrites) {
    const QString db = path("Patients.mdb");
    ProgramRun r = runOrlo({QStringLiteral("db"), QStringLiteral("init"), db});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = runOrlo(
        {QStringLiteral("db"), QStringLiteral("query"), db,
         QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE "
                        "'sqlite%' ORDER BY name")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("name\nCURRENTSESSIONS\nPATIENTS\nSCHEDULED\n"));
    r = runOrlo({QStringLiteral("db"), QStringLiteral("query"), db,
                 QStringLiteral("SELECT count(*) AS n FROM pragma_table_info('PATIENTS')")});
    EXPECT_EQ(r.out, QStringLiteral("n\n50\n"));
    r = runOrlo({QStringLiteral("db"), QStringLiteral("query"), db,
                 QStringLiteral("SELECT count(*) AS n FROM pragma_table_info('SCHEDULED')")});
    EXPECT_EQ(r.out, QStringLiteral("n\n56\n"));

    ASSERT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("query"), db,
                       QStringLiteral("INSERT INTO CURRENTSESSIONS (IP) Values('127.0.0.2')")})
                  .out,
              QStringLiteral("1\n"));
    r = runOrlo({QStringLiteral("db"), QStringLiteral("init"), db});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("already exists")));
    r = runOrlo({QStringLiteral("db"), QStringLiteral("init-scratch"), db});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("query"), db,
                       QStringLiteral("SELECT IP FROM CURRENTSESSIONS")})
                  .out,
              QStringLiteral("IP\n127.0.0.2\n"));

    const QString scratch = path("temp.mdb");
    ASSERT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("init-scratch"), scratch}).code, 0);
    r = runOrlo({QStringLiteral("db"), QStringLiteral("query"), scratch,
                 QStringLiteral("INSERT INTO tempPatientOL (ids) Values(7)")});
    EXPECT_EQ(r.out, QStringLiteral("1\n"));
    EXPECT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("query"), scratch,
                       QStringLiteral("SELECT ids FROM tempPatientOL")})
                  .out,
              QStringLiteral("ids\n7\n"));
    EXPECT_FALSE(QFile::exists(db + QStringLiteral(".creating")));
}

TEST_F(Tool, UpgradeBringsAnOlderDatabaseUpOnceAndLeavesANewerOneAlone) {
    const QString db = path("Patients.mdb");
    auto query = [&](const QString& sql) {
        return runOrlo({QStringLiteral("db"), QStringLiteral("query"), db, sql}).out;
    };
    auto upgrade = [&] { return runOrlo({QStringLiteral("db"), QStringLiteral("upgrade"), db}); };
    const QString indexes = QStringLiteral(
        "SELECT name FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL ORDER BY name");

    // A new database is current; one made before the reports' indexes has
    // the tables and the duplicate check's index, and no version.
    ASSERT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("init"), db}).code, 0);
    ProgramRun r = upgrade();
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, db + QStringLiteral(" is at schema version 1: nothing to do\n"));
    for (const char* index :
         {"SCHEDULED_PT_ID_START_TIME", "SCHEDULED_STATUS_START_TIME", "SCHEDULED_BALANCE1",
          "SCHEDULED_RECALLDUEDATE", "SCHEDULED_START_TIME"}) {
        query(QStringLiteral("DROP INDEX %1").arg(QLatin1String(index)));
    }
    query(QStringLiteral("PRAGMA user_version = 0"));

    r = upgrade();
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("upgraded ") + db +
                         QStringLiteral(" from schema version 0 to 1: added SCHEDULED_BALANCE1, "
                                        "SCHEDULED_PT_ID_START_TIME, SCHEDULED_RECALLDUEDATE, "
                                        "SCHEDULED_START_TIME, SCHEDULED_STATUS_START_TIME\n"));
    EXPECT_EQ(query(indexes),
              QStringLiteral("name\nCURRENTSESSIONS_IP\nPATIENTS_NAME_DOB\nSCHEDULED_BALANCE1\n"
                             "SCHEDULED_PT_ID_START_TIME\nSCHEDULED_RECALLDUEDATE\n"
                             "SCHEDULED_START_TIME\nSCHEDULED_STATUS_START_TIME\n"));
    EXPECT_EQ(query(QStringLiteral("SELECT user_version FROM pragma_user_version")),
              QStringLiteral("user_version\n1\n"));
    EXPECT_EQ(upgrade().out, db + QStringLiteral(" is at schema version 1: nothing to do\n"));

    // A database of a later Orlo is left as it is.
    query(QStringLiteral("PRAGMA user_version = 7"));
    r = upgrade();
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(db + QStringLiteral(" is at schema version 7, newer than this "
                                                   "Orlo's 1; nothing was changed")))
        << r.err.toStdString();
    EXPECT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("upgrade"), path("none.mdb")}).code, 1);
}

TEST_F(Tool, QueryPrintsCsvWithQuotingCanonicalDatesAndEmptyNulls) {
    const QString db = path("Patients.mdb");
    ASSERT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("init"), db}).code, 0);
    ProgramRun r =
        runOrlo({QStringLiteral("db"), QStringLiteral("query"), db,
                 QStringLiteral(
                     "INSERT INTO PATIENTS ([LAST NAME], [FIRST NAME], CTGNOTE, CREATED) "
                     "Values('O''Brien, Jr', 'Say \"hi\"', 'line1\nline2', '2026-03-05T14:30')")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("1\n"));
    r = runOrlo(
        {QStringLiteral("db"), QStringLiteral("query"), db,
         QStringLiteral(
             "SELECT PT_ID, [LAST NAME], [FIRST NAME], CTGNOTE, CREATED, DOB FROM PATIENTS")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              QStringLiteral("PT_ID,LAST NAME,FIRST NAME,CTGNOTE,CREATED,DOB\n"
                             "1,\"O'Brien, Jr\",\"Say \"\"hi\"\"\",\"line1\nline2\",2026-03-05 "
                             "14:30:00,\n"));
}

TEST_F(Tool, NowCanBePinnedForTheReportQueries) {
    const QString db = path("Patients.mdb");
    ASSERT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("init"), db}).code, 0);
    ASSERT_EQ(
        runOrlo({QStringLiteral("db"), QStringLiteral("seed"), db, QStringLiteral("--patients"),
                 QStringLiteral("20"), QStringLiteral("--appointments"), QStringLiteral("0")})
            .code,
        0);
    ASSERT_EQ(
        runOrlo(
            {QStringLiteral("db"), QStringLiteral("query"), db,
             QStringLiteral(
                 "INSERT INTO SCHEDULED (PT_ID, START_TIME) Values('3', '2026-06-16 09:00:00')")})
            .code,
        0);
    const QString nextDay = QStringLiteral(
        "SELECT PATIENTS.*, SCHEDULED.* From PATIENTS, SCHEDULED WHERE "
        "PATIENTS.PT_ID=SCHEDULED.PT_ID "
        "And (DATEDIFF('d',NOW,SCHEDULED.START_TIME)>=1 And "
        "DATEDIFF('d',NOW,SCHEDULED.START_TIME)<2) "
        "ORDER BY SCHEDULED.START_TIME");
    ProgramRun r = runOrlo({QStringLiteral("db"), QStringLiteral("query"), db, nextDay,
                            QStringLiteral("--now"), QStringLiteral("2026-06-15 10:00:00")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("PATIENTS.PT_ID,LAST NAME,")));
    EXPECT_TRUE(lines[0].contains(QStringLiteral(",SCHEDULED.PT_ID,")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("3,")));
    r = runOrlo({QStringLiteral("db"), QStringLiteral("query"), db, nextDay,
                 QStringLiteral("--now"), QStringLiteral("2026-06-16 10:00:00")});
    EXPECT_EQ(r.out.count(QLatin1Char('\n')), 1);  // header only
}

TEST_F(Tool, SeedFillsRealisticRowsInOneGo) {
    const QString db = path("Patients.mdb");
    ASSERT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("init"), db}).code, 0);
    ProgramRun r =
        runOrlo({QStringLiteral("db"), QStringLiteral("seed"), db, QStringLiteral("--patients"),
                 QStringLiteral("300"), QStringLiteral("--appointments"), QStringLiteral("1500"),
                 QStringLiteral("--seed"), QStringLiteral("7"), QStringLiteral("--now"),
                 QStringLiteral("2026-06-15 10:00:00")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    auto one = [&](const char* sql) {
        const ProgramRun q =
            runOrlo({QStringLiteral("db"), QStringLiteral("query"), db, QString::fromLatin1(sql)});
        EXPECT_EQ(q.code, 0) << q.err.toStdString();
        return q.out.section(QLatin1Char('\n'), 1, 1);
    };
    EXPECT_EQ(one("SELECT count(*) AS n FROM PATIENTS"), QStringLiteral("300"));
    EXPECT_EQ(one("SELECT count(*) AS n FROM SCHEDULED"), QStringLiteral("1500"));
    EXPECT_EQ(
        one("SELECT count(*) AS n FROM SCHEDULED WHERE PT_ID NOT IN (SELECT PT_ID FROM PATIENTS)"),
        QStringLiteral("0"));
    EXPECT_EQ(one("SELECT count(*) AS n FROM SCHEDULED WHERE RECALLPERIOD NOT IN "
                  "('3','6','12','18','24')"),
              QStringLiteral("0"));
    EXPECT_NE(one("SELECT count(*) AS n FROM SCHEDULED WHERE STATUS = 'CANCELLED'"),
              QStringLiteral("0"));
    EXPECT_NE(one("SELECT count(*) AS n FROM SCHEDULED WHERE STATUS = 'NO SHOW'"),
              QStringLiteral("0"));
    EXPECT_NE(one("SELECT count(*) AS n FROM SCHEDULED WHERE RECALLDUEDATE > '2026-06-15'"),
              QStringLiteral("0"));
    EXPECT_NE(one("SELECT count(*) AS n FROM SCHEDULED WHERE RECALLDUEDATE < '2026-06-15'"),
              QStringLiteral("0"));
    EXPECT_NE(one("SELECT count(*) AS n FROM SCHEDULED WHERE BALANCE1 > '0'"), QStringLiteral("0"));
    EXPECT_NE(one("SELECT count(*) AS n FROM PATIENTS WHERE DIABETICYN = 'YES'"),
              QStringLiteral("0"));
    EXPECT_EQ(one("PRAGMA integrity_check"), QString());  // not a SELECT: an affected count
    // The same seed gives the same rows.
    const QString again = path("Again.mdb");
    ASSERT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("init"), again}).code, 0);
    ASSERT_EQ(
        runOrlo({QStringLiteral("db"), QStringLiteral("seed"), again, QStringLiteral("--patients"),
                 QStringLiteral("300"), QStringLiteral("--appointments"), QStringLiteral("1500"),
                 QStringLiteral("--seed"), QStringLiteral("7"), QStringLiteral("--now"),
                 QStringLiteral("2026-06-15 10:00:00")})
            .code,
        0);
    const QString sample =
        QStringLiteral("SELECT [LAST NAME], DOB FROM PATIENTS WHERE PT_ID = 123");
    EXPECT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("query"), db, sample}).out,
              runOrlo({QStringLiteral("db"), QStringLiteral("query"), again, sample}).out);
}

TEST_F(Tool, BadArgumentsAndBadFilesFailCleanly) {
    const QString db = path("Patients.mdb");
    const QString missing = path("missing.mdb");
    struct Case {
        QStringList args;
        int code;
        const char* message;
    };
    const QString notDb = path("notes.mdb");
    orlo::test::writeFile(notDb, QByteArray("just some notes, not a database\n").repeated(100));
    const std::vector<Case> cases = {
        {{}, 2, "usage"},
        {{QStringLiteral("nosuchgroup")}, 2, "unknown command group"},
        {{QStringLiteral("db")}, 2, "usage"},
        {{QStringLiteral("db"), QStringLiteral("frobnicate")}, 2, "unknown command"},
        {{QStringLiteral("db"), QStringLiteral("init")}, 2, "exactly one PATH"},
        {{QStringLiteral("db"), QStringLiteral("query"), missing, QStringLiteral("SELECT 1")},
         1,
         "Could not find file"},
        {{QStringLiteral("db"), QStringLiteral("query"), notDb, QStringLiteral("SELECT 1")},
         1,
         "database"},
        {{QStringLiteral("db"), QStringLiteral("query"), db}, 2, "one SQL text"},
        {{QStringLiteral("db"), QStringLiteral("query"), db, QStringLiteral("SELECT 1"),
          QStringLiteral("--now"), QStringLiteral("tomorrow")},
         2,
         "--now"},
        {{QStringLiteral("db"), QStringLiteral("query"), db, QStringLiteral("SELECT 1"),
          QStringLiteral("--now")},
         2,
         "needs a value"},
        {{QStringLiteral("db"), QStringLiteral("query"), db,
          QStringLiteral("SELEC * FROM PATIENTS")},
         1,
         "error"},
        {{QStringLiteral("db"), QStringLiteral("query"), db,
          QStringLiteral("SELECT * FROM NOWHERE")},
         1,
         "NOWHERE"},
        {{QStringLiteral("db"), QStringLiteral("seed"), db, QStringLiteral("--patients"),
          QStringLiteral("-3")},
         2,
         "whole number"},
        {{QStringLiteral("db"), QStringLiteral("seed"), db, QStringLiteral("--colour"),
          QStringLiteral("3")},
         2,
         "unknown option"},
        {{QStringLiteral("db"), QStringLiteral("seed"), missing, QStringLiteral("--patients"),
          QStringLiteral("3")},
         1,
         "Could not find file"},
        {{QStringLiteral("db"), QStringLiteral("seed"), notDb, QStringLiteral("--patients"),
          QStringLiteral("3")},
         1,
         "not an Orlo database"},
        {{QStringLiteral("db"), QStringLiteral("seed"), db, QStringLiteral("--appointments"),
          QStringLiteral("3")},
         1,
         "no patients"},
        {{QStringLiteral("db"), QStringLiteral("init"), path("no/such/folder/x.mdb")},
         1,
         "Cannot create"},
    };
    ASSERT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("init"), db}).code, 0);
    for (const Case& c : cases) {
        const ProgramRun r = runOrlo(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message)))
            << c.args.join(QLatin1Char(' ')).toStdString() << ": " << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(runOrlo({QStringLiteral("db"), QStringLiteral("query"), db,
                       QStringLiteral("SELECT count(*) AS n FROM SCHEDULED")})
                  .out,
              QStringLiteral("n\n0\n"));
}

TEST(Csv, QuotesOnlyWhatNeedsIt) {
    using orlo::tools::csvLine;
    EXPECT_EQ(csvLine({QStringLiteral("a"), QString(), QStringLiteral("b c")}),
              QStringLiteral("a,,b c\n"));
    EXPECT_EQ(csvLine({QStringLiteral("a,b"), QStringLiteral("x\"y"), QStringLiteral("1\r2")}),
              QStringLiteral("\"a,b\",\"x\"\"y\",\"1\r2\"\n"));
}
