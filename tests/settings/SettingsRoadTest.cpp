// The settings dialog the way a front desk uses it, through orlo-desk's
// automation channel: opened twice from the menu beside the finder, an
// empty and a wrong path tested, the right one tested, "Override IP"
// cleared and applied, an edit cancelled, a resync refused and then run,
// a compaction, and what goes wrong: another workstation registered, a
// resync on a wrong path, a missing help page, a settings file that cannot
// be written.

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include "DeskDriver.h"
#include "TestSupport.h"

namespace orlo::test {
namespace {

// "name=type:text" of the three settings under the add-in's key in the
// settings file, as the desk wrote them (text is stored as UTF-8 bytes).
QStringList storedSettings(const QString& file) {
    QStringList out;
    for (const QJsonValue& key : QJsonDocument::fromJson(readFile(file))[u"keys"_s].toArray()) {
        if (key[u"path"_s].toString() !=
            u"Software\\Microsoft\\Office\\Outlook\\Addins\\OrlonetPROv1.Connect"_s) {
            continue;
        }
        for (const QJsonValue& v : key[u"values"_s].toArray()) {
            out << u"%1=%2:%3"_s.arg(
                v[u"name"_s].toString(), QString::number(v[u"type"_s].toInt()),
                QString::fromUtf8(QByteArray::fromBase64(v[u"data"_s].toString().toLatin1())));
        }
    }
    // The add-in's own registration (FriendlyName, LoadBehavior, Path) shares the key.
    out = out.filter(QRegularExpression(u"^(ManualIP|ManualIPEnabled|defaultDBlocation)="_s));
    out.sort();
    return out;
}

QJsonObject on(const char* control, QJsonObject fields = {}) {
    fields.insert(u"window"_s, u"frmSettings"_s);
    fields.insert(u"control"_s, QString::fromLatin1(control));
    return fields;
}

TEST(SettingsRoad, ADeskTestsChangesAndMaintainsItsDatabase) {
    desk::test::DeskTestStore s;
    ASSERT_TRUE(s.create());
    const QString db = s.addDatabase();
    ASSERT_TRUE(s.listAddin(QString::fromUtf8(ORLO_ADDIN_LIBRARY)));
    DeskDriver desk;
    ASSERT_TRUE(desk.start(QString::fromUtf8(ORLO_DESK_BINARY), s));
    const QJsonObject settings{{u"path"_s, QJsonArray{u"&Orlo"_s, u"&Settings..."_s}}};
    // "name=text/enabled" of the controls asked for, and the boxes since the last look.
    const auto look = [&](std::initializer_list<const char*> names) {
        QStringList out;
        const QJsonObject reply = desk.ok("controls", {{u"window"_s, u"frmSettings"_s}});
        for (const char* name : names) {
            for (const QJsonValue& c : reply[u"controls"_s].toArray()) {
                if (c[u"name"_s].toString() == QLatin1String(name)) {
                    out << u"%1=%2/%3"_s.arg(QLatin1String(name), c[u"text"_s].toString(),
                                             c[u"enabled"_s].toBool() ? u"on"_s : u"off"_s);
                }
            }
        }
        for (const QJsonValue& b :
             desk.ok("messageBoxes", {{u"clear"_s, true}})[u"boxes"_s].toArray()) {
            out << b[u"title"_s].toString() + u'|' + b[u"text"_s].toString();
        }
        return out;
    };

    desk.ok("click", settings);
    desk.ok("click", {{u"path"_s, QJsonArray{u"&Orlo"_s, u"&Patient Finder..."_s}}});
    desk.ok("click", settings);
    EXPECT_EQ(desk.ok("windows")[u"windows"_s].toArray().size(), 2);
    // The desk's workstation pins its own address.
    const QString ip = look({"txtRefreshRate"}).value(0).section(u'=', 1).section(u'/', 0, 0);
    EXPECT_TRUE(ip.startsWith(u"127."_s)) << ip.toStdString();
    EXPECT_EQ(
        look({"fraDatabase", "txtdblocation", "cmdApply", "txtRefreshRate"}),
        (QStringList{u"fraDatabase=Database Location:/on"_s, u"txtdblocation="_s + db + u"/on"_s,
                     u"cmdApply=Apply/off"_s, u"txtRefreshRate=" + ip + u"/on"_s}));
    desk.refused("clickControl", on("cmdApply"));

    // Empty, missing, a folder, right: only the last connects, and the
    // missing file and the folder are left as they were.
    const QString wrong = db + u"x"_s;
    const QString folder = QFileInfo(db).absolutePath();
    const QStringList inFolder = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);
    for (const QString& path : {QString(), wrong, folder, db}) {
        desk.ok("setControl", on("txtdblocation", {{u"value"_s, path}}));
        desk.ok("clickControl", on("cmdTestDSN"));
    }
    EXPECT_EQ(look({}), (QStringList{u"Software Error|The database connection could not be made."_s,
                                     u"Software Error|The database connection could not be made."_s,
                                     u"Software Error|The database connection could not be made."_s,
                                     u"Software Message|Database Connection Successful!"_s}));
    EXPECT_FALSE(QFileInfo::exists(wrong));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden), inFolder);

    desk.ok("clickControl", on("chkRefresh"));
    EXPECT_EQ(look({"txtRefreshRate", "cmdApply"}),
              (QStringList{u"txtRefreshRate=" + ip + u"/off"_s, u"cmdApply=Apply/on"_s}));
    desk.ok("clickControl", on("cmdApply"));
    EXPECT_EQ(look({"cmdApply"}), (QStringList{u"cmdApply=Apply/off"_s,
                                               u"Orlo Software|Please restart MS Outlook "
                                               "for these settings to take effect."_s}));
    // All three kept as text (type 1); the box switched the address off.
    EXPECT_EQ(storedSettings(s.registryFile),
              (QStringList{u"ManualIP=1:"_s + ip, u"ManualIPEnabled=1:0"_s,
                           u"defaultDBlocation=1:"_s + db}));
    // An edit cancelled is gone when the dialog opens again; OK without an
    // edit says nothing.
    desk.ok("setControl", on("txtdblocation", {{u"value"_s, wrong}}));
    desk.ok("clickControl", on("cmdCancel"));
    desk.ok("click", settings);
    desk.ok("clickControl", on("cmdOK"));
    desk.ok("click", settings);
    EXPECT_EQ(
        look({"txtdblocation", "txtRefreshRate"}),
        (QStringList{u"txtdblocation="_s + db + u"/on"_s, u"txtRefreshRate=" + ip + u"/off"_s}));

    // A patient saved elsewhere reaches the folder by a resync, not by No.
    QProcess::execute(u"sqlite3"_s, {db, u"INSERT INTO PATIENTS (PT_ID) VALUES (41)"_s});
    desk.ok("answer", {{u"answers"_s, QJsonArray{u"No"_s, u"Yes"_s, u"Yes"_s}}});
    desk.ok("clickControl", on("cmdReSync"));
    desk.ok("clickControl", on("cmdReSync"));
    desk.ok("clickControl", on("cmdCompact"));
    const QStringList boxes = look({});
    EXPECT_EQ(boxes.filter(u"Software Message|"_s),
              (QStringList{u"Software Message|User cancelled"_s,
                           u"Software Message|Database ReSync Complete!"_s}));
    EXPECT_EQ(boxes.last(), u"Completed|Database successfully compacted."_s);
    EXPECT_EQ(desk.ok("items", {{u"folder"_s, QString::fromUtf16(desk::test::kPatients)}})
                  .value(u"total"_s)
                  .toInt(),
              1);

    // Another workstation registered: the file stays as it is. A resync on
    // a wrong path claims no completion; a missing help page is said.
    QProcess::execute(u"sqlite3"_s, {db, u"INSERT INTO CURRENTSESSIONS (IP) VALUES ('1.2.3.4')"_s});
    const QByteArray bytes = readFile(db);
    desk.ok("clickControl", on("cmdCompact"));
    desk.ok("setControl", on("txtdblocation", {{u"value"_s, wrong}}));
    desk.ok("clickControl", on("cmdReSync"));
    desk.ok("clickControl", on("Picture3"));
    EXPECT_EQ(readFile(db), bytes);
    EXPECT_EQ(look({}).replaceInStrings(QRegularExpression(u"\\r\\n.*"_s), QString()),
              (QStringList{u"Software - Confirm Compact|Are you sure you want to compact the "
                           "database?\rAll users must be logged out."_s,
                           u"Database Error|All users need to be out of the database before this "
                           "operation is possible."_s,
                           u"Software - Confirm ReSync|Are you sure you want to ReSync all "
                           "records?\rThis operation can take some time to complete, depending "
                           "on the number of records in the database."_s,
                           u"Software Error - Patients Resync|There has been an error"_s,
                           u"ReSync Schedule Software Error|There has been an error"_s,
                           u"Software Error|There has been an error"_s}));

    // A settings file that cannot be written: no restart message, Apply
    // stays on for another try.
    writeFile(s.registryFile, "{ damaged");
    desk.ok("clickControl", on("cmdApply"));
    EXPECT_EQ(look({"cmdApply"}).join(u'\n').section(u"\r\n"_s, 0, 0),
              u"cmdApply=Apply/on\nSoftware Error|There has been an error"_s);
    desk.ok("quit");
    EXPECT_EQ(desk.waitForExit(), 0);
}

}  // namespace
}  // namespace orlo::test
