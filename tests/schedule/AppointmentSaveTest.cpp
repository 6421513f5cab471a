// Saving an appointment in "Scheduler": insert with the new key on the
// item, update with one statement, "None" as no recall date, the patient
// number, the guards, the peer notice and the failures the user is told of.

#include <QFile>

#include "RecordsFixture.h"
#include "host/Items.h"
#include "schedule/UpdateScheduleRecord.h"
#include "schedule/basOutlookAppointments.h"

using namespace Qt::Literals::StringLiterals;

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

    // The schedule values 1..55 of openNewAppointment as the notice joins them.
    static QString noticeValues(const QString& due, const QString& created,
                                const QString& modified) {
        QStringList v;
        for (int p = 1; p <= 55; ++p) {
            v << QString();
        }
        v[0] = u"15/03/2026 09:30:00"_s;
        v[1] = u"15/03/2026 10:00:00"_s;
        v[2] = u"D'Arcy-Zoë"_s;
        v[6] = u"Check-up"_s;
        v[10] = due;
        v[11] = created;
        v[12] = modified;
        v[13] = u"5"_s;
        v[39] = u"12.50"_s;
        return v.join(QLatin1Char(','));
    }

    QString column(const QString& name, int id = 1) const {
        return rawValue(u"SELECT %1 FROM SCHEDULED WHERE SCHEDULE_ID = %2"_s.arg(name).arg(id))
            .value_or(u"<null>"_s);
    }
};

TEST_F(AppointmentSaveTest, FirstSaveInsertsAndKeepsTheKey) {
    auto item = openNewAppointment();
    ASSERT_TRUE(item->Save().ok());

    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM SCHEDULED"_s), 1);
    EXPECT_EQ(column(u"START_TIME"_s), u"2026-03-15 09:30:00"_s);
    EXPECT_EQ(column(u"END_TIME"_s), u"2026-03-15 10:00:00"_s);
    EXPECT_EQ(column(u"LAST_NAME"_s), u"D'Arcy-Zoë"_s);
    EXPECT_EQ(column(u"REASON"_s), u"Check-up"_s);
    EXPECT_EQ(column(u"RECALLDUEDATE"_s), u"<null>"_s);
    EXPECT_EQ(column(u"PT_ID"_s), u"5"_s);
    EXPECT_EQ(column(u"CHRAMT1"_s), u"12.50"_s);
    ASSERT_EQ(peers.lines.size(), 1u);
    EXPECT_EQ(peers.lines[0], u"S,1,1,"_s + noticeValues(QString(), u"15/03/2026 09:30:00"_s,
                                                         u"15/03/2026 09:30:00"_s));
}

