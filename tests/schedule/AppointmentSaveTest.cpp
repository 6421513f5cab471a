// Saving an appointment in "Scheduler": "None" as no recall date on insert
// and update, the patient number, the guards and the failures the user is
// told of. What every record shares: see the typed
// record item suite.

#include "RecordsFixture.h"
#include "host/Inspector.h"
#include "host/Items.h"
#include "host/forms/FormControl.h"
#include "schedule/RecallDueDate.h"
#include "schedule/UpdateScheduleRecord.h"
#include "schedule/basOutlookAppointments.h"

namespace orlo::test {
namespace {

class AppointmentSaveTest : public RecordsFixture {
protected:
    void SetUp() override {
        RecordsFixture::SetUp();
        rawExec(u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\") VALUES (5, 'Smith')"_s);
        rawExec(u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\") VALUES (40000, 'Big')"_s);
        showFolder(schedulerFolder);
    }

    const QDateTime start = naiveDateTime(QDate(2026, 3, 15), QTime(9, 30));

    std::shared_ptr<host::Item> openNewAppointment(const QString& ptId = u"5"_s) {
        auto item = newAppointment(start, ptId);
        display(item);
        set(item, u"LNAME"_s, u"D'Arcy-Zoë"_s);
        set(item, u"REASON"_s, u"Check-up"_s);
        set(item, u"ChrAmt1"_s, u"12.50"_s);
        return item;
    }

    QString column(const QString& name, int id = 1) const {
        return rawValue(u"SELECT %1 FROM SCHEDULED WHERE SCHEDULE_ID = %2"_s.arg(name).arg(id))
            .value_or(u"<null>"_s);
    }
};

TEST_F(AppointmentSaveTest, RecallDueDateOnTheFirstSaveAndAfterAnEdit) {
    // The mask as a new appointment has it (empty), as the user may leave
    // it (blank or "None") and with a date; then the visit is edited, the
    // period and mask changed, and saved again.
    const std::vector<std::array<QString, 4>> cases = {
        {QString(), u"<null>"_s, u"15/03/2027"_s, u"2027-03-15 00:00:00"_s},
        {u"  "_s, u"<null>"_s, u"None"_s, u"<null>"_s},
        // A blank mask is filled from the date the period set.
        {u"None"_s, u"<null>"_s, QString(), u"2027-03-15 00:00:00"_s},
        {u"15/03/2027"_s, u"2027-03-15 00:00:00"_s, u"None"_s, u"<null>"_s},
        {u"15/03/2027"_s, u"2027-03-15 00:00:00"_s, u"15/03/2027"_s, u"2027-03-15 00:00:00"_s},
    };
    int id = 0;
    for (const auto& [mask, stored, edited, storedAfter] : cases) {
        SCOPED_TRACE(mask.toStdString() + " then " + edited.toStdString());
        auto item = openNewAppointment();
        set(item, u"RecallDBFormattedMASK"_s, mask);
        ASSERT_TRUE(item->Save().ok());
        EXPECT_EQ(text(item, u"ScheduleID"_s), QString::number(++id));
        EXPECT_EQ(column(u"RECALLDUEDATE"_s, id), stored);
        set(item, u"REASON"_s, u"Edited"_s);
        set(item, u"RecallMonths"_s, u"12"_s);  // the date it sets, then typed over
        set(item, u"RecallDBFormattedMASK"_s, edited);
        ASSERT_TRUE(item->Save().ok());
        EXPECT_EQ(column(u"REASON"_s, id) + column(u"RECALLPERIOD"_s, id), u"Edited12"_s);
        EXPECT_EQ(column(u"RECALLDUEDATE"_s, id), storedAfter);
        EXPECT_EQ(text(item, u"ScheduleID"_s), QString::number(id));
    }
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown().front().text.toStdString();
    EXPECT_EQ(peers.lines.size(), 10u);
}

TEST_F(AppointmentSaveTest, AVisitWithoutADateIsRefusedNamingTheField) {
    const QString visit = u"\" must hold the date and time of the visit."_s;
    const std::vector<std::tuple<QString, Variant, QString>> cases = {
        {u"Start"_s, Variant(QString()), u"\"Start"_s + visit},
        {u"End"_s, Variant(QString()), u"\"End"_s + visit},
        {u"RecallDBFormattedMASK"_s, Variant(u"next spring"_s),
         u"\"RecallDBFormattedMASK\" must hold a date, or \"None\" for no "
         "recall."_s},
        {u"End"_s, Variant(naiveDateTime(QDate(2026, 3, 15), QTime(9, 29))),
         u"its \"End\" is before its \"Start\"."_s},
    };
    auto saved = openNewAppointment();
    ASSERT_TRUE(saved->Save().ok());
    for (const auto& [field, value, text] : cases) {
        SCOPED_TRACE(field.toStdString());
        // A saved visit and a new one, edited.
        for (const auto& item : {saved, openNewAppointment()}) {
            boxes.clear();
            const Variant before = *item->userProperty(field);
            ASSERT_TRUE(item->setUserProperty(field, value).ok());
            set(item, u"REASON"_s, u"Changed"_s);
            ASSERT_TRUE(item->Save().ok());
            ASSERT_EQ(boxes.shown().size(), 1u);
            EXPECT_EQ(boxes.shown()[0], (MessageBoxRequest{u"There has been an error\r\n  The "
                                                           "appointment was not saved to the "
                                                           "database: "_s +
                                                               text + u"  13  Orlo"_s,
                                                           u"Appointment Save Errors"_s,
                                                           MsgIcon::Critical, MsgButtons::OK}));
            ASSERT_TRUE(item->setUserProperty(field, before).ok());
        }
    }
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM SCHEDULED"_s), 1);
    EXPECT_EQ(column(u"REASON"_s), u"Check-up"_s);
    EXPECT_EQ(peers.lines.size(), 1u);
}

TEST_F(AppointmentSaveTest, PatientNumberIsA32BitWholeNumber) {
    auto big = openNewAppointment(u"40000"_s);
    ASSERT_TRUE(big->Save().ok());
    EXPECT_EQ(column(u"PT_ID"_s), u"40000"_s);
    ASSERT_TRUE(big->Save().ok());
    EXPECT_EQ(column(u"PT_ID"_s), u"40000"_s);
    EXPECT_TRUE(boxes.shown().empty());

    // On update the same text is refused by the update, and nobody is told.
    boxes.clear();
    set(big, u"sPTID"_s, u"abc"_s);
    set(big, u"REASON"_s, u"Changed"_s);
    ASSERT_TRUE(big->Save().ok());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::None);
    EXPECT_EQ(column(u"REASON"_s), u"Check-up"_s);
    EXPECT_EQ(peers.lines.size(), 2u);

