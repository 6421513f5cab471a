// The automation channel end to end: a real orlo-desk process on a scratch
// application folder, settings file and add-in store, driven line by line
// over its standard input and output.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "DeskDriver.h"
#include "TestSupport.h"
#include "host/HostErrors.h"

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
                               {QStringLiteral("--store"), store.storePath}));
    }

    DeskTestStore store;
    DeskDriver desk;
};

}  // namespace

TEST_F(AutomationProcess, MenuCommandsByCaptionPathAndRecordedMessageBoxes) {
    // The desk's own menus in order; the add-in's popup would go before "&Help".
    const QJsonArray menus = desk.ok("menu").value(QStringLiteral("controls")).toArray();
    QStringList captions;
    for (const QJsonValue& m : menus) {
        captions << m.toObject().value(QStringLiteral("caption")).toString();
    }
    EXPECT_EQ(captions, (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"),
                                     QStringLiteral("&View"), QStringLiteral("&Go"),
                                     QStringLiteral("&Tools"), QStringLiteral("&Help")}));

    // Access-key marks and case may be left off; the box is recorded (its
    // exact form: see the automation road).
    desk.ok("answer", {{QStringLiteral("answers"), QJsonArray{QStringLiteral("OK")}}});
    desk.ok("click", {{QStringLiteral("path"),
                       QJsonArray{QStringLiteral("help"), QStringLiteral("About Orlo Desk")}}});
    const QJsonArray boxes = desk.ok("messageBoxes", {{QStringLiteral("clear"), true}})
                                 .value(QStringLiteral("boxes"))
                                 .toArray();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.at(0).toObject().value(QStringLiteral("title")).toString(),
              QStringLiteral("About Orlo Desk"));
    EXPECT_TRUE(desk.ok("messageBoxes").value(QStringLiteral("boxes")).toArray().isEmpty());

    // A popup is not a command; a missing command is "object not found".
    desk.refused("click", {{QStringLiteral("path"), QJsonArray{QStringLiteral("&Help")}}});
    const QJsonObject missing = desk.refused(
        "click", {{QStringLiteral("path"),
                   QJsonArray{QStringLiteral("&Orlo"), QStringLiteral("&Settings...")}}});
    EXPECT_EQ(missing.value(QStringLiteral("error"))
                  .toObject()
                  .value(QStringLiteral("number"))
                  .toInteger(),
              host::err::kObjectNotFound);
    // Unknown answers are refused before anything is queued.
    desk.refused("answer", {{QStringLiteral("answers"),
                             QJsonArray{QStringLiteral("Yes"), QStringLiteral("Maybe")}}});
    EXPECT_EQ(desk.ok("answer", {{QStringLiteral("answers"), QJsonArray{}}})
                  .value(QStringLiteral("queued"))
                  .toInt(),
              0);

    desk.ok("quit");
    EXPECT_EQ(desk.waitForExit(), 0);
}

TEST_F(AutomationProcess, BadInputIsAnErrorReplyAndTheDeskRunsOn) {
    for (const QByteArray& line :
         {QByteArray("{\"cmd\":"), QByteArray("[1,2]"), QByteArray("\xff\xfe garbage"),
          QByteArray("{\"cmd\":\"fly\"}"), QByteArray("{\"cmd\":\"dump\"}"),
          QByteArray("{\"cmd\":\"dump\",\"id\":\"999\"}"),
          QByteArray("{\"cmd\":\"switchFolder\",\"folder\":\"Nowhere/At all\"}"),
          QByteArray("{\"cmd\":\"find\",\"folder\":\"Orlo Networked V.1/Patients\","
                     "\"filter\":\"PatientID equals 3\"}"),
          QByteArray("{\"cmd\":\"create\",\"folder\":\"Orlo Networked V.1/Patients\","
                     "\"properties\":{\"Last Name\":[1]}}")}) {
        desk.sendLine(line);
        const QJsonObject reply = desk.reply(false);
        const QJsonObject error = reply.value(QStringLiteral("error")).toObject();
        EXPECT_NE(error.value(QStringLiteral("number")).toInteger(), 0) << line.toStdString();
        EXPECT_FALSE(error.value(QStringLiteral("description")).toString().isEmpty());
    }
    EXPECT_TRUE(desk.ok("state").value(QStringLiteral("mainWindow")).toBool());
    // End of input ends the desk as quit does.
    desk.closeInput();
    EXPECT_EQ(desk.waitForExit(), 0);
}

