// The road a front desk takes through orlo-desk, driven over its automation
// channel with what a user types. The first part is piped in at once,
// before the desk is ready, as a clinic's own scripts do: patient windows
// open while the main window shows "Scheduler", a save in the window opened
// first, a second save after an edit, a patient deleted in the desk and a
// new one saved. Then the search windows: the finder (an empty search
// first, a typed name, the contact opened, a search with an apostrophe),
// the recall window while the finder closes, the selector filling a new
// appointment without a recall date that is saved and saved again after an
// edit, and the history of the patient.

#include "DeskDriver.h"
#include "TestDatabases.h"

namespace orlo::test {
namespace {

QJsonObject control(const char* window, const char* name, QJsonObject fields = {}) {
    fields.insert(u"window"_s, QString::fromLatin1(window));
    fields.insert(u"control"_s, QString::fromLatin1(name));
    return fields;
}

QJsonObject typed(const char* window, const char* name, const QString& value) {
    return control(window, name, {{u"value"_s, value}});
}

TEST(DeskRoad, AMorningThroughTheFormsTheFinderTheSelectorAndTheHistory) {
    desk::test::DeskTestStore s;
    const QString db = s.createWithAddin(QString::fromUtf8(ORLO_ADDIN_LIBRARY));
    ASSERT_FALSE(db.isEmpty());
    DeskDriver desk;
    ASSERT_TRUE(desk.start(QString::fromUtf8(ORLO_DESK_BINARY), s));
    const QString patients = QString::fromUtf16(desk::test::kPatients);
    const auto windows = [&] {
        QStringList out;
        for (const QJsonValue& w : desk.ok("windows").value(u"windows"_s).toArray()) {
            out << w[u"name"_s].toString() + u'|' + w[u"title"_s].toString();
        }
        out.sort();
        return out;
    };
    const auto rows = [&](const char* window, const char* list) {
        return desk.ok("rows", control(window, list));
    };
    const auto inspectors = [&] { return desk.ok("state").value(u"inspectors"_s).toInt(); };
    const auto callAddin = [&](const char* method) {
        desk.ok("call", {{u"addin"_s, u"OrlonetPROv1.Connect"_s},
                         {u"method"_s, QString::fromLatin1(method)}});
    };

    // Piped in at once, before the desk has even started.
    int pending = 0;
    const auto pipe = [&](const char* name, QJsonObject fields) {
        desk.send(name, std::move(fields));
        return pending++;
    };
    const auto typePatient = [&](const char* handle, const char* last, const char* first,
                                 const char* dob, const char* city) {
        pipe("create", {{u"folder"_s, patients}});
        pipe("display", itemFields(QString::fromLatin1(handle)));
        pipe("set", typedOnPage(QString::fromLatin1(handle), "General",
                                {{"LastNameTextBox", QString::fromUtf8(last)},
                                 {"FirstNameTextBox", QString::fromUtf8(first)},
                                 {"DateOfBirth", QString::fromLatin1(dob)},
                                 {"CityBox", QString::fromLatin1(city)}}));
    };
    pipe("switchFolder", {{u"folder"_s, QString::fromUtf16(desk::test::kScheduler)}});
    typePatient("new1", "O'Brien", "Aoife", "2/3/1980", "Leeds");
    typePatient("new2", "Van Dyke", "Leo", "14/07/1975", "Hull");
    // The first window, while "Scheduler" is shown; then an edit and again.
    const int firstSave = pipe("save", itemFields(u"new1"_s));
    pipe("set", typedOnPage(u"new1"_s, "General", {{"CityBox", u"York"_s}}));
    pipe("save", itemFields(u"new1"_s));
    const int secondSave = pipe("save", itemFields(u"new2"_s));
    // A patient deleted in the desk, then a new one saved in its window.
    typePatient("new3", "Jones", "Bob", "03/04/1980", "Ripon");
    pipe("save", itemFields(u"new3"_s));
    pipe("delete", itemFields(u"new3"_s));
    typePatient("new4", "Patel", "Ravi", "05/06/1990", "Ripon");
    pipe("save", itemFields(u"new4"_s));
    std::vector<QJsonObject> replies;
    while (desk.awaitingReplies()) {
        replies.push_back(desk.reply());
    }
    ASSERT_EQ(replies.size(), std::size_t(pending));
    const QStringList contacts = {replies[firstSave].value(u"id"_s).toString(),
                                  replies[secondSave].value(u"id"_s).toString()};
    EXPECT_TRUE(desk.boxTexts().isEmpty());
    EXPECT_EQ(
        rawValueAt(db, QString::fromUtf8(
                           "SELECT group_concat(\"LAST NAME\" || '/' || DOB || '/' || CITY, ' ') "
                           "FROM (SELECT * FROM PATIENTS ORDER BY PT_ID)")),
        u"O'Brien/02/03/1980/York Van Dyke/14/07/1975/Hull "
        "Jones/03/04/1980/Ripon Patel/05/06/1990/Ripon"_s);
    for (const char* handle : {"new1", "new2", "new4"}) {
        desk.ok("close", itemFields(QString::fromLatin1(handle)));
    }
    EXPECT_EQ(inspectors(), 0);

    // The finder: an empty search, a typed name, the contact opened.
    desk.ok("click", {{u"path"_s, QJsonArray{u"&Orlo"_s, u"&Patient Finder..."_s}}});
    EXPECT_EQ(windows(), QStringList({u"frmPatientSearch|Patient Search"_s}));
    desk.ok("clickControl", control("frmPatientSearch", "Search1"));
    desk.ok("setControl", typed("frmPatientSearch", "Text1", u"van"_s));
    // Sorted by last name, "Van Dyke" is the fourth row.
    EXPECT_EQ(rows("frmPatientSearch", "lvwTransactions").value(u"selected"_s), 3);
    desk.ok("clickControl", control("frmPatientSearch", "cmdEdit"));
    EXPECT_EQ(inspectors(), 1);
    desk.ok("close", itemFields(contacts[1]));
    desk.ok("setControl", typed("frmPatientSearch", "Combo1", u"Last Name"_s));
    desk.ok("setControl", typed("frmPatientSearch", "Text1", u"o'b"_s));
    desk.ok("clickControl", control("frmPatientSearch", "Search1"));
    const QJsonArray found = rows("frmPatientSearch", "lvwTransactions")[u"rows"_s].toArray();
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0][1].toString() + found[0][18].toString(), u"O'Brien1"_s);

