// Saving a contact in "Patients": insert, update, the duplicate rule, the
// guards, the peer notice, and what the user sees when the database fails.

#include <QDir>

#include "RecordsFixture.h"
#include "common/SqlQuote.h"
#include "host/Inspector.h"
#include "host/forms/FormControl.h"
#include "patients/DateOfBirth.h"
#include "patients/PatientItemHandlers.h"
#include "patients/UpdatePatientRecord.h"

namespace orlo::test {
namespace {

class PatientSaveTest : public RecordsFixture {
protected:
    // A displayed (tracked) new contact with a few values beyond the three keys.
    std::shared_ptr<host::Item> openNewPatient(const QString& last, const QString& first,
                                               const QString& dob = QStringLiteral("01/02/1970")) {
        auto item = newPatient(last, first, dob);
        display(item);
        set(item, QStringLiteral("Middle Name"), QStringLiteral("Ann"));
        set(item, QStringLiteral("City1"), QStringLiteral("Leeds"));
        set(item, QStringLiteral("MED1"), QStringLiteral("Aspirin"));
        return item;
    }

    // The patient values 5..47 of openNewPatient, joined as the notice has them.
    static QString middleValues(const QString& city = QStringLiteral("Leeds")) {
        QStringList v;
        for (int p = 5; p <= 47; ++p) {
            v << (p == 5    ? QStringLiteral("Ann")
                  : p == 15 ? city
                  : p == 36 ? QStringLiteral("Aspirin")
                            : QString());
        }
        return v.join(QLatin1Char(','));
    }

