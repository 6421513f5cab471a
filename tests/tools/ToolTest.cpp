// The admin tool `orlo` end to end: the real executable on real files.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "ProgramRun.h"
#include "TestSupport.h"
#include "tools/Csv.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using orlo::test::ProgramRun;

QString toolPath() {
    return qEnvironmentVariable("ORLO_TEST_BINARY_DIR") + u"/src/tools/orlo"_s;
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
    // "orlo db query DB SQL [options]".
    static ProgramRun query(const QString& db, const QString& sql,
                            const QStringList& options = {}) {
        return runOrlo(QStringList{u"db"_s, u"query"_s, db, sql} + options);
    }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(Tool, InitCreatesTheSchemaOnceAndQueryPrintsCsv) {
    const QString db = path("Patients.mdb");
    ProgramRun r = runOrlo({u"db"_s, u"init"_s, db});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    r = query(db,
              u"SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE "
              "'sqlite%' ORDER BY name"_s);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, u"name\nCURRENTSESSIONS\nPATIENTS\nSCHEDULED\n"_s);

    ASSERT_EQ(query(db, u"INSERT INTO CURRENTSESSIONS (IP) Values('127.0.0.2')"_s).out, u"1\n"_s);
    r = runOrlo({u"db"_s, u"init"_s, db});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(u"already exists"_s));
    r = runOrlo({u"db"_s, u"init-scratch"_s, db});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(query(db, u"SELECT IP FROM CURRENTSESSIONS"_s).out, u"IP\n127.0.0.2\n"_s);

    const QString scratch = path("temp.mdb");
    ASSERT_EQ(runOrlo({u"db"_s, u"init-scratch"_s, scratch}).code, 0);
    r = query(scratch, u"INSERT INTO tempPatientOL (ids) Values(7)"_s);
    EXPECT_EQ(r.out, u"1\n"_s);
    EXPECT_EQ(query(scratch, u"SELECT ids FROM tempPatientOL"_s).out, u"ids\n7\n"_s);
    EXPECT_FALSE(QFile::exists(db + u".creating"_s));
    // Query prints CSV with quoting, canonical dates and empty NULLs.
    r = query(db,
              u"INSERT INTO PATIENTS ([LAST NAME], [FIRST NAME], CTGNOTE, CREATED) "
              "Values('O''Brien, Jr', 'Say \"hi\"', 'line1\nline2', '2026-03-05T14:30')"_s);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, u"1\n"_s);
    // Now pinned as the report queries run at a given moment.
    r = query(db,
              u"SELECT PT_ID, [LAST NAME], [FIRST NAME], CTGNOTE, CREATED, DOB, Now() AS N "
              "FROM PATIENTS"_s,
              {u"--now"_s, u"2026-06-15 10:00:00"_s});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              u"PT_ID,LAST NAME,FIRST NAME,CTGNOTE,CREATED,DOB,N\n"
              "1,\"O'Brien, Jr\",\"Say \"\"hi\"\"\",\"line1\nline2\",2026-03-05 "
              "14:30:00,,2026-06-15 10:00:00\n"_s);
}

