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
    const QString pdf = clinic.file(QStringLiteral("six-weeks.pdf"));
    const QStringList asOf = {QStringLiteral("--db"),     db,
                              QStringLiteral("--as-of"),  QStringLiteral("2026-06-15 10:00:00"),
                              QStringLiteral("--locale"), QStringLiteral("uk")};

    const ProgramRun printed =
        orlo(QStringList{QStringLiteral("report"), QStringLiteral("recall-6-week"),
                         QStringLiteral("--pdf"), pdf} +
             asOf);
    ASSERT_EQ(printed.code, 0) << printed.err.toStdString();
    EXPECT_EQ(printed.out, QStringLiteral("6 Week Overdue Patient Recall Report: 29 rows, 2 "
                                          "pages -> ") +
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

    const QString csv = clinic.file(QStringLiteral("list.csv"));
    ASSERT_EQ(orlo(QStringList{QStringLiteral("report"), QStringLiteral("DataReport11"),
                               QStringLiteral("--csv"), csv} +
                   asOf)
                  .code,
              0);
    const std::vector<QStringList> rows = csvRecords(csv);
    ASSERT_EQ(rows.size(), 31u);
    EXPECT_EQ(rows[0], QStringList({QStringLiteral("Patient ID"), QStringLiteral("Last Name"),
                                    QStringLiteral("First Name"), QStringLiteral("Address"),
                                    QStringLiteral("Home Tel."), QStringLiteral("Work Tel.")}));
    EXPECT_EQ(rows[1], QStringList({QStringLiteral("1"), QStringLiteral("Patient101"),
                                    QStringLiteral("Pat"), QStringLiteral("1 High Street, York"),
                                    QStringLiteral("0123"), QString()}));

    // Nothing typed on the command line becomes part of a statement.
    const QString refused = clinic.file(QStringLiteral("detail.pdf"));
    const ProgramRun injected =
        orlo(QStringList{QStringLiteral("report"), QStringLiteral("patient-detail"),
                         QStringLiteral("--patient"), QStringLiteral("1 OR 1=1"),
                         QStringLiteral("--pdf"), refused} +
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

    const QString picture = s.dir.filePath(QStringLiteral("preview.png"));
    desk.send("click", {{QStringLiteral("path"),
                         QJsonArray{QStringLiteral("&Orlo"), QStringLiteral("Repor&ts..."),
                                    QStringLiteral("Patient &List Report")}}});
    const QJsonArray open = desk.ok("windows").value(QStringLiteral("windows")).toArray();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0].toObject(),
              (QJsonObject{{QStringLiteral("title"), QStringLiteral("Patient List Report")},
                           {QStringLiteral("name"), QStringLiteral("DataReport11")},
                           {QStringLiteral("modal"), true}}));
    desk.ok("screenshot", {{QStringLiteral("window"), QStringLiteral("Patient List Report")},
                           {QStringLiteral("file"), picture}});
    desk.ok("closeWindow", {{QStringLiteral("window"), QStringLiteral("Patient List Report")}});
    desk.reply();  // the click, once the preview has closed
    EXPECT_TRUE(desk.ok("windows").value(QStringLiteral("windows")).toArray().isEmpty());
    const QImage shot(picture);
    EXPECT_GT(shot.width(), 400);
    EXPECT_GT(shot.height(), 300);
    EXPECT_TRUE(desk.ok("messageBoxes").value(QStringLiteral("boxes")).toArray().isEmpty());
    desk.ok("quit");
}

}  // namespace
}  // namespace orlo::test