TEST_F(AppointmentSaveTest, LaterSavesUpdateAndNoneClearsTheDueDate) {
    auto item = openNewAppointment();
    ASSERT_TRUE(item->Save().ok());
    clock.advance(600);
    set(item, u"RecallMonths"_s, u"12"_s);
    EXPECT_EQ(text(item, u"RecallDBFormattedMASK"_s), u"15/03/2027"_s);
    set(item, u"NOTEPAGE1"_s, u"it's fine"_s);
    ASSERT_TRUE(item->Save().ok());

    EXPECT_EQ(column(u"RECALLDUEDATE"_s), u"2027-03-15 00:00:00"_s);
    EXPECT_EQ(column(u"RECALLPERIOD"_s), u"12"_s);
    EXPECT_EQ(column(u"NOTEPAGE1"_s), u"it's fine"_s);
    ASSERT_EQ(peers.lines.size(), 2u);
    EXPECT_TRUE(peers.lines[1].startsWith(u"S,2,1,15/03/2026 09:30:00,"_s));
    EXPECT_TRUE(
        peers.lines[1].contains(u",12,15/03/2027,15/03/2026 09:30:00,"
                                "15/03/2026 09:40:00,5,"_s));

    set(item, u"RecallDBFormattedMASK"_s, u"None"_s);
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(column(u"RECALLDUEDATE"_s), u"<null>"_s);
    EXPECT_EQ(text(item, u"ScheduleID"_s), u"1"_s);
    EXPECT_EQ(peers.lines.size(), 3u);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(AppointmentSaveTest, RecallDueDateOnTheFirstSaveAndAfterAnEdit) {
    // The mask as a new appointment has it (empty), as the user may leave
    // it (blank or "None") and with a date; then the visit is edited and
    // saved again.
    const std::vector<std::pair<QString, QString>> cases = {
        {QString(), u"<null>"_s},
        {u"  "_s, u"<null>"_s},
        {u"None"_s, u"<null>"_s},
        {u"15/03/2027"_s, u"2027-03-15 00:00:00"_s},
    };
    int id = 0;
    for (const auto& [mask, stored] : cases) {
        SCOPED_TRACE(mask.toStdString());
        auto item = openNewAppointment();
        set(item, u"RecallDBFormattedMASK"_s, mask);
        ASSERT_TRUE(item->Save().ok());
        EXPECT_EQ(text(item, u"ScheduleID"_s), QString::number(++id));
        EXPECT_EQ(column(u"RECALLDUEDATE"_s, id), stored);
        set(item, u"REASON"_s, u"Edited"_s);
        ASSERT_TRUE(item->Save().ok());
        EXPECT_EQ(column(u"REASON"_s, id), u"Edited"_s);
        EXPECT_EQ(column(u"RECALLDUEDATE"_s, id), stored);
    }
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown().front().text.toStdString();
    EXPECT_EQ(peers.lines.size(), 8u);
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
    std::vector<bool> freeWhileShown;
    boxes.setWhileShown(
        [&](const MessageBoxRequest&) { freeWhileShown.push_back(writeLockIsFree()); });
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
    EXPECT_EQ(freeWhileShown, (std::vector<bool>{true, true}));
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

TEST_F(AppointmentSaveTest, FillOperationsNeverWriteTheDatabase) {
    auto item = openNewAppointment();
    ASSERT_TRUE(item->Save().ok());
    peers.lines.clear();
    QStringList values;
    for (int p = 1; p <= 55; ++p) {
        values << u"w%1"_s.arg(p);
    }
    values[0] = u"16/03/2026 11:00:00"_s;
    values[1] = u"16/03/2026 11:30:00"_s;
    values[10] = u"None"_s;
    values[11] = u"01/01/2001 01:00:00"_s;  // 12, 13: not applied
    values[12] = u"01/01/2001 01:00:00"_s;
    values[13] = u"5"_s;

    // Overwriting the item that is open on screen: the save stays local.
    ASSERT_TRUE(schedule::UpdateAppointmentItem(*ctx, u"1"_s, values).ok());
    EXPECT_FALSE(ctx->ApptItemSaveEnabled);
    ctx->ApptItemSaveEnabled = true;
    EXPECT_EQ(text(item, u"REASON"_s), u"w7"_s);
    EXPECT_EQ(text(item, u"Start"_s), u"16/03/2026 11:00:00"_s);
    EXPECT_EQ(text(item, u"Created"_s), u"15/03/2026 09:30:00"_s);
    EXPECT_EQ(column(u"REASON"_s), u"Check-up"_s);
    EXPECT_TRUE(peers.lines.empty());

    ASSERT_TRUE(schedule::AddAppointmentItem(*ctx, u"77"_s, values).ok());
    EXPECT_FALSE(ctx->ApptItemSaveEnabled);
    ctx->ApptItemSaveEnabled = true;
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM SCHEDULED"_s), 1);
    EXPECT_TRUE(*schedule::AppointmentExists(*ctx, u"77"_s));
    EXPECT_TRUE(*schedule::AppointmentExistsByMileage(*ctx, u"77"_s));
    EXPECT_FALSE(*schedule::AppointmentExistsByMileage(*ctx, u"78"_s));
    EXPECT_FALSE(*schedule::AppointmentExists(*ctx, QString()));
    auto added = schedulerFolder->Items()->Find(u"[Mileage] = 77"_s);
    ASSERT_TRUE(added.ok() && *added);
    EXPECT_EQ(text(*added, u"NOTEPAGE2"_s), u"w55"_s);
    EXPECT_EQ(text(*added, u"Created"_s), u"15/03/2026 09:30:00"_s);

    // An id with no item fails in the caller and changes nothing.
    EXPECT_FALSE(schedule::UpdateAppointmentItem(*ctx, u"78"_s, values).ok());
    EXPECT_TRUE(ctx->ApptItemSaveEnabled);
}

TEST_F(AppointmentSaveTest, ARecallDueAfterTheYear9999IsRefusedAndTheVisitStillSaves) {
    auto item = openNewAppointment();
    ASSERT_TRUE(
        item->setUserProperty(u"Start"_s, Variant(naiveDateTime(QDate(9999, 6, 1), QTime(9, 0))))
            .ok());
    ASSERT_TRUE(
        item->setUserProperty(u"End"_s, Variant(naiveDateTime(QDate(9999, 6, 1), QTime(9, 30))))
            .ok());
    set(item, u"RecallMonths"_s, u"12"_s);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0],
              (MessageBoxRequest{u"No recall due date was set: 12 months after the start of this "
                                 "appointment is after the year 9999."_s,
                                 u"Orlo"_s, MsgIcon::Exclamation, MsgButtons::OK}));
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(column(u"START_TIME"_s), u"9999-06-01 09:00:00"_s);
    EXPECT_EQ(column(u"RECALLDUEDATE"_s), u"<null>"_s);
}

}  // namespace
}  // namespace orlo::test