TEST_F(AutomationProcess, FolderSwitchAndTheProfileKeptForTheNextStart) {
    EXPECT_EQ(desk.ok("switchFolder",
                      {{QStringLiteral("folder"), QStringLiteral("orlo networked v.1/SCHEDULER")}})
                  .value(QStringLiteral("folder"))
                  .toString(),
              qs(kScheduler));
    EXPECT_EQ(desk.ok("state").value(QStringLiteral("folder")).toString(), qs(kScheduler));

    // Closing the main window with an item window open: the desk lives on
    // until the item window closes.
    const QString id =
        desk.ok("create",
                {{QStringLiteral("folder"), qs(kScheduler)},
                 {QStringLiteral("properties"), QJsonObject{{QStringLiteral("ScheduleID"), 5}}},
                 {QStringLiteral("save"), true}})
            .value(QStringLiteral("id"))
            .toString();
    desk.ok("display", {{QStringLiteral("id"), id}});
    desk.ok("closeMain");
    const QJsonObject after = desk.ok("state");
    EXPECT_FALSE(after.value(QStringLiteral("mainWindow")).toBool());
    EXPECT_EQ(after.value(QStringLiteral("explorers")).toInt(), 0);
    EXPECT_TRUE(desk.running());
    desk.ok("close",
            {{QStringLiteral("id"), id}, {QStringLiteral("mode"), QStringLiteral("discard")}});
    EXPECT_EQ(desk.waitForExit(), 0);

    // Started again without --store: the profile opens the add-in's store.
    DeskDriver again;
    ASSERT_TRUE(again.start(QString::fromUtf8(ORLO_DESK_BINARY), store));
    const QJsonArray stores = again.ok("state").value(QStringLiteral("stores")).toArray();
    EXPECT_TRUE(stores.contains(store.storePath));
    EXPECT_EQ(again
                  .ok("find", {{QStringLiteral("folder"), qs(kScheduler)},
                               {QStringLiteral("filter"), QStringLiteral("[Mileage] = 5")}})
                  .value(QStringLiteral("id"))
                  .toString(),
              id);
    again.ok("quit");
    EXPECT_EQ(again.waitForExit(), 0);
}

TEST(AutomationWithAddin, TheAddinConnectsToTheWindowAndHearsTheMainWindowClose) {
    DeskTestStore s;
    ASSERT_TRUE(s.create(3, 0));
    // The application folder as the layout makes it, with the add-in listed.
    ASSERT_TRUE(QDir().mkpath(s.appDir + QStringLiteral("/META")));
    for (const char* list : {"/META/UNLOADP.log", "/META/UNLOADS.log"}) {
        orlo::test::writeFile(s.appDir + QLatin1String(list), QByteArray());
    }
    ASSERT_TRUE(s.listAddin(QString::fromUtf8(ORLO_ADDIN_LIBRARY)));

    DeskDriver desk;
    ASSERT_TRUE(desk.start(QString::fromUtf8(ORLO_DESK_BINARY), s));
    const QJsonObject state = desk.ok("state");
    const QJsonArray loaded = state.value(QStringLiteral("addins")).toArray();
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_TRUE(loaded.at(0).toObject().value(QStringLiteral("connected")).toBool());
    // The add-in opened its own store into the desk's profile.
    EXPECT_TRUE(state.value(QStringLiteral("stores")).toArray().contains(s.storePath));

    // Closing the main window: the add-in writes its unload lists, and with
    // no item window left the desk ends.
    desk.ok("closeMain");
    EXPECT_EQ(desk.waitForExit(), 0);
    EXPECT_EQ(orlo::test::readFile(s.appDir + QStringLiteral("/META/UNLOADP.log")),
              QByteArray("1\r\n2\r\n3\r\n"));
}
