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

#include "DeskTestStore.h"
#include "TestSupport.h"
#include "host/HostErrors.h"
#include "host/addins/AddinList.h"
#include "platform/registry/RegistryStore.h"

using namespace orlo;
using namespace orlo::desk::test;

namespace {

QString qs(const char16_t* s) {
    return QString::fromUtf16(s);
}

class DeskProcess {
public:
    ~DeskProcess() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool start(const DeskTestStore& s, const QStringList& extra = {}) {
        QStringList args = {QStringLiteral("--automation"),
                            QStringLiteral("--appdir"),
                            s.appDir,
                            QStringLiteral("--registry"),
                            s.registryFile,
                            QStringLiteral("--locale"),
                            QStringLiteral("uk")};
        m_process.start(QString::fromUtf8(ORLO_DESK_BINARY), args + extra);
        return m_process.waitForStarted(10000);
    }

    QJsonObject sendLine(const QByteArray& line) {
        m_process.write(line + '\n');
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(30000)) {
                ADD_FAILURE() << "no reply to " << line.toStdString()
                              << "; stderr: " << m_process.readAllStandardError().toStdString();
                return {};
            }
        }
        const QByteArray reply = m_process.readLine();
        const QJsonDocument doc = QJsonDocument::fromJson(reply);
        EXPECT_TRUE(doc.isObject()) << reply.toStdString();
        return doc.object();
    }
    QJsonObject send(const QJsonObject& command) {
        return sendLine(QJsonDocument(command).toJson(QJsonDocument::Compact));
    }
    // Sends and expects "ok": true.
    QJsonObject ok(const QJsonObject& command) {
        QJsonObject reply = send(command);
        EXPECT_TRUE(reply.value(QStringLiteral("ok")).toBool())
            << QJsonDocument(command).toJson().toStdString() << " -> "
            << QJsonDocument(reply).toJson().toStdString();
        return reply;
    }

    // The exit code once the process ended by itself, or -1.
    int waitForExit(int ms = 20000) {
        if (!m_process.waitForFinished(ms) || m_process.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        return m_process.exitCode();
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    void closeInput() { m_process.closeWriteChannel(); }

private:
    QProcess m_process;
};

QJsonObject cmd(const char* name, QJsonObject rest = {}) {
    rest.insert(QStringLiteral("cmd"), QString::fromLatin1(name));
    return rest;
}

class AutomationProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.create());
        ASSERT_TRUE(desk.start(store, {QStringLiteral("--store"), store.storePath}));
    }

    DeskTestStore store;
    DeskProcess desk;
};

}  // namespace

TEST_F(AutomationProcess, PatientContactFromCreationToItsWindowAndBack) {
    const QJsonObject created = desk.ok(
        cmd("create", {{QStringLiteral("folder"), qs(kPatients)},
                       {QStringLiteral("properties"),
                        QJsonObject{{QStringLiteral("PatientID"), QStringLiteral("12")},
                                    {QStringLiteral("Last Name"), QStringLiteral("O'Neill")},
                                    {QStringLiteral("First Name"), QStringLiteral("Cara")},
                                    {QStringLiteral("HomeTel"), QStringLiteral("555-0101")}}}}));
    const QString handle = created.value(QStringLiteral("id")).toString();
    EXPECT_EQ(handle, QStringLiteral("new1"));  // not stored yet

    // Found only once saved; the saved item is named by its entry id.
    EXPECT_TRUE(
        desk.ok(cmd("find", {{QStringLiteral("folder"), qs(kPatients)},
                             {QStringLiteral("filter"), QStringLiteral("[PatientID] = 12")}}))
            .value(QStringLiteral("id"))
            .isNull());
    const QString id = desk.ok(cmd("save", {{QStringLiteral("id"), handle}}))
                           .value(QStringLiteral("id"))
                           .toString();
    ASSERT_FALSE(id.isEmpty());
    EXPECT_NE(id, handle);
    EXPECT_EQ(desk.ok(cmd("find", {{QStringLiteral("folder"), qs(kPatients)},
                                   {QStringLiteral("filter"), QStringLiteral("[PatientID] = 12")}}))
                  .value(QStringLiteral("id"))
                  .toString(),
              id);

    // The form rule kept "Customer ID" equal to "PatientID" on save.
    const QJsonObject dumped = desk.ok(cmd("dump", {{QStringLiteral("id"), id}}));
    const QJsonObject props = dumped.value(QStringLiteral("properties")).toObject();
    EXPECT_EQ(props.value(QStringLiteral("Last Name")).toString(), QStringLiteral("O'Neill"));
    EXPECT_EQ(props.value(QStringLiteral("Customer ID")).toString(), QStringLiteral("12"));
    EXPECT_EQ(dumped.value(QStringLiteral("class")).toInt(), 40);
    EXPECT_EQ(dumped.value(QStringLiteral("folder")).toString(), qs(kPatients));
    EXPECT_TRUE(dumped.value(QStringLiteral("saved")).toBool());

    // Its window: opened, a control edited through the form, closed with a save.
    EXPECT_TRUE(desk.ok(cmd("display", {{QStringLiteral("id"), id}}))
                    .value(QStringLiteral("displayed"))
                    .toBool());
    EXPECT_EQ(desk.ok(cmd("state")).value(QStringLiteral("inspectors")).toInt(), 1);
    desk.ok(
        cmd("set",
            {{QStringLiteral("id"), id},
             {QStringLiteral("controls"),
              QJsonArray{QJsonObject{{QStringLiteral("page"), QStringLiteral("General")},
                                     {QStringLiteral("control"), QStringLiteral("LastNameTextBox")},
                                     {QStringLiteral("value"), QStringLiteral("Neill")}}}}}));
    desk.ok(cmd("close",
                {{QStringLiteral("id"), id}, {QStringLiteral("mode"), QStringLiteral("save")}}));
    EXPECT_EQ(desk.ok(cmd("state")).value(QStringLiteral("inspectors")).toInt(), 0);

    // What the store holds now, through the item list's path.
    const QJsonObject listed = desk.ok(
        cmd("items", {{QStringLiteral("folder"), qs(kPatients)},
                      {QStringLiteral("columns"), QJsonArray{QStringLiteral("Last Name")}}}));
    EXPECT_EQ(listed.value(QStringLiteral("total")).toInt(), 1);
    EXPECT_EQ(listed.value(QStringLiteral("items"))
                  .toArray()
                  .at(0)
                  .toObject()
                  .value(QStringLiteral("values"))
                  .toObject()
                  .value(QStringLiteral("Last Name"))
                  .toString(),
              QStringLiteral("Neill"));

    // Deleted: gone from Find, and the id no longer names a usable item.
    desk.ok(cmd("delete", {{QStringLiteral("id"), id}}));
    EXPECT_TRUE(
        desk.ok(cmd("find", {{QStringLiteral("folder"), qs(kPatients)},
                             {QStringLiteral("filter"), QStringLiteral("[PatientID] = 12")}}))
            .value(QStringLiteral("id"))
            .isNull());
    EXPECT_FALSE(
        desk.send(cmd("save", {{QStringLiteral("id"), id}})).value(QStringLiteral("ok")).toBool());

    desk.ok(cmd("quit"));
    EXPECT_EQ(desk.waitForExit(), 0);
}

