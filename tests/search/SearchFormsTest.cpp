// The search windows' forms on a seeded database and the headless desk,
// driven as the windows drive them: the shared data, the finder, the
// selector, the history and the monthly recall window.

#include "SearchClinic.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "platform/data/Recordset.h"
#include "search/PatientHistory.h"
#include "search/PatientSelector.h"
#include "search/RecallByMonth.h"

namespace orlo::test {
namespace {

using search::PatientFinder;
using search::PatientHistory;
using search::PatientSelector;
using search::RecallByMonth;

using Texts = std::vector<const char*>;
QStringList L(const Texts& texts) {
    QStringList out;
    for (const char* t : texts) {
        out << QString::fromUtf8(t);
    }
    return out;
}

const QString kNoRecords = u"Orlo Database Error #3021|No Records are in the Database to Select."_s;

// Selects the row of patient `id` (the list's last column) as a click does.
void selectPatient(PatientFinder& f, const char* id) {
    f.setSelectedRow(SearchClinic::column(f, 18).indexOf(QLatin1String(id)));
}

std::shared_ptr<host::Item> activeItem(host::Application& app) {
    const auto inspector = app.ActiveInspector();
    return inspector ? inspector->CurrentItem() : nullptr;
}

TEST_F(SearchClinic, AWindowClosingLeavesTheOthersTheirRowsAndNoDatabaseNone) {
    display(contactOf(u"3"_s));
    PatientHistory history(services());
    ASSERT_TRUE(history.Form_Load());
    auto finder = std::make_unique<PatientFinder>(services());
    ASSERT_TRUE(finder->Form_Load());
    RecallByMonth recall(services(), {});
    recall.Form_Load();
    // Another patient's contact, and a finder opened over it.
    display(contactOf(u"1"_s));
    PatientFinder second(services());
    ASSERT_TRUE(second.Form_Load());
    EXPECT_EQ(data->holders(), 4);

    finder.reset();  // unloaded
    second.Form_Unload();
    // A visit booked meanwhile: the refreshes read it.
    rawExec(
        u"INSERT INTO SCHEDULED (SCHEDULE_ID, PT_ID, LAST_NAME, FIRST_NAME, "
        "RECALLDUEDATE) VALUES (13, 3, 'Smith', 'Anna', '2026-05-05 00:00:00')"_s);
    recall.cmdRefresh_Click();
    history.cmdRefresh_Click();
    EXPECT_EQ(recall.list().rowCount(), 8);
    QStringList visits = column(history, 0);  // in the database's order
    visits.sort();
    EXPECT_EQ(visits, L({"10", "11", "12", "13"}));
    EXPECT_EQ(history.caption(), u"Patient History for: Smith, Anna"_s);
    EXPECT_TRUE(takeBoxes().isEmpty());

    history.Form_Unload();
    recall.Form_Unload();
    EXPECT_EQ(data->holders(), 0);
    EXPECT_EQ(data->current().SearchConnection, nullptr);

    // No database means no finder or history and an empty recall list.
    // The location, and the boxes' title|text (or the start of it).
    const std::pair<QString, QString> cases[] = {
        {QString(),
         u"Software Error|Unable to find database. \rPatients.mdb could not be found "
         "- Cannot load Patient Finder!\rPlease check the database location by "
         "clicking on Orlo -> Settings..."_s},
        {QDir(dbs.dir()).filePath(u"missing.mdb"_s),
         u"Software Error|There has been an error\r\n  "_s},
    };
    for (const auto& [location, box] : cases) {
        SCOPED_TRACE(location.toStdString());
        ASSERT_TRUE(registry
                        ->writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey,
                                        kDefaultDbLocationValue, location, REG_SZ)
                        .ok());
        PatientFinder noFinder(services());
        PatientHistory noHistory(services());
        EXPECT_FALSE(noFinder.Form_Load());
        EXPECT_FALSE(noHistory.Form_Load());
        RecallByMonth noRecall(services(), {});
        noRecall.Form_Load();
        EXPECT_EQ(noRecall.list().rowCount(), 0);
        noRecall.lstMonths_Click(u"December"_s);
        EXPECT_FALSE(noRecall.printEnabled());
        const QStringList shown = takeBoxes();
        ASSERT_EQ(shown.size(), 3);
        for (const QString& b : shown) {
            EXPECT_TRUE(b.startsWith(box)) << b.toStdString();
        }
        EXPECT_EQ(data->holders(), 0);
    }
    EXPECT_TRUE(errorLog().contains(u"Error #-2147467259"_s)) << errorLog().toStdString();
}

TEST_F(SearchClinic, TypingSelectsAdvancedSearchFiltersAndHeaderClicksSort) {
    PatientFinder finder(services());
    ASSERT_TRUE(finder.Form_Load());
    EXPECT_EQ(finder.caption(), u"Patient Search"_s);
    EXPECT_EQ(column(finder, 18), L({"5", "1", "3", "4", "2"}));
    // What is typed, and the patient of the row selected.
    const std::pair<const char*, const char*> typings[] = {
        {"s", "5"},       // Adams lives in Smithfield, first in the list
        {"smithe", "4"},  // smithers, whatever the letter case
        {"smithx", "4"},  // no row: the selection stays
        {"01 5", "1"},    // a home telephone
        {"van", "2"},     // typing afresh
        {"dr k", "1"},    // a doctor, O'Brien before Smith
        {"", "5"},        // every row begins with nothing
    };
    for (const auto& [typed, id] : typings) {
        SCOPED_TRACE(typed);
        finder.Text1_Change(QString::fromLatin1(typed));
        ASSERT_GE(finder.selectedRow(), 0);
        EXPECT_EQ(finder.list().text(finder.selectedRow(), 18), QLatin1String(id));
    }

    // Search by, text, the filter made and the patients found.
    const std::tuple<const char*, const char*, const char*, Texts> searches[] = {
        {"Last Name", "O'Br", "[LAST NAME] LIKE *O'Br*", {"1"}},
        {"Last Name", "an Dy", "[LAST NAME] LIKE *an Dy*", {"2"}},
        {"Last Name", "zz", "[LAST NAME] LIKE *zz*", {}},
        // A search after one that found nothing searches every patient.
        {"Last Name", "SMITH", "[LAST NAME] LIKE *SMITH*", {"3", "4"}},
        {"City", "smith", "[CITY] LIKE *smith*", {"5"}},
        {"Doctor", "Ode", "[DOCTOR] LIKE *Ode*", {"5", "2"}},
        {"Date of Birth", "/1980", "[DOB] LIKE */1980*", {"1"}},
        {"Home Telephone", "0113", "[HOME_TEL] LIKE *0113*", {"3"}},
        {"State/Province", "x", "[STATE] LIKE *x*", {}},
    };
    for (const auto& [by, typed, filter, ids] : searches) {
        SCOPED_TRACE(typed);
        finder.setSearchBy(QString::fromLatin1(by));
        finder.Text1_Change(QString::fromLatin1(typed));
        finder.Search1_Click();
        EXPECT_EQ(finder.filter(), QString::fromLatin1(filter));
        EXPECT_EQ(column(finder, 18), L(ids));
    }
    finder.cmdRefresh_Click();
    EXPECT_EQ(finder.filter(), QString());
    EXPECT_EQ(finder.list().rowCount(), 5);

    // An empty search box: a word to the user, the list as it was.
    finder.setSearchBy(u"Last Name"_s);
    finder.Text1_Change(u"Smith"_s);
    finder.Search1_Click();
    finder.Text1_Change(QString());
    finder.Search1_Click();
    EXPECT_EQ(finder.filter(), u"[LAST NAME] LIKE *Smith*"_s);
    EXPECT_EQ(column(finder, 18), L({"3", "4"}));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(takeBoxes(), L({"Orlo Software|Please enter a value in search box"}));

    finder.cmdRefresh_Click();
    selectPatient(finder, "4");
    // The header clicked, and the column's texts afterwards.
    const std::pair<int, Texts> clicks[] = {
        {2, {"Anna", "Aoife", "Bob", "Leo", "Zoe"}},
        {2, {"Zoe", "Leo", "Bob", "Aoife", "Anna"}},
        {1, {"Adams", "O'Brien", "Smith", "smithers", "Van Dyke"}},
        {1, {"Van Dyke", "smithers", "Smith", "O'Brien", "Adams"}},
        {1, {"Adams", "O'Brien", "Smith", "smithers", "Van Dyke"}},
    };
    for (const auto& [clicked, texts] : clicks) {
        finder.lvwTransactions_ColumnClick(clicked);
        EXPECT_EQ(column(finder, clicked), L(texts));
        EXPECT_EQ(finder.list().text(finder.selectedRow(), 18), u"4");
    }
    // The list keeps its order when it is filled again.
    finder.cmdRefresh_Click();
    EXPECT_EQ(column(finder, 1), L(clicks[4].second));

    // A long list filled in steps is complete before any action.
    PatientFinder stepped(services());
    stepped.setFillSteps(2, 1);
    ASSERT_TRUE(stepped.Form_Load());
    EXPECT_EQ(column(stepped, 18), L({"5", "1"}));
    stepped.loadMore();
    EXPECT_TRUE(stepped.isFilling());
    stepped.Text1_Change(u"van"_s);
    EXPECT_FALSE(stepped.isFilling());
    EXPECT_EQ(column(stepped, 18), L({"5", "1", "3", "4", "2"}));
    EXPECT_EQ(stepped.selectedRow(), 4);
}

TEST_F(SearchClinic, EditDeleteAndAddOpenChangeOrSayWhyNotAndHelpShowsItsTopic) {
    const QString missing = u"|91\r\nThe contact of patient 3 is not in the \"Patients\" folder."_s;
    const QString unselected = u"|91\r\nNo patient is selected in the list."_s;
    for (const auto kind : {PatientFinder::Kind::Finder, PatientFinder::Kind::Selector}) {
        const QString title = kind == PatientFinder::Kind::Finder ? u"Orlo Sofware Error"_s
                                                                  : u"Orlo Software Error"_s;
        PatientFinder finder(services(), kind);
        ASSERT_TRUE(finder.Form_Load());
        finder.cmdEdit_Click();
        selectPatient(finder, "3");
        finder.cmdEdit_Click();
        EXPECT_EQ(takeBoxes(), QStringList({title + unselected, title + missing}));
    }
    const auto contact = contactOf(u"3"_s);
    PatientFinder finder(services());
    ASSERT_TRUE(finder.Form_Load());
    selectPatient(finder, "3");
    finder.lvwTransactions_DblClick();
    EXPECT_EQ(activeItem(*app), contact);
    EXPECT_TRUE(takeBoxes().isEmpty());

    // "&Help" without its page, then with it.
    RecallByMonth recall(services(), {});
    finder.cmdHelp_Click();
    recall.cmdHelp_Click();
    const QString noPage = u"|53\r\nThe help topic 1 could not be found ("_s +
                           QDir(dbs.dir()).filePath(u"Help/1.html"_s) + u")."_s;
    EXPECT_EQ(takeBoxes(),
              QStringList({u"Orlo Software Error"_s + noPage, u"Orlo Sofware Error"_s + noPage}));
    writeFile(QDir(dbs.dir()).filePath(u"Help/1.html"_s), "<h1>Help</h1>");
    finder.cmdHelp_Click();
    EXPECT_TRUE(takeBoxes().isEmpty());

    // Delete asks, then deletes or says why not; Add starts a new contact.
    const QString confirm =
        u"Orlo Software - Confirm Record Delete|Are you sure you want to delete the selected "
        "record?"_s;
    // The patient, the answer, the boxes after the confirmation, and the patients left.
    const std::tuple<const char*, MsgAnswer, Texts, qint64> cases[] = {
        {"4", MsgAnswer::No, {}, 5},
        {"3",
         MsgAnswer::Yes,
         {"Orlo Database Error #-2147217887|The selected patient has appointment records. Please "
          "delete appointments first and try to delete patient record again."},
         5},
        {"4", MsgAnswer::Yes, {"Orlo Software|Record has been successfully deleted."}, 4},
        {"none",
         MsgAnswer::Yes,
         {"Orlo Software Error|91\r\nNo patient is selected in the list."},
         4},
    };
    for (const auto& [id, answer, shown, left] : cases) {
        SCOPED_TRACE(id);
        selectPatient(finder, id);
        boxes.queueAnswer(answer);
        finder.cmdDelete_Click();
        EXPECT_EQ(takeBoxes(), QStringList{confirm} + L(shown));
        EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM PATIENTS"_s), left);
        EXPECT_EQ(finder.list().rowCount(), left);
    }
    EXPECT_FALSE(column(finder, 18).contains(u"4"_s));

    finder.cmdAdd_Click();
    const auto added = activeItem(*app);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->MessageClass(), u"IPM.Contact.Patient"_s);
    EXPECT_EQ(added->entryId(), 0);  // not saved
    EXPECT_TRUE(takeBoxes().isEmpty());

