// The settings dialog the way a front desk uses it, through orlo-desk's
// automation channel: opened from the menu (twice, with the finder open
// too), an empty path and a wrong one tested, the right one applied, an
// edit cancelled, a second save after an edit, a resync refused and then
// run, a compaction, and a help icon without its page.

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QMap>

#include "DeskDriver.h"

namespace orlo::test {
namespace {

const char kWindow[] = "frmSettings";

QJsonObject control(const char* name, QJsonObject fields = {}) {
    fields.insert(u"window"_s, QString::fromLatin1(kWindow));
    fields.insert(u"control"_s, QString::fromLatin1(name));
    return fields;
}

QJsonObject typed(const char* name, const QString& value) {
    return control(name, {{u"value"_s, value}});
}

// "title|text" of every box shown since the last look.
QStringList boxesSeen(DeskDriver& desk) {
    QStringList out;
    for (const QJsonValue& b :
         desk.ok("messageBoxes", {{u"clear"_s, true}}).value(u"boxes"_s).toArray()) {
        out << b[u"title"_s].toString() + u'|' + b[u"text"_s].toString();
    }
    return out;
}

bool sqlite(const QString& db, const QString& sql) {
    QProcess shell;
    shell.start(u"sqlite3"_s, {db, sql});
    return shell.waitForFinished(10000) && shell.exitCode() == 0;
}

TEST(SettingsRoad, ADeskChangesTestsAndMaintainsItsDatabase) {
    desk::test::DeskTestStore s;
    ASSERT_TRUE(s.create());
    const QString db = s.addDatabase();
    ASSERT_FALSE(db.isEmpty());
    ASSERT_TRUE(s.listAddin(QString::fromUtf8(ORLO_ADDIN_LIBRARY)));
    DeskDriver desk;
    ASSERT_TRUE(desk.start(QString::fromUtf8(ORLO_DESK_BINARY), s));
    const QJsonObject openSettings{{u"path"_s, QJsonArray{u"&Orlo"_s, u"&Settings..."_s}}};
    const auto state = [&] {
        QMap<QString, QJsonObject> byName;
        for (const QJsonValue& c :
             desk.ok("controls", {{u"window"_s, QString::fromLatin1(kWindow)}})[u"controls"_s]
                 .toArray()) {
            byName.insert(c[u"name"_s].toString(), c.toObject());
        }
        return byName;
    };
    const auto settingsWindows = [&] {
        int n = 0;
        for (const QJsonValue& w : desk.ok("windows").value(u"windows"_s).toArray()) {
            n += w[u"title"_s].toString() == u"Orlo PRO Settings"_s;
        }
        return n;
    };

    // Opened twice from the menu beside the finder: one settings window.
    desk.ok("click", openSettings);
    desk.ok("click", {{u"path"_s, QJsonArray{u"&Orlo"_s, u"&Patient Finder..."_s}}});
    desk.ok("click", openSettings);
    EXPECT_EQ(settingsWindows(), 1);
    auto c = state();
    const auto text = [&](const char* name) {
        return c[QString::fromLatin1(name)][u"text"_s].toString();
    };
    const auto enabled = [&](const char* name) {
        return c[QString::fromLatin1(name)][u"enabled"_s].toBool();
    };
    EXPECT_EQ(text("fraDatabase"), u"Database Location:"_s);
    EXPECT_EQ(text("fraNetwork"), u"Network:"_s);
    EXPECT_EQ(text("fraCompact"), u"Compact Database:"_s);
    EXPECT_EQ(text("fraReSync"), u"Database ReSync:"_s);
    EXPECT_EQ(text("lblExample"),
              u"For Example: C:\\Program Files\\Patients.mdb  OR  X:\\Shared Area\\Patients.mdb"_s);
    EXPECT_EQ(c[u"Picture2"_s][u"toolTip"_s].toString(), u"Click Here for help..."_s);
    EXPECT_EQ(text("Text1"), u"20050"_s);
    EXPECT_EQ(text("txtdblocation"), db);
    EXPECT_FALSE(enabled("cmdApply"));
    // The desk's workstation pins its address: the box is on.
    EXPECT_TRUE(c[u"chkRefresh"_s][u"checked"_s].toBool());
    EXPECT_TRUE(enabled("txtRefreshRate"));
    desk.refused("clickControl", control("cmdApply"));

    // An empty field and a wrong path fail the test; nothing is created.
    const QString wrong = QFileInfo(db).absolutePath() + u"/Patient.mdb"_s;
    for (const QString& path : {QString(), wrong}) {
        desk.ok("setControl", typed("txtdblocation", path));
        desk.ok("clickControl", control("cmdTestDSN"));
        EXPECT_EQ(boxesSeen(desk),
                  QStringList{u"Software Error|The database connection could not be made."_s});
    }
    EXPECT_FALSE(QFileInfo::exists(wrong));
    desk.ok("setControl", typed("txtdblocation", db));
    desk.ok("clickControl", control("cmdTestDSN"));
    EXPECT_EQ(boxesSeen(desk), QStringList{u"Software Message|Database Connection Successful!"_s});

    // Override IP off and an address typed: Apply saves, and says so.
    desk.ok("clickControl", control("chkRefresh"));
    c = state();
    EXPECT_FALSE(enabled("txtRefreshRate"));
    EXPECT_TRUE(enabled("cmdApply"));
    desk.ok("clickControl", control("cmdApply"));
    EXPECT_EQ(boxesSeen(desk),
              QStringList{
                  u"Orlo Software|Please restart MS Outlook for these settings to take effect."_s});
    c = state();
    EXPECT_FALSE(enabled("cmdApply"));

    // An edit cancelled is not kept; the dialog opened again shows the saved
    // values. A second edit saved with OK closes it.
    desk.ok("setControl", typed("txtdblocation", wrong));
    desk.ok("clickControl", control("cmdCancel"));
    EXPECT_EQ(settingsWindows(), 0);
    desk.ok("click", openSettings);
    c = state();
    EXPECT_EQ(text("txtdblocation"), db);
    EXPECT_FALSE(c[u"chkRefresh"_s][u"checked"_s].toBool());
    EXPECT_FALSE(enabled("txtRefreshRate"));
    desk.ok("clickControl", control("chkRefresh"));
    desk.ok("setControl", typed("txtRefreshRate", u"127.0.0.1"_s));
    desk.ok("clickControl", control("cmdOK"));
    EXPECT_EQ(boxesSeen(desk).size(), 1);
    EXPECT_EQ(settingsWindows(), 0);
    desk.ok("click", openSettings);
    c = state();
    EXPECT_EQ(text("txtRefreshRate"), u"127.0.0.1"_s);
    EXPECT_TRUE(c[u"chkRefresh"_s][u"checked"_s].toBool());
    desk.ok("clickControl", control("cmdOK"));  // no edit: no message
    EXPECT_TRUE(boxesSeen(desk).isEmpty());

    // A patient saved elsewhere: No keeps the folder as it is, Yes adds it.
    desk.ok("click", openSettings);
    ASSERT_TRUE(sqlite(db, u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\") VALUES (41, 'Kent')"_s));
    const auto patients = [&] {
        return desk
            .ok("items",
                {{u"folder"_s, QString::fromUtf16(desk::test::kPatients)}, {u"limit"_s, 1}})
            .value(u"total"_s)
            .toInt();
    };
    desk.ok("answer", {{u"answers"_s, QJsonArray{u"No"_s}}});
    desk.ok("clickControl", control("cmdReSync"));
    EXPECT_EQ(boxesSeen(desk).last(), u"Software Message|User cancelled"_s);
    EXPECT_EQ(patients(), 0);
    desk.ok("answer", {{u"answers"_s, QJsonArray{u"Yes"_s}}});
    desk.ok("clickControl", control("cmdReSync"));
    EXPECT_EQ(boxesSeen(desk).last(), u"Software Message|Database ReSync Complete!"_s);
    EXPECT_EQ(patients(), 1);

    // Compaction: this desk alone is registered.
    desk.ok("answer", {{u"answers"_s, QJsonArray{u"Yes"_s}}});
    desk.ok("clickControl", control("cmdCompact"));
    EXPECT_EQ(boxesSeen(desk),
              (QStringList{u"Software - Confirm Compact|Are you sure you want to compact the "
                           "database?\rAll users must be logged out."_s,
                           u"Completed|Database successfully compacted."_s}));

    // The help icon of a topic this folder lacks: the window's error box.
    QFile::remove(s.appDir + u"/Help/9.html"_s);
    desk.ok("clickControl", control("Picture3"));
    const QStringList help = boxesSeen(desk);
    ASSERT_EQ(help.size(), 1);
    EXPECT_TRUE(
        help[0].startsWith(u"Software Error|There has been an error\r\n  The help topic "
                           "9 could not be found"_s));

    const QString picture = s.dir.filePath(u"settings.png"_s);
    desk.ok("screenshot", {{u"file"_s, picture}, {u"window"_s, QString::fromLatin1(kWindow)}});
    EXPECT_GT(QFileInfo(picture).size(), 0);
    desk.ok("quit");
    EXPECT_EQ(desk.waitForExit(), 0);
}

}  // namespace
}  // namespace orlo::test
