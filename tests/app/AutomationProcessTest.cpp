// The automation channel end to end: a real orlo-desk process on a scratch
// application folder, settings file and add-in store, driven line by line
// over its standard input and output.

#include <QDir>
#include <QFile>

#include "DeskDriver.h"
#include "TestSupport.h"

using namespace orlo;
using namespace orlo::desk::test;
using orlo::test::DeskDriver;

namespace {

QString qs(const char16_t* s) {
    return QString::fromUtf16(s);
}

class AutomationProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.create());
        ASSERT_TRUE(desk.start(QString::fromUtf8(ORLO_DESK_BINARY), store,
                               {u"--store"_s, store.storePath}));
    }

    DeskTestStore store;
    DeskDriver desk;
};

}  // namespace

TEST_F(AutomationProcess, FolderSwitchAndTheMainWindowClosedWithAnItemWindowOpen) {
    EXPECT_EQ(desk.ok("switchFolder", {{u"folder"_s, u"orlo networked v.1/SCHEDULER"_s}})
                  .value(u"folder"_s)
                  .toString(),
              qs(kScheduler));
    EXPECT_EQ(desk.ok("state").value(u"folder"_s).toString(), qs(kScheduler));

    // Closing the main window with an item window open: the desk lives on
    // until the item window closes.
    const QString id = desk.ok("create", {{u"folder"_s, qs(kScheduler)},
                                          {u"properties"_s, QJsonObject{{u"ScheduleID"_s, 5}}},
                                          {u"save"_s, true}})
                           .value(u"id"_s)
                           .toString();
    desk.ok("display", {{u"id"_s, id}});
    desk.ok("closeMain");
    const QJsonObject after = desk.ok("state");
    EXPECT_FALSE(after.value(u"mainWindow"_s).toBool());
    EXPECT_EQ(after.value(u"explorers"_s).toInt(), 0);
    EXPECT_TRUE(desk.running());
    desk.ok("close", {{u"id"_s, id}, {u"mode"_s, u"discard"_s}});
    EXPECT_EQ(desk.waitForExit(), 0);
}

TEST(AutomationWithAddin, TheAddinConnectsToTheWindowAndHearsTheMainWindowClose) {
    DeskTestStore s;
    ASSERT_TRUE(s.create(3, 0));
    // The application folder as the layout makes it, with the add-in listed.
    ASSERT_TRUE(QDir().mkpath(s.appDir + u"/META"_s));
    for (const char* list : {"/META/UNLOADP.log", "/META/UNLOADS.log"}) {
        orlo::test::writeFile(s.appDir + QLatin1String(list), QByteArray());
    }
    ASSERT_TRUE(s.listAddin(QString::fromUtf8(ORLO_ADDIN_LIBRARY)));

    DeskDriver desk;
    ASSERT_TRUE(desk.start(QString::fromUtf8(ORLO_DESK_BINARY), s));
    const QJsonObject state = desk.ok("state");
    const QJsonArray loaded = state.value(u"addins"_s).toArray();
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_TRUE(loaded.at(0).toObject().value(u"connected"_s).toBool());
    // The add-in opened its own store into the desk's profile.
    EXPECT_TRUE(state.value(u"stores"_s).toArray().contains(s.storePath));

    // Closing the main window: the add-in writes its unload lists, and with
    // no item window left the desk ends.
    desk.ok("closeMain");
    EXPECT_EQ(desk.waitForExit(), 0);
    EXPECT_EQ(orlo::test::readFile(s.appDir + u"/META/UNLOADP.log"_s),
              QByteArray("1\r\n2\r\n3\r\n"));
}