TEST_F(Tool, UpgradeBringsAnOlderDatabaseUpOnceAndLeavesANewerOneAlone) {
    const QString db = path("Patients.mdb");
    auto ask = [&](const QString& sql) { return query(db, sql).out; };
    auto upgrade = [&] { return runOrlo({u"db"_s, u"upgrade"_s, db}); };
    const QString indexes =
        u"SELECT name FROM sqlite_schema WHERE type = 'index' AND sql IS NOT NULL ORDER BY name"_s;

    // A new database is current; one made before the reports' indexes has
    // the tables and the duplicate check's index, and no version.
    ASSERT_EQ(runOrlo({u"db"_s, u"init"_s, db}).code, 0);
    ProgramRun r = upgrade();
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, db + u" is at schema version 4: nothing to do\n"_s);
    for (const char* index :
         {"SCHEDULED_PT_ID_START_TIME", "SCHEDULED_STATUS_START_TIME", "SCHEDULED_BALANCE1",
          "SCHEDULED_RECALLDUEDATE", "SCHEDULED_START_TIME", "SCHEDULED_PT_ID_BALANCE1",
          "SCHEDULED_NO_SHOW_RECALLDUEDATE"}) {
        ask(u"DROP INDEX %1"_s.arg(QLatin1String(index)));
    }
    ask(u"DROP TABLE sqlite_stat1"_s);
    ask(u"PRAGMA user_version = 0"_s);

    r = upgrade();
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, u"upgraded "_s + db +
                         u" from schema version 0 to 4: added SCHEDULED_BALANCE1, "
                         "SCHEDULED_NO_SHOW_RECALLDUEDATE, SCHEDULED_PT_ID_BALANCE1, "
                         "SCHEDULED_PT_ID_START_TIME, SCHEDULED_RECALLDUEDATE, "
                         "SCHEDULED_START_TIME, SCHEDULED_STATUS_START_TIME\n"_s);
    EXPECT_EQ(ask(indexes),
              u"name\nCURRENTSESSIONS_IP\nPATIENTS_NAME_DOB\nSCHEDULED_BALANCE1\n"
              "SCHEDULED_NO_SHOW_RECALLDUEDATE\nSCHEDULED_PT_ID_BALANCE1\n"
              "SCHEDULED_PT_ID_START_TIME\nSCHEDULED_RECALLDUEDATE\n"
              "SCHEDULED_START_TIME\nSCHEDULED_STATUS_START_TIME\n"_s);
    // The no-show index holds the cancelled and missed visits alone (its
    // condition read as column names, not as text), and the planner's
    // figures are back.
    EXPECT_EQ(ask(u"SELECT sql LIKE '%WHERE (\"STATUS\"=''CANCELLED'' OR "
                  "\"STATUS\"=''NO SHOW'')' FROM sqlite_schema WHERE name = "
                  "'SCHEDULED_NO_SHOW_RECALLDUEDATE'"_s)
                  .section(u'\n', 1, 1),
              u"1"_s);
    EXPECT_EQ(ask(u"SELECT count(*) FROM sqlite_stat1"_s), u"count(*)\n9\n"_s);
    EXPECT_EQ(ask(u"SELECT user_version FROM pragma_user_version"_s), u"user_version\n4\n"_s);
    EXPECT_EQ(upgrade().out, db + u" is at schema version 4: nothing to do\n"_s);

    // A database of a later Orlo is left as it is.
    ask(u"PRAGMA user_version = 7"_s);
    r = upgrade();
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(db + u" is at schema version 7, newer than this "
                                    "Orlo's 4; nothing was changed"_s))
        << r.err.toStdString();
    EXPECT_EQ(runOrlo({u"db"_s, u"upgrade"_s, path("none.mdb")}).code, 1);
}