    rawExec(u"DELETE FROM SCHEDULED; DELETE FROM PATIENTS"_s);
    PatientFinder empty(services());
    ASSERT_TRUE(empty.Form_Load());
    EXPECT_EQ(empty.list().rowCount(), 0);
    empty.cmdEdit_Click();
    EXPECT_EQ(takeBoxes(), QStringList({kNoRecords}));
}

TEST_F(SearchClinic, SelectCopiesThePatientUnsavedAndRecallMonthsListAndPrint) {
    const auto select = [&](const char* id) {
        PatientSelector selector(services());
        EXPECT_TRUE(selector.Form_Load());
        selectPatient(selector, id);
        return selector.cmdSelectPT_Click();  // true: the selector closes
    };
    const QString problem =
        u"Orlo Software Error|There was a problem copying the data to this appointment, please "
        "close all windows and try again"_s;
    // No item window, then a contact's: nothing copied, and the user told.
    EXPECT_TRUE(select("1"));
    const auto contact = contactOf(u"5"_s);
    display(contact);
    EXPECT_TRUE(select("1"));
    EXPECT_EQ(takeBoxes(), QStringList({problem, problem}));
    EXPECT_EQ(text(contact, u"DOB"_s), u"05/05/2001"_s);

    const auto visit = newAppointment(naiveDateTime(QDate(2026, 3, 20), QTime(9, 0)), QString());
    display(visit);
    const auto copied = [&] {
        QStringList out;
        for (const char* p : {"sPTID", "LNAME", "FNAME", "TELNUMBER"}) {
            out << text(visit, QString::fromLatin1(p));
        }
        return out;
    };
    EXPECT_FALSE(select("none"));
    EXPECT_EQ(takeBoxes(), L({"Orlo Software Error|91\r\nNo patient is selected in the list."}));
    EXPECT_EQ(copied(), L({"", "", "", ""}));
    EXPECT_TRUE(select("3"));
    EXPECT_EQ(copied(), L({"3", "Smith", "Anna", "0113 496 0000"}));
    EXPECT_TRUE(select("2"));  // no middle initial, no home telephone
    EXPECT_EQ(copied(), L({"2", "Van Dyke", "Leo", ""}));
    EXPECT_FALSE(visit->Saved());
    EXPECT_FALSE(visit->hasProperty(u"MI"_s));
    EXPECT_TRUE(takeBoxes().isEmpty());

    // The recall window: months list their recalls to the month's last day,
    // and a print gets what is listed.
    QStringList printed;  // "<month> <year>: <rows>" of each print
    RecallByMonth recall(services(), [&](const QString& month, const QString& year,
                                         std::shared_ptr<data::Recordset> rows) {
        printed << month + u' ' + year + u':' + QString::number(*rows->recordCount());
    });
    recall.Form_Load();
    EXPECT_EQ(recall.yearText(), u"2026"_s);
    ASSERT_EQ(recall.years().size(), 25);
    EXPECT_EQ(recall.years().front() + recall.years().back(), u"20262050"_s);
    EXPECT_EQ(column(recall, 1), L({"30/11/2026", "01/12/2026", "31/12/2026", "01/01/2027",
                                    "28/02/2027", "01/03/2027", "29/02/2028"}));
    recall.cmdPrint_Click();  // no month yet
    EXPECT_TRUE(printed.empty());
    EXPECT_FALSE(recall.printEnabled());

    // Year, month, the recalls due listed, and what a print gets.
    const std::tuple<const char*, const char*, Texts, const char*> cases[] = {
        // The month windows themselves: see the system SQL suite.
        {"2026", "December", {"01/12/2026", "31/12/2026"}, "December 2026:2"},
        {"2027", "January", {"01/01/2027"}, "January 2027:1"},
        {"2028", "February", {"29/02/2028"}, "February 2028:1"},
        {"2026", "June", {""}, "June 2026:0"},
    };
    for (const auto& [year, month, due, print] : cases) {
        SCOPED_TRACE(std::string(year) + " " + month);
        recall.cmbYears_Click(QString::fromLatin1(year));
        recall.lstMonths_Click(QString::fromLatin1(month));
        EXPECT_EQ(column(recall, 1), L(due));
        EXPECT_TRUE(recall.printEnabled());
        recall.cmdPrint_Click();
        EXPECT_EQ(printed.value(printed.size() - 1), QLatin1String(print));
    }
    EXPECT_EQ(column(recall, 0) + column(recall, 2), L({"No Records", ""}));

    // A year chosen after the month lists that month of the new year.
    recall.lstMonths_Click(u"February"_s);
    recall.cmbYears_Click(u"2028"_s);
    EXPECT_EQ(column(recall, 1) + column(recall, 2), L({"29/02/2028", "O'Brien"}));
    EXPECT_EQ(recall.RecallReportYear(), u"2028"_s);
    recall.cmdRefresh_Click();
    EXPECT_EQ(recall.list().rowCount(), 7);
    EXPECT_TRUE(takeBoxes().isEmpty());
}