    QString column(const QString& name, int id = 1) const {
        return rawValue(
                   QStringLiteral("SELECT \"%1\" FROM PATIENTS WHERE PT_ID = %2").arg(name).arg(id))
            .value_or(QStringLiteral("<null>"));
    }
};

TEST_F(PatientSaveTest, NewContactInsertsOneRowAndKeepsItsKey) {
    auto item = openNewPatient(QStringLiteral("O'Brien"), QStringLiteral("Zoë"));
    ASSERT_TRUE(item->Save().ok());

    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM PATIENTS")), 1);
    EXPECT_EQ(column(QStringLiteral("LAST NAME")), QStringLiteral("O'Brien"));
    EXPECT_EQ(column(QStringLiteral("FIRST NAME")), QStringLiteral("Zoë"));
    EXPECT_EQ(column(QStringLiteral("DOB")), QStringLiteral("01/02/1970"));
    EXPECT_EQ(column(QStringLiteral("MID_IN")), QStringLiteral("Ann"));
    EXPECT_EQ(column(QStringLiteral("CITY")), QStringLiteral("Leeds"));
    EXPECT_EQ(column(QStringLiteral("CLINICAL_MED1")), QStringLiteral("Aspirin"));
    EXPECT_EQ(column(QStringLiteral("DELETE_FLAG")), QStringLiteral("NO"));
    // The key the save stored with the item shows on its form.
    auto control =
        item->GetInspector()->formControl(QStringLiteral("General"), QStringLiteral("Patient ID"));
    ASSERT_TRUE(control.ok());
    EXPECT_EQ((*control)->Value()->text(locale), QStringLiteral("1"));

    ASSERT_EQ(peers.lines.size(), 1u);
    EXPECT_EQ(peers.lines[0], QStringLiteral("P,1,1,O'Brien,Zoë,01/02/1970,") + middleValues() +
                                  QStringLiteral(",15/03/2026 09:30:00,15/03/2026 09:30:00,NO"));
}

TEST_F(PatientSaveTest, MissingKeyValueWritesNothing) {
    const QString dob = QStringLiteral("01/02/1970");
    const std::vector<std::array<QString, 3>> cases = {
        {QString(), QStringLiteral("Ann"), dob},
        {QStringLiteral("Smith"), QString(), dob},
        {QStringLiteral("Smith"), QStringLiteral("Ann"), QString()},
    };
    for (const auto& c : cases) {
        auto item = newPatient(c[0], c[1], c[2]);
        display(item);
        ASSERT_TRUE(item->Save().ok());
        EXPECT_TRUE(text(item, QStringLiteral("PatientID")).isEmpty());
    }
    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM PATIENTS")), 0);
    EXPECT_TRUE(peers.lines.empty());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PatientSaveTest, ChangedNameMakesANewRow) {
    auto item = openNewPatient(QStringLiteral("Smith"), QStringLiteral("Ann"));
    ASSERT_TRUE(item->Save().ok());
    set(item, QStringLiteral("Last Name"), QStringLiteral("Jones"));
    ASSERT_TRUE(item->Save().ok());

    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM PATIENTS")), 2);
    EXPECT_EQ(column(QStringLiteral("LAST NAME"), 1), QStringLiteral("Smith"));
    EXPECT_EQ(column(QStringLiteral("LAST NAME"), 2), QStringLiteral("Jones"));
    EXPECT_EQ(text(item, QStringLiteral("PatientID")), QStringLiteral("2"));
    EXPECT_EQ(text(item, QStringLiteral("Customer ID")), QStringLiteral("2"));
    ASSERT_EQ(peers.lines.size(), 2u);
    EXPECT_TRUE(peers.lines[1].startsWith(QStringLiteral("P,1,2,Jones,Ann,")));
}

TEST_F(PatientSaveTest, ADateOfBirthIsStoredAndMatchedInOneForm) {
    // Each contact is the same patient typed another way, saved in its own
    // window; a text that is no date stays as typed and is another patient.
    const std::vector<std::tuple<QString, QString, qint64>> typed = {
        {QStringLiteral("1/2/1970"), QStringLiteral("01/02/1970"), 1},
        {QStringLiteral("01/02/1970"), QStringLiteral("01/02/1970"), 1},
        {QStringLiteral(" 1/02/70 "), QStringLiteral("01/02/1970"), 1},
        {QStringLiteral("Feb 1970?"), QStringLiteral("Feb 1970?"), 2},
    };
    for (const auto& [dob, stored, rows] : typed) {
        SCOPED_TRACE(dob.toStdString());
        auto item = openNewPatient(QStringLiteral("Smith"), QStringLiteral("Ann"), dob);
        ASSERT_TRUE(item->Save().ok());
        EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM PATIENTS")), rows);
        EXPECT_EQ(column(QStringLiteral("DOB"), int(rows)), stored);
        EXPECT_EQ(text(item, QStringLiteral("DOB")), stored);
    }
    EXPECT_TRUE(peers.lines[2].startsWith(QStringLiteral("P,2,1,Smith,Ann,01/02/1970,")));
}

TEST(DateOfBirthTest, ReadsTheWorkstationsShortDateOrderOnly) {
    const Locale uk = Locale::unitedKingdom();
    const Locale us = Locale::unitedStates();
    const std::vector<std::tuple<const Locale*, QString, QString>> cases = {
        {&uk, QStringLiteral("5/3/1970"), QStringLiteral("05/03/1970")},
        {&uk, QStringLiteral("31/12/30"), QStringLiteral("31/12/1930")},
        {&us, QStringLiteral("3/5/1970"), QStringLiteral("03/05/1970")},
        // Not the short date order, or not a date: kept as typed.
        {&us, QStringLiteral("31/12/1970"), QStringLiteral("31/12/1970")},
        {&uk, QStringLiteral("1970-03-05"), QStringLiteral("1970-03-05")},
        {&uk, QStringLiteral("5/3/1970 10:00"), QStringLiteral("5/3/1970 10:00")},
        {&uk, QStringLiteral("30/2/1970"), QStringLiteral("30/2/1970")},
    };
    for (const auto& [locale, typed, stored] : cases) {
        EXPECT_EQ(patients::canonicalDateOfBirth(typed, *locale), stored) << typed.toStdString();
    }
}

TEST_F(PatientSaveTest, ExistingRowWithSameNameAndBirthIsUpdated) {
    // A patient first entered on another workstation: the save finds the row
    // by name and date of birth, whatever key the item carries.
    rawExec(
        QStringLiteral("INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB, CITY)"
                       " VALUES (7, 'O''Neil', 'Åsa', '02/03/1980', 'York')"));
    auto item = openNewPatient(QStringLiteral("O'Neil"), QStringLiteral("Åsa"),
                               QStringLiteral("02/03/1980"));
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM PATIENTS")), 1);
    EXPECT_EQ(column(QStringLiteral("CITY"), 7), QStringLiteral("Leeds"));
    EXPECT_EQ(column(QStringLiteral("DELETE_FLAG"), 7), QStringLiteral("NO"));
    // The update path leaves the item's own key alone.
    EXPECT_TRUE(text(item, QStringLiteral("PatientID")).isEmpty());
    ASSERT_EQ(peers.lines.size(), 1u);
    EXPECT_TRUE(peers.lines[0].startsWith(QStringLiteral("P,2,7,O'Neil,Åsa,02/03/1980,Ann,")));
}

TEST_F(PatientSaveTest, UpdateThatWritesNothingIsReportedAndNotAnnounced) {
    auto item = openNewPatient(QStringLiteral("Smith"), QStringLiteral("Ann"));
    ASSERT_TRUE(item->Save().ok());
    ASSERT_EQ(peers.lines.size(), 1u);

    // The database refuses the UPDATE.
    rawExec(
        QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON PATIENTS "
                       "BEGIN SELECT RAISE(ABORT, 'read only'); END"));
    set(item, QStringLiteral("City1"), QStringLiteral("York"));
    ASSERT_TRUE(item->Save().ok());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::None);
    EXPECT_EQ(boxes.shown()[0].title, MessageBoxService::defaultTitle());
    EXPECT_TRUE(boxes.shown()[0].text.contains(QStringLiteral("read only")));
    EXPECT_EQ(peers.lines.size(), 1u);