TEST_F(AutomationProcess, MenuCommandsByCaptionPathAndRecordedMessageBoxes) {
    // The desk's own menus in order; the add-in's popup would go before "&Help".
    const QJsonArray menus = desk.ok(cmd("menu")).value(QStringLiteral("controls")).toArray();
    QStringList captions;
    for (const QJsonValue& m : menus) {
        captions << m.toObject().value(QStringLiteral("caption")).toString();
    }
    EXPECT_EQ(captions, (QStringList{QStringLiteral("&File"), QStringLiteral("&Edit"),
                                     QStringLiteral("&View"), QStringLiteral("&Go"),
                                     QStringLiteral("&Tools"), QStringLiteral("&Help")}));

    // A box answered from the queue is recorded byte for byte (CR LF kept).
    desk.ok(cmd("answer", {{QStringLiteral("answers"), QJsonArray{QStringLiteral("OK")}}}));
    desk.ok(
        cmd("click", {{QStringLiteral("path"),
                       QJsonArray{QStringLiteral("&Help"), QStringLiteral("&About Orlo Desk")}}}));
    // Access-key marks and case may be left off.
    desk.ok(
        cmd("click", {{QStringLiteral("path"),
                       QJsonArray{QStringLiteral("help"), QStringLiteral("About Orlo Desk")}}}));
    const QJsonArray boxes = desk.ok(cmd("messageBoxes", {{QStringLiteral("clear"), true}}))
                                 .value(QStringLiteral("boxes"))
                                 .toArray();
    ASSERT_EQ(boxes.size(), 2);
    const QJsonObject box = boxes.at(0).toObject();
    EXPECT_EQ(box.value(QStringLiteral("title")).toString(), QStringLiteral("About Orlo Desk"));
    EXPECT_EQ(
        box.value(QStringLiteral("text")).toString(),
        QStringLiteral("Orlo Desk\r\nThe front-desk shell of the Orlo patient-records system."));
    EXPECT_EQ(box.value(QStringLiteral("icon")).toString(), QStringLiteral("information"));
    EXPECT_EQ(box.value(QStringLiteral("buttons")).toString(), QStringLiteral("OK"));
    EXPECT_TRUE(desk.ok(cmd("messageBoxes")).value(QStringLiteral("boxes")).toArray().isEmpty());

    // A popup is not a command; a missing command is "object not found".
    EXPECT_FALSE(
        desk.send(cmd("click", {{QStringLiteral("path"), QJsonArray{QStringLiteral("&Help")}}}))
            .value(QStringLiteral("ok"))
            .toBool());
    const QJsonObject missing = desk.send(
        cmd("click", {{QStringLiteral("path"),
                       QJsonArray{QStringLiteral("&Orlo"), QStringLiteral("&Settings...")}}}));
    EXPECT_EQ(missing.value(QStringLiteral("error"))
                  .toObject()
                  .value(QStringLiteral("number"))
                  .toInteger(),
              host::err::kObjectNotFound);
    // Unknown answers are refused before anything is queued.
    EXPECT_FALSE(
        desk.send(cmd("answer", {{QStringLiteral("answers"),
                                  QJsonArray{QStringLiteral("Yes"), QStringLiteral("Maybe")}}}))
            .value(QStringLiteral("ok"))
            .toBool());
    EXPECT_EQ(desk.ok(cmd("answer", {{QStringLiteral("answers"), QJsonArray{}}}))
                  .value(QStringLiteral("queued"))
                  .toInt(),
              0);

    desk.ok(cmd("quit"));
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
        const QJsonObject reply = desk.sendLine(line);
        EXPECT_FALSE(reply.value(QStringLiteral("ok")).toBool()) << line.toStdString();
        const QJsonObject error = reply.value(QStringLiteral("error")).toObject();
        EXPECT_NE(error.value(QStringLiteral("number")).toInteger(), 0) << line.toStdString();
        EXPECT_FALSE(error.value(QStringLiteral("description")).toString().isEmpty());
    }
    EXPECT_TRUE(desk.ok(cmd("state")).value(QStringLiteral("mainWindow")).toBool());
    // End of input ends the desk as quit does.
    desk.closeInput();
    EXPECT_EQ(desk.waitForExit(), 0);
}

