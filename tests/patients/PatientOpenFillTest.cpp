// Opening a saved contact (refresh from its row, the offer to delete an
// item whose row is gone) and the fill operations that peers and the resync
// use to write contact items.

#include <functional>

#include "RecordsFixture.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/Items.h"
#include "host/commandbars/CommandBar.h"
#include "host/commandbars/CommandBars.h"
#include "host/forms/FormControl.h"
#include "patients/basOutlookPatients.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::test {
namespace {

class PatientOpenTest : public RecordsFixture {
protected:
    // A contact saved to the database (row 1), its window closed again.
    std::shared_ptr<host::Item> savedPatient() {
        auto item = newPatient(u"Smith"_s, u"Ann"_s, u"01/02/1970"_s);
        display(item);
        EXPECT_TRUE(item->Close(host::SaveMode::Save).ok());
        EXPECT_EQ(text(item, u"PatientID"_s), u"1"_s);
        peers.lines.clear();
        return item;
    }

    QString control(const std::shared_ptr<host::Item>& item, const QString& name) {
        auto c = item->GetInspector()->formControl(u"General"_s, name);
        EXPECT_TRUE(c.ok()) << name.toStdString();
        return c.ok() ? (*c)->Value()->text(locale) : QString();
    }

    static patients::PatientFieldValues values(const QString& id, const QString& last) {
        patients::PatientFieldValues v;
        for (int p = 1; p <= 50; ++p) {
            v << u"v%1"_s.arg(p);
        }
        v[0] = id;
        v[1] = last;
        v[47] = u"01/01/2020 08:00:00"_s;  // 48: not applied
        v[48] = u"01/01/2020 08:00:00"_s;  // 49: not applied
        return v;
    }
};

TEST_F(PatientOpenTest, OpenShowsTheRowsValues) {
    auto item = savedPatient();
    rawExec(
        u"UPDATE PATIENTS SET \"LAST NAME\" = 'Smyth', MID_IN = 'Jo', DOB = '03/04/1971', "
        "HOME_TEL = '0113 496 0000', CTGNOTE = 'Prefers mornings', CLINICAL_HEIGHT = '5', "
        "NOTES_NOTES2 = 'Seen by Dr O''Hara', DELETE_FLAG = 'YES' WHERE PT_ID = 1"_s);
    display(item);

    EXPECT_EQ(control(item, u"LastNameTextBox"_s), u"Smyth"_s);
    EXPECT_EQ(control(item, u"MiddleNameTextBox"_s), u"Jo"_s);
    EXPECT_EQ(control(item, u"DateOfBirth"_s), u"03/04/1971"_s);
    EXPECT_EQ(control(item, u"Phone2"_s), u"0113 496 0000"_s);
    EXPECT_EQ(text(item, u"HomeTel"_s), u"0113 496 0000"_s);
    EXPECT_EQ(text(item, u"Gnote"_s), u"Prefers mornings"_s);
    EXPECT_EQ(text(item, u"HeightFT"_s), u"5"_s);
    EXPECT_EQ(text(item, u"NotesPage2"_s), u"Seen by Dr O'Hara"_s);
    // A flagged row is shown like any other.
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PatientOpenTest, AddPatientItemFillsFormAndNeverWritesTheDatabase) {
    auto open = newPatient(u"Open"_s, u"Window"_s, u"01/01/2000"_s);
    display(open);  // an item window is active: "Check Names" runs on it
    int checkNames = 0;
    auto tools = app->ActiveInspector()->CommandBars()->Item(u"Tools"_s);
    ASSERT_TRUE(tools.ok());
    auto button = (*tools)->Controls()->Item(u"Check Names"_s);
    ASSERT_TRUE(button.ok());
    auto sub = (*button)->events.Click.connect(
        [&](const std::shared_ptr<host::CommandBarControl>&, bool&) { ++checkNames; });

    ASSERT_TRUE(patients::AddPatientItem(*ctx, values(u"40"_s, u"Ó'Dea"_s)).ok());
    EXPECT_FALSE(ctx->PatientItemSaveEnabled);  // the caller sets it back
    ctx->PatientItemSaveEnabled = true;
    EXPECT_EQ(checkNames, 1);

    auto found = patientsFolder->Items()->Find(u"[PatientID] = 40"_s);
    ASSERT_TRUE(found.ok() && *found);
    EXPECT_EQ(text(*found, u"Last Name"_s), u"Ó'Dea"_s);
    EXPECT_EQ(text(*found, u"DOB"_s), u"v4"_s);
    EXPECT_EQ(text(*found, u"Middle Name"_s), u"v5"_s);
    EXPECT_EQ(text(*found, u"Gnote"_s), u"v29"_s);
    EXPECT_EQ(text(*found, u"NotesPage2"_s), u"v47"_s);
    EXPECT_EQ(text(*found, u"DeleteFlag"_s), u"v50"_s);
    EXPECT_EQ(text(*found, u"Customer ID"_s), u"40"_s);
    // 48 and 49 are not applied: "Created" is the desk's own.
    EXPECT_EQ(text(*found, u"Created"_s), u"15/03/2026 09:30:00"_s);
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM PATIENTS"_s), 0);
    EXPECT_TRUE(peers.lines.empty());

    auto byCustomer = patients::PatientExistsByCustomerID(*ctx, u"40"_s);
    ASSERT_TRUE(byCustomer.ok());
    EXPECT_TRUE(*byCustomer);
    bool exists = false;
    ASSERT_TRUE(patients::PatientExists(*ctx, u"40"_s, exists).ok());
    EXPECT_TRUE(exists);
    ASSERT_TRUE(patients::PatientExists(*ctx, u"41"_s, exists).ok());
    EXPECT_FALSE(exists);
    ASSERT_TRUE(patients::PatientExists(*ctx, QString(), exists).ok());
    EXPECT_FALSE(exists);
    EXPECT_FALSE(*patients::PatientExistsByCustomerID(*ctx, QString()));
}

TEST_F(PatientOpenTest, UpdatePatientItemOfTheOpenItemNeverWritesTheDatabase) {
    auto item = savedPatient();
    display(item);
    const qint64 before = rawCount(u"SELECT COUNT(*) FROM PATIENTS"_s);
    ASSERT_TRUE(patients::UpdatePatientItem(*ctx, values(u"1"_s, u"Smith"_s)).ok());
    EXPECT_FALSE(ctx->PatientItemSaveEnabled);
    EXPECT_EQ(text(item, u"First Name"_s), u"v3"_s);
    EXPECT_EQ(text(item, u"City1"_s), u"v15"_s);
    EXPECT_TRUE(item->Saved());
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM PATIENTS"_s), before);
    EXPECT_EQ(rawValue(u"SELECT \"FIRST NAME\" FROM PATIENTS WHERE PT_ID = 1"_s), u"Ann"_s);
    EXPECT_TRUE(peers.lines.empty());

    // An id that no item carries fails in the caller and changes nothing.
    ctx->PatientItemSaveEnabled = true;
    const Status missing = patients::UpdatePatientItem(*ctx, values(u"77"_s, u"X"_s));
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(ctx->PatientItemSaveEnabled);
    EXPECT_FALSE(patients::AddPatientItem(*ctx, QStringList{u"1"_s}).ok());
}

TEST_F(PatientOpenTest, FindersFailWithoutTheFolder) {
    ctx->application.reset();
    bool exists = true;
    EXPECT_FALSE(patients::PatientExists(*ctx, u"1"_s, exists).ok());
    EXPECT_FALSE(patients::PatientExistsByCustomerID(*ctx, u"1"_s).ok());
    EXPECT_FALSE(patients::AddPatientItem(*ctx, values(u"1"_s, u"A"_s)).ok());
}

}  // namespace
}  // namespace orlo::test