    // The UPDATE changes no row: the same, with the row's absence named.
    boxes.clear();
    rawExec(QStringLiteral("DROP TRIGGER refuse"));
    rawExec(
        QStringLiteral("CREATE TRIGGER vanish BEFORE UPDATE ON PATIENTS "
                       "BEGIN SELECT RAISE(IGNORE); END"));
    ASSERT_TRUE(item->Save().ok());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.shown()[0].text.contains(QString::fromUtf16(patients::kPatientRowGone)));
    EXPECT_EQ(peers.lines.size(), 1u);
    EXPECT_EQ(column(QStringLiteral("CITY")), QStringLiteral("Leeds"));
}

TEST_F(PatientSaveTest, TheErrorLogKeepsNoStatementAndNoClinicalText) {
    auto item = openNewPatient(QStringLiteral("Smith"), QStringLiteral("Ann"));
    ASSERT_TRUE(item->Save().ok());
    set(item, QStringLiteral("CLDiagnosis"), QStringLiteral("Glaucoma suspect"));
    set(item, QStringLiteral("NotesPage1"), QStringLiteral("Fears needles"));
    rawExec(
        QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON PATIENTS "
                       "BEGIN SELECT RAISE(ABORT, 'read only'); END"));
    ASSERT_TRUE(item->Save().ok());
    ASSERT_EQ(boxes.shown().size(), 1u);
    // The provider's description in the entry's own form, nothing more.
    EXPECT_TRUE(errorLog().endsWith(
        QStringLiteral("] Error #-2147217873\r   read only\r   (Source: Orlo Data Provider "
                       "(SQLite))\r   (SQL State: 23000)\r   (NativeError: 1811)\r\r\n")))
        << errorLog().toStdString();
    for (const char* secret : {"UPDATE", "Glaucoma", "needles", "Aspirin"}) {
        EXPECT_FALSE(errorLog().contains(QLatin1String(secret))) << secret;
    }
}

TEST_F(PatientSaveTest, AFailedDuplicateCheckEndsTheSave) {
    rawExec(
        QStringLiteral("INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB, CITY)"
                       " VALUES (7, 'Smith', 'Ann', '01/02/1970', 'York')"));
    hideDatabase();
    // The file is back while the check's box is up, as a busy file is
    // freed a moment later: the save must not go on to insert.
    boxes.setWhileShown([&](const MessageBoxRequest&) {
        EXPECT_TRUE(QFile::rename(dbPath + QStringLiteral(".away"), dbPath));
    });
    auto item = openNewPatient(QStringLiteral("Smith"), QStringLiteral("Ann"));
    ASSERT_TRUE(item->Save().ok());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Patient DB Exists Error"));
    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM PATIENTS")), 1);
    EXPECT_TRUE(text(item, QStringLiteral("PatientID")).isEmpty());
    EXPECT_TRUE(peers.lines.empty());

    // The next save finds the row and updates it.
    boxes.setWhileShown(nullptr);
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM PATIENTS")), 1);
    EXPECT_EQ(column(QStringLiteral("CITY"), 7), QStringLiteral("Leeds"));
    ASSERT_EQ(peers.lines.size(), 1u);
    EXPECT_TRUE(peers.lines[0].startsWith(QStringLiteral("P,2,7,Smith,Ann,")));
}