TEST_F(AutomationProcess, FolderSwitchAndTheProfileKeptForTheNextStart) {
    EXPECT_EQ(desk.ok(cmd("switchFolder", {{QStringLiteral("folder"),
                                            QStringLiteral("orlo networked v.1/SCHEDULER")}}))
                  .value(QStringLiteral("folder"))
                  .toString(),
              qs(kScheduler));
    EXPECT_EQ(desk.ok(cmd("state")).value(QStringLiteral("folder")).toString(), qs(kScheduler));

    // Closing the main window with an item window open: the desk lives on
    // until the item window closes.
    const QString id =
        desk.ok(cmd("create",
                    {{QStringLiteral("folder"), qs(kScheduler)},
                     {QStringLiteral("properties"), QJsonObject{{QStringLiteral("ScheduleID"), 5}}},
                     {QStringLiteral("save"), true}}))
            .value(QStringLiteral("id"))
            .toString();
    desk.ok(cmd("display", {{QStringLiteral("id"), id}}));
    desk.ok(cmd("closeMain"));
    const QJsonObject after = desk.ok(cmd("state"));
    EXPECT_FALSE(after.value(QStringLiteral("mainWindow")).toBool());
    EXPECT_EQ(after.value(QStringLiteral("explorers")).toInt(), 0);
    EXPECT_TRUE(desk.running());
    desk.ok(cmd("close",
                {{QStringLiteral("id"), id}, {QStringLiteral("mode"), QStringLiteral("discard")}}));
    EXPECT_EQ(desk.waitForExit(), 0);

    // Started again without --store: the profile opens the add-in's store.
    DeskProcess again;
    ASSERT_TRUE(again.start(store));
    const QJsonArray stores = again.ok(cmd("state")).value(QStringLiteral("stores")).toArray();
    EXPECT_TRUE(stores.contains(store.storePath));
    EXPECT_EQ(again
                  .ok(cmd("find", {{QStringLiteral("folder"), qs(kScheduler)},
                                   {QStringLiteral("filter"), QStringLiteral("[Mileage] = 5")}}))
                  .value(QStringLiteral("id"))
                  .toString(),
              id);
    again.ok(cmd("quit"));
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
    const QString library = s.appDir + QStringLiteral("/liborlo.so");
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(ORLO_ADDIN_LIBRARY), library));
    RegistryStore settings(s.registryFile);
    host::AddinList addins(settings);
    ASSERT_TRUE(addins
                    .registerAddin({QStringLiteral("OrlonetPROv1.Connect"), library,
                                    host::AddinList::kLoadAtStartup, QStringLiteral("Orlo")})
                    .ok());

    DeskProcess desk;
    ASSERT_TRUE(desk.start(s));
    const QJsonObject state = desk.ok(cmd("state"));
    const QJsonArray loaded = state.value(QStringLiteral("addins")).toArray();
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_TRUE(loaded.at(0).toObject().value(QStringLiteral("connected")).toBool());
    // The add-in opened its own store into the desk's profile.
    EXPECT_TRUE(state.value(QStringLiteral("stores")).toArray().contains(s.storePath));

    // Closing the main window: the add-in writes its unload lists, and with
    // no item window left the desk ends.
    desk.ok(cmd("closeMain"));
    EXPECT_EQ(desk.waitForExit(), 0);
    EXPECT_EQ(orlo::test::readFile(s.appDir + QStringLiteral("/META/UNLOADP.log")),
              QByteArray("1\r\n2\r\n3\r\n"));
}
