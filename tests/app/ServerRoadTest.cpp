// The front desk's road with the shared database on a PostgreSQL server
// (the suite's throwaway cluster), given to orlo-desk with --db while its
// settings keep a file, driven through the automation channel: a new
// patient saved, edited and saved again, an appointment for them, a second
// patient deleted from the finder, the desk started again on the same
// server and a report opened there. Every step is checked in the server's
// rows or the report's.

#include <QFile>
#include <QJsonArray>

#include "DeskDriver.h"
#include "TestDatabases.h"
#include "platform/registry/RegistryStore.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::test {
namespace {

TEST(ServerRoad, ADeskSavesEditsAndDeletesOnTheServer) {
    TestDatabases server{Engine::Server};
    desk::test::DeskTestStore s;
    ASSERT_TRUE(s.create());
    const QString file = s.addDatabase();  // the settings' database, unused with --db
    ASSERT_FALSE(file.isEmpty());
    ASSERT_TRUE(s.listAddin(QString::fromUtf8(ORLO_ADDIN_LIBRARY)));
    RegistryStore settings(s.registryFile);
    const auto addinKey =
        *settings.createKey(RegistryRoot::CurrentUser,
                            u"Software\\Microsoft\\Office\\Outlook\\Addins\\OrlonetPROv1.Connect");
    ASSERT_TRUE(settings.setValue(addinKey, u"defaultDBlocation"_s, {kRegSz, file.toUtf8()}));
    const QStringList onServer = {u"--db"_s, server.sharedPath()};
    const auto rows = [&](const char* sql) {
        return server.rawValue(QString::fromUtf8(sql)).value_or(u"<none>"_s);
    };
    const QString patients = QString::fromUtf16(desk::test::kPatients);
    auto desk = std::make_unique<DeskDriver>();
    ASSERT_TRUE(desk->start(QString::fromUtf8(ORLO_DESK_BINARY), s, onServer));

    // A new patient's window, filled as a user types; its saved id.
    const auto newPatient = [&](const QString& last, const QString& first, const char* dob) {
        const QString id = desk->ok("create", {{u"folder"_s, patients}})[u"id"_s].toString();
        desk->ok("display", itemFields(id));
        desk->ok("set", typedOnPage(id, "General",
                                    {{"LastNameTextBox", last},
                                     {"FirstNameTextBox", first},
                                     {"DateOfBirth", QString::fromLatin1(dob)},
                                     {"CityBox", QString()}}));
        return desk->ok("save", itemFields(id))[u"id"_s].toString();
    };
    const QString saved = newPatient(u"O'Brien"_s, u"Zoë"_s, "2/3/1980");
    desk->ok("set", typedOnPage(saved, "General", {{"CityBox", u"York"_s}}));
    desk->ok("save", itemFields(saved));
    EXPECT_EQ(rows("SELECT string_agg(PT_ID || '/' || \"LAST NAME\" || '/' || \"FIRST NAME\" || "
                   "'/' || DOB || '/' || CITY, ' ') FROM PATIENTS"),
              u"1/O'Brien/Zoë/02/03/1980/York"_s);

    // An appointment for the patient, then a second patient.
    const QString visit =
        desk->ok("create", {{u"folder"_s, QString::fromUtf16(desk::test::kScheduler)}})[u"id"_s]
            .toString();
    desk->ok("display", itemFields(visit));
    desk->ok("set", itemFields(visit, {{u"properties"_s, QJsonObject{{u"sPTID"_s, u"1"_s}}}}));
    desk->ok("set", typedOnPage(visit, "Patient Scheduler",
                                {{"Start", u"16/03/2026 09:30:00"_s},
                                 {"End", u"16/03/2026 10:00:00"_s},
                                 {"REASON", u"Eye test"_s}}));
    desk->ok("close", itemFields(desk->ok("save", itemFields(visit))[u"id"_s].toString()));
    const QString jones = newPatient(u"Jones"_s, u"Bob"_s, "03/04/1980");
    // The item deleted in the desk keeps its row, as on the file; the
    // finder's Delete removes it.
    desk->ok("delete", itemFields(jones));
    EXPECT_EQ(rows("SELECT count(*) FROM PATIENTS"), u"2"_s);
    desk->ok("click", {{u"path"_s, QJsonArray{u"&Orlo"_s, u"&Patient Finder..."_s}}});
    desk->ok(
        "setControl",
        {{u"window"_s, u"frmPatientSearch"_s}, {u"control"_s, u"Text1"_s}, {u"value"_s, u"jon"_s}});
    desk->ok("answer", {{u"answers"_s, QJsonArray{u"Yes"_s}}});
    desk->ok("clickControl",
             {{u"window"_s, u"frmPatientSearch"_s}, {u"control"_s, u"cmdDelete"_s}});
    desk->ok("closeWindow", {{u"window"_s, u"frmPatientSearch"_s}});
    EXPECT_EQ(rows("SELECT string_agg(\"LAST NAME\", ',') FROM PATIENTS"), u"O'Brien"_s);
    EXPECT_EQ(rows("SELECT string_agg(PT_ID || ' ' || START_TIME || ' ' || REASON, ',') "
                   "FROM SCHEDULED"),
              u"1 2026-03-16 09:30:00 Eye test"_s);
    QStringList boxes;
    for (const QJsonValue& b : desk->ok("messageBoxes")[u"boxes"_s].toArray()) {
        boxes << b[u"title"_s].toString() + u'|' + b[u"text"_s].toString();
    }
    EXPECT_EQ(boxes, QStringList({u"Orlo Software - Confirm Record Delete|Are you sure you "
                                  "want to delete the selected record?"_s,
                                  u"Orlo Software|Record has been successfully deleted."_s}));
    desk->ok("quit");
    EXPECT_EQ(desk->waitForExit(), 0);

    // Another workstation's patient, saved on the server meanwhile with a
    // visit still owed for, gets an item when the desk starts again; the
    // first patient opens as saved.
    server.addPatients({{7, "Ñúñez", "Ana"}});
    server.addAppointments({{40, 7, "2026-01-05 09:00:00", nullptr, "COMPLETED", "25.5"}});
    desk = std::make_unique<DeskDriver>();
    ASSERT_TRUE(desk->start(QString::fromUtf8(ORLO_DESK_BINARY), s, onServer));
    QStringList opened;
    for (const char* key : {"1", "7"}) {
        const QJsonValue found = desk->ok(
            "find", {{u"folder"_s, patients},
                     {u"filter"_s, QString(u"[PatientID] = "_s + QLatin1String(key))}})[u"id"_s];
        ASSERT_TRUE(found.isString()) << key;
        desk->ok("display", itemFields(found.toString()));
        const QJsonObject shown =
            desk->ok("dump", itemFields(found.toString()))[u"properties"_s].toObject();
        opened << shown[u"Last Name"_s].toString() + u'|' + shown[u"City1"_s].toString();
    }
    EXPECT_EQ(opened, QStringList({u"O'Brien|York"_s, u"Ñúñez|York"_s}));

    // The balance report, read from the server, shows the visit owed for.
    desk->send("click", {{u"path"_s,
                          QJsonArray{u"&Orlo"_s, u"Repor&ts..."_s, u"&Balance Overdue Report"_s}}});
    const QString csv = server.dir() + u"/balance.csv"_s;
    desk->ok("exportCsv", {{u"window"_s, u"DataReport1"_s}, {u"file"_s, csv}});
    desk->ok("closeWindow", {{u"window"_s, u"DataReport1"_s}});
    desk->reply();  // the click, once its preview closed
    QFile report(csv);
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    // UTF-8 with its byte-order mark, as spreadsheets want it.
    EXPECT_EQ(report.readAll(),
              "\xEF\xBB\xBF" +
                  u"Patient ID,Last Name,First Name,Balance,Address,Home Tel.,Work Tel.\r\n"
                  "7,Ñúñez,Ana,25.5,\"1 High Street, York\",0123,\r\n"_s.toUtf8());
    desk->ok("quit");
    EXPECT_EQ(desk->waitForExit(), 0);
    // The settings still name the file.
    const auto kept = settings.queryValue(addinKey, u"defaultDBlocation"_s);
    ASSERT_TRUE(kept && kept->has_value());
    EXPECT_EQ(QString::fromUtf8((*kept)->data), file);
}

}  // namespace
}  // namespace orlo::test