    // The recall window stays usable when the finder closes under it.
    desk.ok("click", {{u"path"_s, QJsonArray{u"&Orlo"_s, u"Repor&ts..."_s, u"&Recall Reports..."_s,
                                             u"&Monthly Recall Report"_s}}});
    desk.ok("closeWindow", {{u"window"_s, u"frmPatientSearch"_s}});
    desk.ok("selectRow", control("frmRecallbyMonth", "lstMonths", {{u"text"_s, u"December"_s}}));
    desk.ok("clickControl", control("frmRecallbyMonth", "cmdRefresh"));
    EXPECT_EQ(rows("frmRecallbyMonth", "lvwTransactions")[u"rows"_s][0][0].toString(),
              u"No Records"_s);
    desk.ok("closeWindow", {{u"window"_s, u"frmRecallbyMonth"_s}});

    // A new appointment filled from the selector, saved, edited and saved.
    const QString visit =
        desk.ok("create", {{u"folder"_s, QString::fromUtf16(desk::test::kScheduler)}})
            .value(u"id"_s)
            .toString();
    desk.ok("display", itemFields(visit));
    desk.ok("set",
            typedOnPage(visit, "Patient Scheduler",
                        {{"Start", u"16/03/2026 09:30:00"_s}, {"End", u"16/03/2026 10:00:00"_s}}));
    callAddin("displaysearchOrlo3");
    EXPECT_EQ(windows(), QStringList({u"frmSchedulePatientSearch|Patient Selector..."_s}));
    desk.ok("setControl", typed("frmSchedulePatientSearch", "Text1", u"Van"_s));
    desk.ok("clickControl", control("frmSchedulePatientSearch", "cmdSelectPT"));
    EXPECT_TRUE(windows().isEmpty());
    const QJsonObject copied = desk.ok("dump", itemFields(visit))[u"properties"_s].toObject();
    EXPECT_EQ(copied[u"sPTID"_s].toString(), u"2"_s);
    EXPECT_EQ(copied[u"LNAME"_s].toString(), u"Van Dyke"_s);
    EXPECT_EQ(copied[u"FNAME"_s].toString(), u"Leo"_s);
    const QString saved = desk.ok("save", itemFields(visit)).value(u"id"_s).toString();
    desk.ok("set", typedOnPage(saved, "Patient Scheduler", {{"REASON", u"Eye test"_s}}));
    desk.ok("save", itemFields(saved));
    EXPECT_EQ(
        rawValueAt(db,
                   QString::fromUtf8(
                       "SELECT group_concat(PT_ID || ' ' || LAST_NAME || ' ' || REASON || ' ' || "
                       "IFNULL(RECALLDUEDATE, 'none'), ', ') FROM SCHEDULED")),
        u"2 Van Dyke Eye test none"_s);
    desk.ok("close", itemFields(saved));

    // The history of the patient whose contact is open.
    desk.ok("display", itemFields(contacts[1]));
    callAddin("DisplayPatientHistory");
    EXPECT_EQ(windows(), QStringList({u"frmPHistory|Patient History for: Van Dyke, Leo"_s}));
    desk.ok("selectRow",
            control("frmPHistory", "lvwPatientHist", {{u"row"_s, 0}, {u"doubleClick"_s, true}}));
    EXPECT_EQ(inspectors(), 2);
    desk.ok("closeWindow", {{u"window"_s, u"frmPHistory"_s}});

    // Deleting from the finder and its boxes: see the server road.
    EXPECT_EQ(desk.boxTexts(), QStringList{u"Orlo Software|Please enter a value in search box"_s});
    desk.ok("quit");
    EXPECT_EQ(desk.waitForExit(), 0);
}

}  // namespace
}  // namespace orlo::test