TEST_F(Tool, SeedFillsRealisticRowsInOneGo) {
    const QString db = path("Patients.mdb");
    ASSERT_EQ(runOrlo({u"db"_s, u"init"_s, db}).code, 0);
    ProgramRun r = runOrlo({u"db"_s, u"seed"_s, db, u"--patients"_s, u"300"_s, u"--appointments"_s,
                            u"1500"_s, u"--seed"_s, u"7"_s, u"--now"_s, u"2026-06-15 10:00:00"_s});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    auto one = [&](const char* sql) {
        const ProgramRun q = query(db, QString::fromLatin1(sql));
        EXPECT_EQ(q.code, 0) << q.err.toStdString();
        return q.out.section(QLatin1Char('\n'), 1, 1);
    };
    EXPECT_EQ(one("SELECT count(*) AS n FROM PATIENTS"), u"300"_s);
    EXPECT_EQ(one("SELECT count(*) AS n FROM SCHEDULED"), u"1500"_s);
    EXPECT_EQ(
        one("SELECT count(*) AS n FROM SCHEDULED WHERE PT_ID NOT IN (SELECT PT_ID FROM PATIENTS)"),
        u"0"_s);
    EXPECT_EQ(one("SELECT count(*) AS n FROM SCHEDULED WHERE RECALLPERIOD NOT IN "
                  "('3','6','12','18','24')"),
              u"0"_s);
    // Some rows of every kind the reports look for.
    for (const char* some :
         {"SCHEDULED WHERE STATUS = 'CANCELLED'", "SCHEDULED WHERE STATUS = 'NO SHOW'",
          "SCHEDULED WHERE RECALLDUEDATE > '2026-06-15'", "SCHEDULED WHERE BALANCE1 > '0'",
          "SCHEDULED WHERE RECALLDUEDATE < '2026-06-15'", "PATIENTS WHERE DIABETICYN = 'YES'"}) {
        EXPECT_NE(one(("SELECT count(*) AS n FROM " + std::string(some)).c_str()), u"0"_s) << some;
    }
    EXPECT_EQ(one("PRAGMA integrity_check"), QString());  // not a SELECT: an affected count
    // The same seed gives the same rows.
    const QString again = path("Again.mdb");
    ASSERT_EQ(runOrlo({u"db"_s, u"init"_s, again}).code, 0);
    ASSERT_EQ(runOrlo({u"db"_s, u"seed"_s, again, u"--patients"_s, u"300"_s, u"--appointments"_s,
                       u"1500"_s, u"--seed"_s, u"7"_s, u"--now"_s, u"2026-06-15 10:00:00"_s})
                  .code,
              0);
    const QString sample = u"SELECT [LAST NAME], DOB FROM PATIENTS WHERE PT_ID = 123"_s;
    EXPECT_EQ(query(db, sample).out, query(again, sample).out);
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
        {{u"nosuchgroup"_s}, 2, "unknown command group"},
        {{u"db"_s}, 2, "usage"},
        {{u"db"_s, u"frobnicate"_s}, 2, "unknown command"},
        {{u"db"_s, u"init"_s}, 2, "exactly one PATH"},
        {{u"db"_s, u"query"_s, missing, u"SELECT 1"_s}, 1, "Could not find file"},
        {{u"db"_s, u"query"_s, notDb, u"SELECT 1"_s}, 1, "database"},
        {{u"db"_s, u"query"_s, db}, 2, "one SQL text"},
        {{u"db"_s, u"query"_s, db, u"SELECT 1"_s, u"--now"_s, u"tomorrow"_s}, 2, "--now"},
        {{u"db"_s, u"query"_s, db, u"SELECT 1"_s, u"--now"_s}, 2, "needs a value"},
        {{u"db"_s, u"query"_s, db, u"SELEC * FROM PATIENTS"_s}, 1, "error"},
        {{u"db"_s, u"query"_s, db, u"SELECT * FROM NOWHERE"_s}, 1, "NOWHERE"},
        {{u"db"_s, u"seed"_s, db, u"--patients"_s, u"-3"_s}, 2, "whole number"},
        {{u"db"_s, u"seed"_s, db, u"--colour"_s, u"3"_s}, 2, "unknown option"},
        {{u"db"_s, u"seed"_s, missing, u"--patients"_s, u"3"_s}, 1, "Could not find file"},
        {{u"db"_s, u"seed"_s, notDb, u"--patients"_s, u"3"_s}, 1, "not an Orlo database"},
        {{u"db"_s, u"seed"_s, db, u"--appointments"_s, u"3"_s}, 1, "no patients"},
        {{u"db"_s, u"init"_s, path("no/such/folder/x.mdb")}, 1, "Cannot create"},
        {{u"db"_s, u"init"_s, QString()}, 2, "exactly one PATH"},
        {{u"db"_s, u"seed"_s, db}, 2, "seed wants --patients N or --appointments M"},
    };
    ASSERT_EQ(runOrlo({u"db"_s, u"init"_s, db}).code, 0);
    for (const Case& c : cases) {
        const ProgramRun r = runOrlo(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message)))
            << c.args.join(QLatin1Char(' ')).toStdString() << ": " << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(missing));
    const QString folder = path("a folder");
    ASSERT_TRUE(QDir().mkpath(folder));
    const ProgramRun onFolder = query(folder, u"SELECT 1"_s);
    EXPECT_EQ(onFolder.code, 1);
    EXPECT_EQ(onFolder.err, u"orlo db: "_s + folder + u" is a folder, not a database file.\n"_s);
    EXPECT_EQ(query(db, u"SELECT count(*) AS n FROM SCHEDULED"_s).out, u"n\n0\n"_s);
}

TEST(Csv, QuotesOnlyWhatNeedsIt) {
    using orlo::tools::csvLine;
    EXPECT_EQ(csvLine({u"a"_s, QString(), u"b c"_s}), u"a,,b c\n"_s);
    EXPECT_EQ(csvLine({u"a,b"_s, u"x\"y"_s, u"1\r2"_s}), u"\"a,b\",\"x\"\"y\",\"1\r2\"\n"_s);
    // A name cannot send escape sequences to the terminal the output lands in.
    EXPECT_EQ(csvLine({u"\x1b[2Jname\x07"_s, u"tab\tok"_s}), u"\\x1b[2Jname\\x07,tab\tok\n"_s);
}