// The history takes only a plain patient id, and opens the chosen
// appointment or says why not.
TEST_F(SearchClinic, TakesOnlyAPlainPatientIdAndOpensTheChosenAppointment) {
    // The patient's visits; none for the others, and their caption stays.
    for (const char* id : {"3", "3 OR 1=1", "3; DELETE FROM SCHEDULED", "", "5"}) {
        SCOPED_TRACE(id);
        const bool smith = std::string_view(id) == "3";
        // Not the add-in's folder: its contact handlers leave it alone.
        auto contact = newPatient(u"X"_s, u"Y"_s, QString(), otherPatients);
        set(contact, u"PatientID"_s, QString::fromLatin1(id));
        display(contact);
        PatientHistory history(services());
        ASSERT_TRUE(history.Form_Load());
        EXPECT_EQ(column(history, 8), smith ? L({"10", "11", "12"}) : QStringList());
        EXPECT_EQ(history.caption(),
                  smith ? u"Patient History for: Smith, Anna"_s : u"Patient History"_s);
    }
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM SCHEDULED"_s), 8);
    EXPECT_TRUE(takeBoxes().isEmpty());

    ctx->ApptItemSaveEnabled = false;
    auto stored = schedulerFolder->Items()->Add();
    ASSERT_TRUE(stored.ok());
    set(*stored, u"ScheduleID"_s, u"11"_s);
    ASSERT_TRUE((*stored)->Save().ok());
    ctx->ApptItemSaveEnabled = true;
    display(contactOf(u"3"_s));
    PatientHistory history(services());
    ASSERT_TRUE(history.Form_Load());
    history.cmdEdit_Click();
    history.setSelectedRow(2);
    history.cmdEdit_Click();
    EXPECT_EQ(takeBoxes(), L({"Orlo Sofware Error|91\r\nNo appointment is selected in the list.",
                              "Orlo Sofware Error|91\r\nAppointment 12 is not in the \"Scheduler\" "
                              "folder."}));
    history.setSelectedRow(1);
    history.lvwPatientHist_DblClick();
    EXPECT_EQ(activeItem(*app), *stored);

    display(contactOf(u"5"_s));
    PatientHistory none(services());
    ASSERT_TRUE(none.Form_Load());
    none.cmdEdit_Click();
    EXPECT_EQ(takeBoxes(), QStringList({kNoRecords}));
}

}  // namespace
}  // namespace orlo::test
