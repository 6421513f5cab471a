// Saving a contact in "Patients" beyond what every record shares: the
// duplicate rule, the date of birth, the guards, what the user sees when
// the database refuses, and the contact fills.

#include "RecordsFixture.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/commandbars/CommandBar.h"
#include "host/commandbars/CommandBars.h"
#include "patients/DateOfBirth.h"
#include "patients/PatientItemHandlers.h"
#include "patients/UpdatePatientRecord.h"
#include "patients/basOutlookPatients.h"

namespace orlo::test {
namespace {

class PatientSaveTest : public RecordsFixture {
protected:
    // A displayed (tracked) new contact with a few values beyond the three keys.
    std::shared_ptr<host::Item> openNewPatient(const QString& last, const QString& first,
                                               const QString& dob = u"01/02/1970"_s) {
        auto item = newPatient(last, first, dob);
        display(item);
        set(item, u"Middle Name"_s, u"Ann"_s);
        set(item, u"City1"_s, u"Leeds"_s);
        set(item, u"MED1"_s, u"Aspirin"_s);
        return item;
    }

    static patients::PatientFieldValues fillValues(const QString& id) {
        patients::PatientFieldValues v(50, u"x"_s);
        v[0] = id;
        return v;
    }

    QString column(const QString& name, int id = 1) const {
        return rawValue(u"SELECT \"%1\" FROM PATIENTS WHERE PT_ID = %2"_s.arg(name).arg(id))
            .value_or(u"<null>"_s);
    }
};

TEST_F(PatientSaveTest, MissingKeyValueWritesNothingAndAChangedNameMakesANewRow) {
    const QString dob = u"01/02/1970"_s;
    const std::vector<std::array<QString, 3>> cases = {
        {QString(), u"Ann"_s, dob},
        {u"Smith"_s, QString(), dob},
        {u"Smith"_s, u"Ann"_s, QString()},
    };
    for (const auto& c : cases) {
        auto item = newPatient(c[0], c[1], c[2]);
        display(item);
        ASSERT_TRUE(item->Save().ok());
        EXPECT_TRUE(text(item, u"PatientID"_s).isEmpty());
    }
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM PATIENTS"_s), 0);
    EXPECT_TRUE(peers.lines.empty());
    EXPECT_TRUE(boxes.shown().empty());

    // A name changed after the first save makes a new row.
    auto item = openNewPatient(u"Smith"_s, u"Ann"_s);
    ASSERT_TRUE(item->Save().ok());
    set(item, u"Last Name"_s, u"Jones"_s);
    ASSERT_TRUE(item->Save().ok());

    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM PATIENTS"_s), 2);
    EXPECT_EQ(column(u"LAST NAME"_s, 1), u"Smith"_s);
    EXPECT_EQ(column(u"LAST NAME"_s, 2), u"Jones"_s);
    EXPECT_EQ(text(item, u"PatientID"_s), u"2"_s);
    ASSERT_EQ(peers.lines.size(), 2u);
    EXPECT_TRUE(peers.lines[1].startsWith(u"P,1,2,Jones,Ann,"_s));
}

TEST_F(PatientSaveTest, ADateOfBirthIsStoredAndMatchedInOneForm) {
    // Each contact is the same patient typed another way, saved in its own
    // window; a text that is no date stays as typed and is another patient.
    const std::vector<std::tuple<QString, QString, qint64>> typed = {
        {u"1/2/1970"_s, u"01/02/1970"_s, 1},
        {u"01/02/1970"_s, u"01/02/1970"_s, 1},
        {u" 1/02/70 "_s, u"01/02/1970"_s, 1},
        {u"Feb 1970?"_s, u"Feb 1970?"_s, 2},
    };
    for (const auto& [dob, stored, rows] : typed) {
        SCOPED_TRACE(dob.toStdString());
        auto item = openNewPatient(u"Smith"_s, u"Ann"_s, dob);
        ASSERT_TRUE(item->Save().ok());
        EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM PATIENTS"_s), rows);
        EXPECT_EQ(column(u"DOB"_s, int(rows)), stored);
        EXPECT_EQ(text(item, u"DOB"_s), stored);
    }
    EXPECT_TRUE(peers.lines[2].startsWith(u"P,2,1,Smith,Ann,01/02/1970,"_s));
}

TEST(DateOfBirthTest, ReadsTheWorkstationsShortDateOrderOnly) {
    const Locale uk = Locale::unitedKingdom();
    const Locale us = Locale::unitedStates();
    const std::vector<std::tuple<const Locale*, QString, QString>> cases = {
        {&uk, u"5/3/1970"_s, u"05/03/1970"_s},
        {&uk, u"31/12/30"_s, u"31/12/1930"_s},
        {&us, u"3/5/1970"_s, u"03/05/1970"_s},
        // Not the short date order, or not a date: kept as typed.
        {&us, u"31/12/1970"_s, u"31/12/1970"_s},
        {&uk, u"1970-03-05"_s, u"1970-03-05"_s},
        {&uk, u"5/3/1970 10:00"_s, u"5/3/1970 10:00"_s},
        {&uk, u"30/2/1970"_s, u"30/2/1970"_s},
    };
    for (const auto& [locale, typed, stored] : cases) {
        EXPECT_EQ(patients::canonicalDateOfBirth(typed, *locale), stored) << typed.toStdString();
    }
}

TEST_F(PatientSaveTest, ExistingRowWithSameNameAndBirthIsUpdatedAndQuotesMatch) {
    // A patient first entered on another workstation: the save finds the row
    // by name and date of birth, whatever key the item carries.
    rawExec(
        u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB, CITY)"
        " VALUES (7, 'O''Neil', 'Åsa', '02/03/1980', 'York')"_s);
    auto item = openNewPatient(u"O'Neil"_s, u"Åsa"_s, u"02/03/1980"_s);
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM PATIENTS"_s), 1);
    EXPECT_EQ(column(u"CITY"_s, 7), u"Leeds"_s);
    EXPECT_EQ(column(u"DELETE_FLAG"_s, 7), u"NO"_s);
    // The contact is linked to the row it found, inside the same save...
    EXPECT_EQ(text(item, u"PatientID"_s), u"7"_s);
    ASSERT_EQ(peers.lines.size(), 1u);
    EXPECT_TRUE(peers.lines[0].startsWith(u"P,2,7,O'Neil,Åsa,02/03/1980,Ann,"_s));
    // ...so that its next open reads that row.
    ASSERT_TRUE(item->Close(host::SaveMode::Discard).ok());
    rawExec(u"UPDATE PATIENTS SET CITY = 'Whitby' WHERE PT_ID = 7"_s);
    display(item);
    EXPECT_EQ(text(item, u"City1"_s), u"Whitby"_s);