    // Empty or non-numeric: the insert is refused and reported.
    for (const QString& bad : {QString(), u"abc"_s}) {
        boxes.clear();
        auto item = openNewAppointment(bad);
        ASSERT_TRUE(item->Save().ok());
        ASSERT_EQ(boxes.shown().size(), 1u) << bad.toStdString();
        EXPECT_EQ(boxes.shown()[0].title, u"Appointment Save Errors"_s);
        EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
        EXPECT_TRUE(boxes.shown()[0].text.contains(u"  13  "_s));
        EXPECT_TRUE(text(item, u"ScheduleID"_s).isEmpty());
    }
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM SCHEDULED"_s), 1);
    EXPECT_EQ(peers.lines.size(), 2u);
}

TEST_F(AppointmentSaveTest, AFailedInsertLetsOthersWriteWhileItsBoxIsUp) {
    // Another workstation takes the write lock at once while each box is up
    // (the raw connection waits for no lock).
    int freeWhileShown = 0;
    boxes.setWhileShown([&](const MessageBoxRequest&) {
        rawExec(u"BEGIN IMMEDIATE; ROLLBACK"_s);
        freeWhileShown += HasFailure() ? 0 : 1;
    });
    // The insert stops after the new row was started: a patient number that
    // is no number, a row the database refuses.
    auto visit = openNewAppointment(u"abc"_s);
    ASSERT_TRUE(visit->Save().ok());
    rawExec(
        u"CREATE TRIGGER refuse BEFORE INSERT ON PATIENTS "
        "BEGIN SELECT RAISE(ABORT, 'no new patients'); END"_s);
    auto patient = newPatient(u"Smith"_s, u"Ann"_s, u"01/02/1970"_s);
    display(patient);
    ASSERT_TRUE(patient->Save().ok());

    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].title, u"Appointment Save Errors"_s);
    EXPECT_EQ(boxes.shown()[1].title, u"Patient Save Errors"_s);
    EXPECT_EQ(freeWhileShown, 2);
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM SCHEDULED"_s), 0);
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM PATIENTS"_s), 2);
}

TEST(ScheduleUpdateStatementTest, NoRecallDateIsNullAndAnOversizedPatientNumberFails) {
    QStringList v;
    for (int p = 1; p <= 55; ++p) {
        v << u"v%1"_s.arg(p);
    }
    v[13] = u"0040"_s;
    const Locale uk = Locale::unitedKingdom();
    for (const auto& [due, stored] :
         {std::pair{u"None"_s, u"NULL"_s}, std::pair{QString(), u"NULL"_s},
          std::pair{u"  "_s, u"NULL"_s}, std::pair{u"15/03/2027"_s, u"'15/03/2027'"_s}}) {
        v[10] = due;
        const QString sql = *schedule::scheduleUpdateStatement(u"9"_s, v, uk);
        EXPECT_TRUE(sql.contains(u", RECALLDUEDATE = "_s + stored + u", CREATED_ON = 'v12', "_s))
            << sql.toStdString();
        EXPECT_TRUE(sql.contains(u"PT_ID = '40', "_s));
    }
    v[13] = u"2147483648"_s;
    EXPECT_EQ(schedule::scheduleUpdateStatement(u"9"_s, v, uk).error().number, err::kOverflow);
}