// The roads of the main window a user takes: the quick search over the
// patient list (digits typed as written, then emptied), and the calendar:
// an empty week, a visit made and shown, dragged to another day, deleted,
// and a double-click on an empty slot opening a new one; then menu
// commands by caption path with their message boxes, and bad input.
TEST_F(AutomationProcess, PatientSearchCalendarMenuAndBadInputRoads) {
    const QString patients = qs(kPatients);
    const QString scheduler = qs(kScheduler);
    for (const QJsonObject& patient :
         {QJsonObject{{u"PatientID"_s, u"31"_s},
                      {u"Last Name"_s, u"Okafor"_s},
                      {u"First Name"_s, u"Grace"_s},
                      {u"HomeTel"_s, u"(01632) 960 123"_s}},
          QJsonObject{
              {u"PatientID"_s, u"32"_s}, {u"Last Name"_s, u"Nowak"_s}, {u"HomeTel"_s, u""_s}}}) {
        desk.ok("create", {{u"folder"_s, patients}, {u"properties"_s, patient}, {u"save"_s, true}});
    }
    desk.ok("switchFolder", {{u"folder"_s, patients}});
    // The rows shown once the quick search holds `typed`.
    const auto search = [&](const QString& typed) {
        desk.ok("setControl", {{u"window"_s, u"MainWindow"_s},
                               {u"control"_s, u"QuickSearch"_s},
                               {u"value"_s, typed}});
        return desk.ok("rows", {{u"window"_s, u"MainWindow"_s}, {u"control"_s, u"PatientList"_s}})
            .value(u"rows"_s)
            .toArray();
    };
    EXPECT_EQ(search(u"01632-960123"_s),
              (QJsonArray{QJsonArray{u"Okafor, Grace"_s, u""_s, u"(01632) 960 123"_s, u""_s, u""_s,
                                     u"31"_s}}));
    EXPECT_EQ(search(QString()).size(), 2);

    desk.ok("switchFolder", {{u"folder"_s, scheduler}});
    QJsonObject shown =
        desk.ok("calendar", {{u"span"_s, u"workweek"_s}, {u"date"_s, u"2026-06-17"_s}});
    EXPECT_EQ(shown.value(u"first"_s).toString(), u"2026-06-15"_s);
    EXPECT_EQ(shown.value(u"title"_s).toString(), u"15 – 19 June 2026"_s);
    EXPECT_TRUE(shown.value(u"entries"_s).toArray().isEmpty());
    const QString id =
        desk.ok("create",
                {{u"folder"_s, scheduler},
                 {u"properties"_s,
                  QJsonObject{{u"Start"_s, QJsonObject{{u"date"_s, u"2026-06-16T09:00:00"_s}}},
                              {u"End"_s, QJsonObject{{u"date"_s, u"2026-06-16T09:45:00"_s}}},
                              {u"LNAME"_s, u"Okafor"_s},
                              {u"REASON"_s, u"Check-up"_s},
                              {u"Status1"_s, u"BOOKED"_s}}},
                 {u"save"_s, true}})
            .value(u"id"_s)
            .toString();
    shown = desk.ok("calendar");
    ASSERT_EQ(shown.value(u"entries"_s).toArray().size(), 1);
    QJsonObject entry = shown.value(u"entries"_s).toArray().at(0).toObject();
    EXPECT_EQ(entry.value(u"id"_s).toString(), id);
    EXPECT_EQ(entry.value(u"patient"_s).toString(), u"Okafor"_s);
    EXPECT_EQ(entry.value(u"start"_s).toString(), u"2026-06-16T09:00:00"_s);

    shown =
        desk.ok("calendar",
                {{u"move"_s, QJsonObject{{u"id"_s, id}, {u"start"_s, u"2026-06-18T11:30:00"_s}}}});
    entry = shown.value(u"entries"_s).toArray().at(0).toObject();
    EXPECT_EQ(entry.value(u"start"_s).toString(), u"2026-06-18T11:30:00"_s);
    EXPECT_EQ(entry.value(u"end"_s).toString(), u"2026-06-18T12:15:00"_s);
    desk.refused("calendar", {{u"move"_s, QJsonObject{{u"id"_s, id}, {u"start"_s, u"June"_s}}}});

    desk.ok("delete", {{u"id"_s, id}});
    EXPECT_TRUE(desk.ok("calendar").value(u"entries"_s).toArray().isEmpty());
    desk.ok("calendar", {{u"create"_s, u"2026-06-17T10:00:00"_s}});
    EXPECT_EQ(desk.ok("state").value(u"inspectors"_s).toInt(), 1);

    // Menu commands by caption path; the box is recorded until cleared.
    // Access-key marks and case may be left off (the box's exact form: see
    // the automation road).
    desk.ok("answer", {{u"answers"_s, QJsonArray{u"OK"_s}}});
    desk.ok("click", {{u"path"_s, QJsonArray{u"help"_s, u"About Orlo Desk"_s}}});
    EXPECT_EQ(desk.ok("messageBoxes", {{u"clear"_s, true}}).value(u"boxes"_s).toArray().size(), 1);
    EXPECT_TRUE(desk.ok("messageBoxes").value(u"boxes"_s).toArray().isEmpty());

    // A popup is not a command, nor is a missing one.
    desk.refused("click", {{u"path"_s, QJsonArray{u"&Help"_s}}});
    desk.refused("click", {{u"path"_s, QJsonArray{u"&Orlo"_s, u"&Settings..."_s}}});
    // Unknown answers are refused before anything is queued.
    desk.refused("answer", {{u"answers"_s, QJsonArray{u"Yes"_s, u"Maybe"_s}}});
    EXPECT_EQ(desk.ok("answer", {{u"answers"_s, QJsonArray{}}}).value(u"queued"_s).toInt(), 0);

    // Bad input is an error reply and the desk runs on.
    for (const QByteArray& line :
         {QByteArray("{\"cmd\":"), QByteArray("[1,2]"), QByteArray("\xff\xfe garbage"),
          QByteArray("{\"cmd\":\"fly\"}"), QByteArray("{\"cmd\":\"dump\"}"),
          QByteArray("{\"cmd\":\"switchFolder\",\"folder\":\"Nowhere/At all\"}"),
          QByteArray("{\"cmd\":\"find\",\"folder\":\"Orlo Networked V.1/Patients\","
                     "\"filter\":\"PatientID equals 3\"}"),
          QByteArray("{\"cmd\":\"create\",\"folder\":\"Orlo Networked V.1/Patients\","
                     "\"properties\":{\"Last Name\":[1]}}")}) {
        desk.sendLine(line);
        const QJsonObject error = desk.reply(false).value(u"error"_s).toObject();
        EXPECT_NE(error.value(u"number"_s).toInteger(), 0) << line.toStdString();
        EXPECT_FALSE(error.value(u"description"_s).toString().isEmpty());
    }
    // A blank line is no command either.
    for (const QByteArray& blank : {QByteArray(), QByteArray("   \r")}) {
        desk.sendLine(blank, u"blank"_s);
        EXPECT_TRUE(desk.reply(false).value(u"error"_s).toObject().contains(u"description"_s));
    }
    // A line past 16 MiB is dropped as it arrives, answered once, and the
    // next line runs as usual.
    desk.sendLine(QByteArray(17 * 1024 * 1024, 'a'), u"overlong"_s);
    EXPECT_EQ(desk.reply(false).value(u"error"_s).toObject().value(u"description"_s).toString(),
              u"A command line longer than 16777216 bytes was dropped."_s);
    EXPECT_TRUE(desk.ok("state").value(u"mainWindow"_s).toBool());
    // End of input ends the desk as quit does.
    desk.closeInput();
    EXPECT_EQ(desk.waitForExit(), 0);
}