    // The check matches quoted names and clears its answer first.
    patients::PatientItemHandlers handlers(*ctx);
    rawExec(
        u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB)"
        " VALUES (3, 'D''Arcy', 'Zoë', '05/06/1990')"_s);
    // A quoted name is found at the road (the existing-row test); an accent
    // is no match.
    handlers.PatientDuplicateCheck(dbPath, u"D'Arcy"_s, u"Zoe"_s, u"05/06/1990"_s);
    EXPECT_FALSE(handlers.PatientFound);
    EXPECT_EQ(patients::duplicateCheckQuery(u"D'Arcy"_s, u"Zoë"_s, u"05/06/1990"_s),
              u"Select [PT_ID],[LAST NAME],[FIRST NAME],[DOB] from PATIENTS WHERE "
              "[LAST NAME] = 'D''Arcy' AND [FIRST NAME] = 'Zoë' AND [DOB] = "
              "'05/06/1990'"_s);

    // A check that fails leaves no answer of an earlier one behind.
    ASSERT_TRUE(handlers.PatientDuplicateCheck(dbPath, u"D'Arcy"_s, u"Zoë"_s, u"05/06/1990"_s));
    ASSERT_EQ(handlers.FoundPatientID, u"3"_s);
    hideDatabase();
    EXPECT_FALSE(handlers.PatientDuplicateCheck(dbPath, u"A"_s, u"B"_s, u"C"_s));
    EXPECT_FALSE(handlers.PatientFound);
    EXPECT_TRUE(handlers.FoundPatientID.isEmpty());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, u"Patient DB Exists Error"_s);
}