// The recall period sets the due date (never past the year 9999); an empty
// reason or status turns its label red.
TEST_F(AppointmentSaveTest, RecallPeriodSetsTheDueDateAndEmptyReasonOrStatusTurnsRed) {
    auto item = newAppointment(start, u"5"_s);
    display(item);
    auto reason = *item->GetInspector()->formControl(u"Patient Scheduler"_s, u"ReasonLabel"_s);
    auto status = *item->GetInspector()->formControl(u"Patient Scheduler"_s, u"StatusLabel"_s);
    const host::Rgb red{255, 0, 0};
    const host::Rgb black{0, 0, 0};
    set(item, u"REASON"_s, u"Check-up"_s);
    EXPECT_EQ(reason->ForeColor(), black);
    set(item, u"REASON"_s, QString());
    EXPECT_EQ(reason->ForeColor(), red);
    EXPECT_EQ(status->ForeColor(), black);
    set(item, u"Status1"_s, QString());
    EXPECT_EQ(status->ForeColor(), red);
    set(item, u"Status1"_s, u"BOOKED"_s);
    EXPECT_EQ(status->ForeColor(), black);
    EXPECT_EQ(reason->ForeColor(), red);

    set(item, u"RecallMonths"_s, u"12"_s);
    EXPECT_EQ(text(item, u"RecallDBFormatted"_s), u"15/03/2027"_s);
    EXPECT_EQ(text(item, u"RecallDBFormattedMASK"_s), u"15/03/2027"_s);
    // A period that is none of the offered ones leaves the date (the months
    // themselves: see the due date's own test).
    set(item, u"RecallMonths"_s, u"9"_s);
    EXPECT_EQ(text(item, u"RecallDBFormatted"_s), u"15/03/2027"_s);

    // Whatever the main window shows; but not for another folder's appointment.
    showFolder(patientsFolder);
    set(item, u"RecallMonths"_s, u"24"_s);
    EXPECT_EQ(text(item, u"RecallDBFormatted"_s), u"15/03/2028"_s);
    auto stranger = newAppointment(start, u"5"_s, otherScheduler);
    display(stranger);
    set(stranger, u"RecallMonths"_s, u"24"_s);
    EXPECT_EQ(text(stranger, u"RecallDBFormatted"_s), QString());

    // Without a start date the handler ends without effect.
    auto undated = schedulerFolder->Items()->Add();
    ASSERT_TRUE(undated.ok());
    display(*undated);
    set(*undated, u"RecallMonths"_s, u"12"_s);
    EXPECT_EQ(text(*undated, u"RecallDBFormatted"_s), QString());
    EXPECT_TRUE(boxes.shown().empty());

    // A recall due after the year 9999 is refused and the visit still saves.
    auto late = openNewAppointment();
    ASSERT_TRUE(
        late->setUserProperty(u"Start"_s, Variant(naiveDateTime(QDate(9999, 6, 1), QTime(9, 0))))
            .ok());
    ASSERT_TRUE(
        late->setUserProperty(u"End"_s, Variant(naiveDateTime(QDate(9999, 6, 1), QTime(9, 30))))
            .ok());
    set(late, u"RecallMonths"_s, u"12"_s);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0],
              (MessageBoxRequest{u"No recall due date was set: 12 months after the start of this "
                                 "appointment is after the year 9999."_s,
                                 u"Orlo"_s, MsgIcon::Exclamation, MsgButtons::OK}));
    ASSERT_TRUE(late->Save().ok());
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(column(u"START_TIME"_s), u"9999-06-01 09:00:00"_s);
    EXPECT_EQ(column(u"RECALLDUEDATE"_s), u"<null>"_s);
}

TEST(RecallDueDateTest, AddsCalendarMonths) {
    using schedule::recallDueDate;
    EXPECT_EQ(recallDueDate(QDate(2026, 3, 15), u"12"), QDate(2027, 3, 15));
    EXPECT_EQ(recallDueDate(QDate(2026, 8, 31), u"6"), QDate(2027, 2, 28));
    EXPECT_EQ(recallDueDate(QDate(2027, 8, 31), u"6"), QDate(2028, 2, 29));
    EXPECT_EQ(recallDueDate(QDate(2026, 12, 31), u"18"), QDate(2028, 6, 30));
    EXPECT_EQ(recallDueDate(QDate(2026, 1, 1), u"24"), QDate(2028, 1, 1));
    for (const char16_t* none : {u"9", u"", u"None", u"12 ", u"012", u"1"}) {
        EXPECT_FALSE(recallDueDate(QDate(2026, 3, 15), none).has_value());
    }
    EXPECT_FALSE(recallDueDate(QDate(), u"12").has_value());
}

}  // namespace
}  // namespace orlo::test
