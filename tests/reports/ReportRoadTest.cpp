// The roads a user takes to a report, each in a process of its own: the
// admin tool printing the morning's list to PDF and CSV for a scheduled
// job, and the desk's "&Orlo" menu opening a report's modal preview, driven
// through orlo-desk's automation channel as a user at the screen would:
// look at the window, take its picture, close it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "DeskDriver.h"
#include "ProgramRun.h"
#include "ReportClinic.h"
#include "tools/Seeder.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::test {
namespace {

ProgramRun orlo(const QStringList& args) {
    return runProgram(QStringLiteral(ORLO_TOOL_BINARY), args, 60000);
}

TEST(ReportRoad, TheToolPrintsTheMorningsListToPdfAndCsv) {
    ReportClinic clinic;
    std::vector<SeedPatient> patients;
    std::vector<std::string> names;
    names.reserve(30);
    std::vector<SeedAppointment> appointments;
    for (int i = 1; i <= 30; ++i) {
        names.push_back("Patient" + std::to_string(100 + i));
        patients.push_back({i, names.back().c_str(), "Pat"});
        appointments.push_back(
            {i, i, "2025-12-01 09:00:00", i <= 29 ? "2026-05-01 00:00:00" : "2026-06-01 00:00:00"});
    }
    clinic.dbs.addPatients(patients);
    clinic.dbs.addAppointments(appointments);
    const QString db = clinic.dbs.sharedPath();
    const QString pdf = clinic.file(u"six-weeks.pdf"_s);
    const QStringList asOf = {u"--db"_s,     db,     u"--as-of"_s, u"2026-06-15 10:00:00"_s,
                              u"--locale"_s, u"uk"_s};

    const ProgramRun printed =
        orlo(QStringList{u"report"_s, u"recall-6-week"_s, u"--pdf"_s, pdf} + asOf);
    ASSERT_EQ(printed.code, 0) << printed.err.toStdString();
    EXPECT_EQ(printed.out,
              u"6 Week Overdue Patient Recall Report: 29 rows, 2 "
              "pages -> "_s +
                  pdf + u'\n');
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 2);
    for (const char* text : {"6 Week Overdue Patient Recall Report", "15 June 2026",
                             "(2nd Reminder)", "Patient101", "01/05/2026", "Page 1 of 2"}) {
        EXPECT_TRUE(pages[0].contains(QLatin1String(text))) << text;
    }
    for (const char* text : {"Patient ID", "Recall Type", "Patient129", "Page 2 of 2"}) {
        EXPECT_TRUE(pages[1].contains(QLatin1String(text))) << text;
    }
    EXPECT_FALSE(pages[1].contains(u"(2nd Reminder)"));

    const QString csv = clinic.file(u"list.csv"_s);
    ASSERT_EQ(orlo(QStringList{u"report"_s, u"DataReport11"_s, u"--csv"_s, csv} + asOf).code, 0);
    const std::vector<QStringList> rows = csvRecords(csv);
    ASSERT_EQ(rows.size(), 31u);
    EXPECT_EQ(rows[0], QStringList({u"Patient ID"_s, u"Last Name"_s, u"First Name"_s, u"Address"_s,
                                    u"Home Tel."_s, u"Work Tel."_s}));
    EXPECT_EQ(rows[1], QStringList({u"1"_s, u"Patient101"_s, u"Pat"_s, u"1 High Street, York"_s,
                                    u"0123"_s, QString()}));

    // Nothing typed on the command line becomes part of a statement.
    const QString refused = clinic.file(u"detail.pdf"_s);
    const ProgramRun injected = orlo(QStringList{u"report"_s, u"patient-detail"_s, u"--patient"_s,
                                                 u"1 OR 1=1"_s, u"--pdf"_s, refused} +
                                     asOf);
    EXPECT_EQ(injected.code, 2);
    EXPECT_FALSE(QFile::exists(refused));
}

// A command whose window is modal replies only when the window closes, and
// the window commands sent meanwhile reply first.
TEST(ReportRoad, TheDeskMenuOpensAReportModalAndClosesIt) {
    desk::test::DeskTestStore s;
    ASSERT_TRUE(s.create());
    const QString db = s.addDatabase();
    ASSERT_FALSE(db.isEmpty());
    tools::SeedOptions seed;
    seed.patients = 40;
    seed.now = naiveDateTime(QDate(2026, 6, 15), QTime(10, 0));
    ASSERT_TRUE(tools::seedDatabase(db, seed, Locale::unitedKingdom()).ok());
    ASSERT_TRUE(s.listAddin(QString::fromUtf8(ORLO_ADDIN_LIBRARY)));
    DeskDriver desk;
    ASSERT_TRUE(desk.start(QString::fromUtf8(ORLO_DESK_BINARY), s));

    const QString picture = s.dir.filePath(u"preview.png"_s);
    desk.send("click",
              {{u"path"_s, QJsonArray{u"&Orlo"_s, u"Repor&ts..."_s, u"Patient &List Report"_s}}});
    const QJsonArray open = desk.ok("windows").value(u"windows"_s).toArray();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0].toObject(), (QJsonObject{{u"title"_s, u"Patient List Report"_s},
                                               {u"name"_s, u"DataReport11"_s},
                                               {u"modal"_s, true}}));
    desk.ok("screenshot", {{u"window"_s, u"Patient List Report"_s}, {u"file"_s, picture}});
    desk.ok("closeWindow", {{u"window"_s, u"Patient List Report"_s}});
    desk.reply();  // the click, once the preview has closed
    EXPECT_TRUE(desk.ok("windows").value(u"windows"_s).toArray().isEmpty());
    const QImage shot(picture);
    EXPECT_GT(shot.width(), 400);
    EXPECT_GT(shot.height(), 300);
    EXPECT_TRUE(desk.ok("messageBoxes").value(u"boxes"_s).toArray().isEmpty());
    desk.ok("quit");
}

}  // namespace
}  // namespace orlo::test