TEST_F(PatientSaveTest, UpdateThatWritesNothingIsReportedAndLoggedWithoutClinicalText) {
    auto item = openNewPatient(u"Smith"_s, u"Ann"_s);
    ASSERT_TRUE(item->Save().ok());
    ASSERT_EQ(peers.lines.size(), 1u);

    // The database refuses the UPDATE.
    rawExec(
        u"CREATE TRIGGER refuse BEFORE UPDATE ON PATIENTS "
        "BEGIN SELECT RAISE(ABORT, 'read only'); END"_s);
    set(item, u"City1"_s, u"York"_s);
    set(item, u"CLDiagnosis"_s, u"Glaucoma suspect"_s);
    set(item, u"NotesPage1"_s, u"Fears needles"_s);
    ASSERT_TRUE(item->Save().ok());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::None);
    EXPECT_EQ(boxes.shown()[0].title, u"Orlo"_s);
    EXPECT_TRUE(boxes.shown()[0].text.contains(u"read only"_s));
    EXPECT_EQ(peers.lines.size(), 1u);
    EXPECT_EQ(column(u"CITY"_s), u"Leeds"_s);
    // The log keeps the provider's description in the entry's own form,
    // never the statement or a clinical value.
    EXPECT_TRUE(
        errorLog().endsWith(u"] Error #-2147217873\r   read only\r   (Source: Orlo Data Provider "
                            "(SQLite))\r   (SQL State: 23000)\r   (NativeError: 1811)\r\r\n"_s))
        << errorLog().toStdString();
    for (const char* secret : {"UPDATE", "Glaucoma", "needles", "Aspirin"}) {
        EXPECT_FALSE(errorLog().contains(QLatin1String(secret))) << secret;
    }
}

TEST_F(PatientSaveTest, AFailedDuplicateCheckEndsTheSave) {
    rawExec(
        u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB, CITY)"
        " VALUES (7, 'Smith', 'Ann', '01/02/1970', 'York')"_s);
    hideDatabase();
    // The file is back while the check's box is up, as a busy file is
    // freed a moment later: the save must not go on to insert.
    boxes.setWhileShown(
        [&](const MessageBoxRequest&) { EXPECT_TRUE(QFile::rename(dbPath + u".away"_s, dbPath)); });
    auto item = openNewPatient(u"Smith"_s, u"Ann"_s);
    ASSERT_TRUE(item->Save().ok());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, u"Patient DB Exists Error"_s);
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM PATIENTS"_s), 1);
    EXPECT_TRUE(text(item, u"PatientID"_s).isEmpty());
    EXPECT_TRUE(peers.lines.empty());

    // The next save finds the row and updates it.
    boxes.setWhileShown(nullptr);
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM PATIENTS"_s), 1);
    EXPECT_EQ(column(u"CITY"_s, 7), u"Leeds"_s);
    ASSERT_EQ(peers.lines.size(), 1u);
    EXPECT_TRUE(peers.lines[0].startsWith(u"P,2,7,Smith,Ann,"_s));
}

// The contact fills beyond what every record shares: "Check Names" runs in
// the active window, every value is needed and the folder too; and a key
// that is not a number never reaches the update's statement.
TEST_F(PatientSaveTest, FillsRunCheckNamesAndNeedEveryValueAndUpdatesANumericKey) {
    const QStringList texts(patients::kPatientUpdateTextCount, QString());
    EXPECT_FALSE(patients::UpdatePatientRecord(*ctx, dbPath, u"1 OR 1=1"_s, texts));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.shown()[0].text.contains(u"  13  "_s));

    auto open = newPatient(u"Open"_s, u"Window"_s, u"01/01/2000"_s);
    display(open);  // an item window is active: "Check Names" runs on it
    int checkNames = 0;
    auto tools = app->ActiveInspector()->CommandBars()->Item(u"Tools"_s);
    ASSERT_TRUE(tools.ok());
    auto button = (*tools)->Controls()->Item(u"Check Names"_s);
    ASSERT_TRUE(button.ok());
    auto sub = (*button)->events.Click.connect(
        [&](const std::shared_ptr<host::CommandBarControl>&, bool&) { ++checkNames; });
    ASSERT_TRUE(patients::AddPatientItem(*ctx, fillValues(u"40"_s)).ok());
    EXPECT_EQ(checkNames, 1);
    EXPECT_FALSE(patients::AddPatientItem(*ctx, QStringList{u"1"_s}).ok());

    ctx->application.reset();
    bool exists = true;
    EXPECT_FALSE(patients::PatientExists(*ctx, u"1"_s, exists).ok());
    EXPECT_FALSE(patients::PatientExistsByCustomerID(*ctx, u"1"_s).ok());
    EXPECT_FALSE(patients::AddPatientItem(*ctx, fillValues(u"1"_s)).ok());
}

}  // namespace
}  // namespace orlo::test