TEST_F(PatientSaveTest, DuplicateCheckClearsItsAnswerFirst) {
    patients::PatientItemHandlers handlers(*ctx);
    handlers.PatientFound = true;
    handlers.FoundPatientID = QStringLiteral("99");
    hideDatabase();
    EXPECT_FALSE(handlers.PatientDuplicateCheck(dbPath, QStringLiteral("A"), QStringLiteral("B"),
                                                QStringLiteral("C")));
    EXPECT_FALSE(handlers.PatientFound);
    EXPECT_TRUE(handlers.FoundPatientID.isEmpty());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Patient DB Exists Error"));
}

TEST_F(PatientSaveTest, DuplicateCheckMatchesQuotedNames) {
    patients::PatientItemHandlers handlers(*ctx);
    rawExec(
        QStringLiteral("INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB)"
                       " VALUES (3, 'D''Arcy', 'Zoë', '05/06/1990')"));
    EXPECT_TRUE(handlers.PatientDuplicateCheck(
        dbPath, QStringLiteral("D'Arcy"), QStringLiteral("Zoë"), QStringLiteral("05/06/1990")));
    EXPECT_TRUE(handlers.PatientFound);
    EXPECT_EQ(handlers.FoundPatientID, QStringLiteral("3"));
    handlers.PatientDuplicateCheck(dbPath, QStringLiteral("D'Arcy"), QStringLiteral("Zoe"),
                                   QStringLiteral("05/06/1990"));
    EXPECT_FALSE(handlers.PatientFound);
    EXPECT_EQ(patients::duplicateCheckQuery(QStringLiteral("D'Arcy"), QStringLiteral("Zoë"),
                                            QStringLiteral("05/06/1990")),
              QStringLiteral("Select [PT_ID],[LAST NAME],[FIRST NAME],[DOB] from PATIENTS WHERE "
                             "[LAST NAME] = 'D''Arcy' AND [FIRST NAME] = 'Zoë' AND [DOB] = "
                             "'05/06/1990'"));
}

TEST(SqlQuoteTest, DoublesEveryQuote) {
    EXPECT_EQ(SqlQuote(QStringLiteral("O'Brien")), QStringLiteral("'O''Brien'"));
    EXPECT_EQ(SqlQuote(QString()), QStringLiteral("''"));
    EXPECT_EQ(SqlQuote(QStringLiteral("''")), QStringLiteral("''''''"));
    EXPECT_EQ(SqlQuote(QStringLiteral("a'; DROP TABLE PATIENTS; --")),
              QStringLiteral("'a''; DROP TABLE PATIENTS; --'"));
    // Other quote-like characters are text like any other.
    EXPECT_EQ(SqlQuote(QStringLiteral("D’Arcy \"x\"")), QStringLiteral("'D’Arcy \"x\"'"));
}

TEST_F(PatientSaveTest, UpdateOfARowGoneElsewhereIsReported) {
    QStringList texts;
    for (int i = 0; i < patients::kPatientUpdateTextCount; ++i) {
        texts << QString();
    }
    EXPECT_FALSE(patients::UpdatePatientRecord(*ctx, dbPath, QStringLiteral("41"), texts));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("There has been an error\r\n  ") +
                                         QString::fromUtf16(patients::kPatientRowGone) +
                                         QStringLiteral("  3167  UpdatePatientRecord"));
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::None);
    EXPECT_EQ(boxes.shown()[0].title, MessageBoxService::defaultTitle());
    EXPECT_TRUE(errorLog().contains(QStringLiteral("Error #3167\r   ") +
                                    QString::fromUtf16(patients::kPatientRowGone)));

    // A key that is not a number never reaches the statement.
    boxes.clear();
    EXPECT_FALSE(patients::UpdatePatientRecord(*ctx, dbPath, QStringLiteral("1 OR 1=1"), texts));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.shown()[0].text.contains(QStringLiteral("  13  ")));
}

}  // namespace
}  // namespace orlo::test
