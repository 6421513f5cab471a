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

namespace orlo::test {
namespace {

class PatientOpenTest : public RecordsFixture {
protected:
    // A contact saved to the database (row 1), its window closed again.
    std::shared_ptr<host::Item> savedPatient() {
        auto item = newPatient(QStringLiteral("Smith"), QStringLiteral("Ann"),
                               QStringLiteral("01/02/1970"));
        display(item);
        EXPECT_TRUE(item->Close(host::SaveMode::Save).ok());
        EXPECT_EQ(text(item, QStringLiteral("PatientID")), QStringLiteral("1"));
        peers.lines.clear();
        return item;
    }

    QString control(const std::shared_ptr<host::Item>& item, const QString& name) {
        auto c = item->GetInspector()->formControl(QStringLiteral("General"), name);
        EXPECT_TRUE(c.ok()) << name.toStdString();
        return c.ok() ? (*c)->Value()->text(locale) : QString();
    }

    static patients::PatientFieldValues values(const QString& id, const QString& last) {
        patients::PatientFieldValues v;
        for (int p = 1; p <= 50; ++p) {
            v << QStringLiteral("v%1").arg(p);
        }
        v[0] = id;
        v[1] = last;
        v[47] = QStringLiteral("01/01/2020 08:00:00");  // 48: not applied
        v[48] = QStringLiteral("01/01/2020 08:00:00");  // 49: not applied
        return v;
    }
};

TEST_F(PatientOpenTest, OpenShowsTheRowsValues) {
    auto item = savedPatient();
    rawExec(QStringLiteral(
        "UPDATE PATIENTS SET \"LAST NAME\" = 'Smyth', MID_IN = 'Jo', DOB = '03/04/1971', "
        "HOME_TEL = '0113 496 0000', CTGNOTE = 'Prefers mornings', CLINICAL_HEIGHT = '5', "
        "NOTES_NOTES2 = 'Seen by Dr O''Hara', DELETE_FLAG = 'YES' WHERE PT_ID = 1"));
    display(item);

    EXPECT_EQ(control(item, QStringLiteral("LastNameTextBox")), QStringLiteral("Smyth"));
    EXPECT_EQ(control(item, QStringLiteral("MiddleNameTextBox")), QStringLiteral("Jo"));
    EXPECT_EQ(control(item, QStringLiteral("DateOfBirth")), QStringLiteral("03/04/1971"));
    EXPECT_EQ(control(item, QStringLiteral("Phone2")), QStringLiteral("0113 496 0000"));
    EXPECT_EQ(text(item, QStringLiteral("HomeTel")), QStringLiteral("0113 496 0000"));
    EXPECT_EQ(text(item, QStringLiteral("Gnote")), QStringLiteral("Prefers mornings"));
    EXPECT_EQ(text(item, QStringLiteral("HeightFT")), QStringLiteral("5"));
    EXPECT_EQ(text(item, QStringLiteral("NotesPage2")), QStringLiteral("Seen by Dr O'Hara"));
    // A flagged row is shown like any other.
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PatientOpenTest, AddPatientItemFillsFormAndNeverWritesTheDatabase) {
    auto open =
        newPatient(QStringLiteral("Open"), QStringLiteral("Window"), QStringLiteral("01/01/2000"));
    display(open);  // an item window is active: "Check Names" runs on it
    int checkNames = 0;
    auto tools = app->ActiveInspector()->CommandBars()->Item(QStringLiteral("Tools"));
    ASSERT_TRUE(tools.ok());
    auto button = (*tools)->Controls()->Item(QStringLiteral("Check Names"));
    ASSERT_TRUE(button.ok());
    auto sub = (*button)->events.Click.connect(
        [&](const std::shared_ptr<host::CommandBarControl>&, bool&) { ++checkNames; });

    ASSERT_TRUE(
        patients::AddPatientItem(*ctx, values(QStringLiteral("40"), QStringLiteral("Ó'Dea"))).ok());
    EXPECT_FALSE(ctx->PatientItemSaveEnabled);  // the caller sets it back
    ctx->PatientItemSaveEnabled = true;
    EXPECT_EQ(checkNames, 1);

    auto found = patientsFolder->Items()->Find(QStringLiteral("[PatientID] = 40"));
    ASSERT_TRUE(found.ok() && *found);
    EXPECT_EQ(text(*found, QStringLiteral("Last Name")), QStringLiteral("Ó'Dea"));
    EXPECT_EQ(text(*found, QStringLiteral("DOB")), QStringLiteral("v4"));
    EXPECT_EQ(text(*found, QStringLiteral("Middle Name")), QStringLiteral("v5"));
    EXPECT_EQ(text(*found, QStringLiteral("Gnote")), QStringLiteral("v29"));
    EXPECT_EQ(text(*found, QStringLiteral("NotesPage2")), QStringLiteral("v47"));
    EXPECT_EQ(text(*found, QStringLiteral("DeleteFlag")), QStringLiteral("v50"));
    EXPECT_EQ(text(*found, QStringLiteral("Customer ID")), QStringLiteral("40"));
    // 48 and 49 are not applied: "Created" is the desk's own.
    EXPECT_EQ(text(*found, QStringLiteral("Created")), QStringLiteral("15/03/2026 09:30:00"));
    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM PATIENTS")), 0);
    EXPECT_TRUE(peers.lines.empty());

    auto byCustomer = patients::PatientExistsByCustomerID(*ctx, QStringLiteral("40"));
    ASSERT_TRUE(byCustomer.ok());
    EXPECT_TRUE(*byCustomer);
    bool exists = false;
    ASSERT_TRUE(patients::PatientExists(*ctx, QStringLiteral("40"), exists).ok());
    EXPECT_TRUE(exists);
    ASSERT_TRUE(patients::PatientExists(*ctx, QStringLiteral("41"), exists).ok());
    EXPECT_FALSE(exists);
    ASSERT_TRUE(patients::PatientExists(*ctx, QString(), exists).ok());
    EXPECT_FALSE(exists);
    EXPECT_FALSE(*patients::PatientExistsByCustomerID(*ctx, QString()));
}

TEST_F(PatientOpenTest, UpdatePatientItemOfTheOpenItemNeverWritesTheDatabase) {
    auto item = savedPatient();
    display(item);
    const qint64 before = rawCount(QStringLiteral("SELECT COUNT(*) FROM PATIENTS"));
    ASSERT_TRUE(
        patients::UpdatePatientItem(*ctx, values(QStringLiteral("1"), QStringLiteral("Smith")))
            .ok());
    EXPECT_FALSE(ctx->PatientItemSaveEnabled);
    EXPECT_EQ(text(item, QStringLiteral("First Name")), QStringLiteral("v3"));
    EXPECT_EQ(text(item, QStringLiteral("City1")), QStringLiteral("v15"));
    EXPECT_TRUE(item->Saved());
    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM PATIENTS")), before);
    EXPECT_EQ(rawValue(QStringLiteral("SELECT \"FIRST NAME\" FROM PATIENTS WHERE PT_ID = 1")),
              QStringLiteral("Ann"));
    EXPECT_TRUE(peers.lines.empty());

    // An id that no item carries fails in the caller and changes nothing.
    ctx->PatientItemSaveEnabled = true;
    const Status missing =
        patients::UpdatePatientItem(*ctx, values(QStringLiteral("77"), QStringLiteral("X")));
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(ctx->PatientItemSaveEnabled);
    EXPECT_FALSE(patients::AddPatientItem(*ctx, QStringList{QStringLiteral("1")}).ok());
}

TEST_F(PatientOpenTest, FindersFailWithoutTheFolder) {
    ctx->application.reset();
    bool exists = true;
    EXPECT_FALSE(patients::PatientExists(*ctx, QStringLiteral("1"), exists).ok());
    EXPECT_FALSE(patients::PatientExistsByCustomerID(*ctx, QStringLiteral("1")).ok());
    EXPECT_FALSE(
        patients::AddPatientItem(*ctx, values(QStringLiteral("1"), QStringLiteral("A"))).ok());
}

}  // namespace
}  // namespace orlo::test
