// Saving an appointment in "Scheduler": insert with the new key on the
// item, update with one statement, "None" as no recall date, the patient
// number, the guards, the peer notice and the failures the user is told of.

#include <QFile>

#include "RecordsFixture.h"
#include "host/Items.h"
#include "schedule/UpdateScheduleRecord.h"
#include "schedule/basOutlookAppointments.h"

namespace orlo::test {
namespace {

class AppointmentSaveTest : public RecordsFixture {
protected:
    void SetUp() override {
        RecordsFixture::SetUp();
        rawExec(QStringLiteral("INSERT INTO PATIENTS (PT_ID, \"LAST NAME\") VALUES (5, 'Smith')"));
        rawExec(
            QStringLiteral("INSERT INTO PATIENTS (PT_ID, \"LAST NAME\") VALUES (40000, 'Big')"));
        showFolder(schedulerFolder);
    }

    const QDateTime start = naiveDateTime(QDate(2026, 3, 15), QTime(9, 30));

    std::shared_ptr<host::Item> openNewAppointment(const QString& ptId = QStringLiteral("5")) {
        auto item = newAppointment(start, ptId);
        display(item);
        set(item, QStringLiteral("LNAME"), QStringLiteral("D'Arcy-Zoë"));
        set(item, QStringLiteral("REASON"), QStringLiteral("Check-up"));
        set(item, QStringLiteral("ChrAmt1"), QStringLiteral("12.50"));
        return item;
    }

    // The schedule values 1..55 of openNewAppointment as the notice joins them.
    static QString noticeValues(const QString& due, const QString& created,
                                const QString& modified) {
        QStringList v;
        for (int p = 1; p <= 55; ++p) {
            v << QString();
        }
        v[0] = QStringLiteral("15/03/2026 09:30:00");
        v[1] = QStringLiteral("15/03/2026 10:00:00");
        v[2] = QStringLiteral("D'Arcy-Zoë");
        v[6] = QStringLiteral("Check-up");
        v[10] = due;
        v[11] = created;
        v[12] = modified;
        v[13] = QStringLiteral("5");
        v[39] = QStringLiteral("12.50");
        return v.join(QLatin1Char(','));
    }

    QString column(const QString& name, int id = 1) const {
        return rawValue(QStringLiteral("SELECT %1 FROM SCHEDULED WHERE SCHEDULE_ID = %2")
                            .arg(name)
                            .arg(id))
            .value_or(QStringLiteral("<null>"));
    }
};

TEST_F(AppointmentSaveTest, FirstSaveInsertsAndKeepsTheKey) {
    auto item = openNewAppointment();
    ASSERT_TRUE(item->Save().ok());

    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM SCHEDULED")), 1);
    EXPECT_EQ(column(QStringLiteral("START_TIME")), QStringLiteral("2026-03-15 09:30:00"));
    EXPECT_EQ(column(QStringLiteral("END_TIME")), QStringLiteral("2026-03-15 10:00:00"));
    EXPECT_EQ(column(QStringLiteral("LAST_NAME")), QStringLiteral("D'Arcy-Zoë"));
    EXPECT_EQ(column(QStringLiteral("REASON")), QStringLiteral("Check-up"));
    EXPECT_EQ(column(QStringLiteral("RECALLDUEDATE")), QStringLiteral("<null>"));
    EXPECT_EQ(column(QStringLiteral("PT_ID")), QStringLiteral("5"));
    EXPECT_EQ(column(QStringLiteral("CHRAMT1")), QStringLiteral("12.50"));
    ASSERT_EQ(peers.lines.size(), 1u);
    EXPECT_EQ(peers.lines[0], QStringLiteral("S,1,1,") +
                                  noticeValues(QString(), QStringLiteral("15/03/2026 09:30:00"),
                                               QStringLiteral("15/03/2026 09:30:00")));
}

TEST_F(AppointmentSaveTest, LaterSavesUpdateAndNoneClearsTheDueDate) {
    auto item = openNewAppointment();
    ASSERT_TRUE(item->Save().ok());
    clock.advance(600);
    set(item, QStringLiteral("RecallMonths"), QStringLiteral("12"));
    EXPECT_EQ(text(item, QStringLiteral("RecallDBFormattedMASK")), QStringLiteral("15/03/2027"));
    set(item, QStringLiteral("NOTEPAGE1"), QStringLiteral("it's fine"));
    ASSERT_TRUE(item->Save().ok());

    EXPECT_EQ(column(QStringLiteral("RECALLDUEDATE")), QStringLiteral("2027-03-15 00:00:00"));
    EXPECT_EQ(column(QStringLiteral("RECALLPERIOD")), QStringLiteral("12"));
    EXPECT_EQ(column(QStringLiteral("NOTEPAGE1")), QStringLiteral("it's fine"));
    ASSERT_EQ(peers.lines.size(), 2u);
    EXPECT_TRUE(peers.lines[1].startsWith(QStringLiteral("S,2,1,15/03/2026 09:30:00,")));
    EXPECT_TRUE(
        peers.lines[1].contains(QStringLiteral(",12,15/03/2027,15/03/2026 09:30:00,"
                                               "15/03/2026 09:40:00,5,")));

    set(item, QStringLiteral("RecallDBFormattedMASK"), QStringLiteral("None"));
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(column(QStringLiteral("RECALLDUEDATE")), QStringLiteral("<null>"));
    EXPECT_EQ(text(item, QStringLiteral("ScheduleID")), QStringLiteral("1"));
    EXPECT_EQ(peers.lines.size(), 3u);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(AppointmentSaveTest, RecallDueDateOnTheFirstSaveAndAfterAnEdit) {
    // The mask as a new appointment has it (empty), as the user may leave
    // it (blank or "None") and with a date; then the visit is edited and
    // saved again.
    const std::vector<std::pair<QString, QString>> cases = {
        {QString(), QStringLiteral("<null>")},
        {QStringLiteral("  "), QStringLiteral("<null>")},
        {QStringLiteral("None"), QStringLiteral("<null>")},
        {QStringLiteral("15/03/2027"), QStringLiteral("2027-03-15 00:00:00")},
    };
    int id = 0;
    for (const auto& [mask, stored] : cases) {
        SCOPED_TRACE(mask.toStdString());
        auto item = openNewAppointment();
        set(item, QStringLiteral("RecallDBFormattedMASK"), mask);
        ASSERT_TRUE(item->Save().ok());
        EXPECT_EQ(text(item, QStringLiteral("ScheduleID")), QString::number(++id));
        EXPECT_EQ(column(QStringLiteral("RECALLDUEDATE"), id), stored);
        set(item, QStringLiteral("REASON"), QStringLiteral("Edited"));
        ASSERT_TRUE(item->Save().ok());
        EXPECT_EQ(column(QStringLiteral("REASON"), id), QStringLiteral("Edited"));
        EXPECT_EQ(column(QStringLiteral("RECALLDUEDATE"), id), stored);
    }
    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown().front().text.toStdString();
    EXPECT_EQ(peers.lines.size(), 8u);
}

TEST_F(AppointmentSaveTest, AVisitWithoutADateIsRefusedNamingTheField) {
    const QString visit = QStringLiteral("\" must hold the date and time of the visit.");
    const std::vector<std::tuple<QString, Variant, QString>> cases = {
        {QStringLiteral("Start"), Variant(QString()), QStringLiteral("\"Start") + visit},
        {QStringLiteral("End"), Variant(QString()), QStringLiteral("\"End") + visit},
        {QStringLiteral("RecallDBFormattedMASK"), Variant(QStringLiteral("next spring")),
         QStringLiteral("\"RecallDBFormattedMASK\" must hold a date, or \"None\" for no "
                        "recall.")},
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
            set(item, QStringLiteral("REASON"), QStringLiteral("Changed"));
            ASSERT_TRUE(item->Save().ok());
            ASSERT_EQ(boxes.shown().size(), 1u);
            EXPECT_EQ(boxes.shown()[0],
                      (MessageBoxRequest{QStringLiteral("There has been an error\r\n  The "
                                                        "appointment was not saved to the "
                                                        "database: ") +
                                             text + QStringLiteral("  13  Orlo"),
                                         QStringLiteral("Appointment Save Errors"),
                                         MsgIcon::Critical, MsgButtons::OK}));
            ASSERT_TRUE(item->setUserProperty(field, before).ok());
        }
    }
    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM SCHEDULED")), 1);
    EXPECT_EQ(column(QStringLiteral("REASON")), QStringLiteral("Check-up"));
    EXPECT_EQ(peers.lines.size(), 1u);
}

TEST_F(AppointmentSaveTest, PatientNumberIsA32BitWholeNumber) {
    auto big = openNewAppointment(QStringLiteral("40000"));
    ASSERT_TRUE(big->Save().ok());
    EXPECT_EQ(column(QStringLiteral("PT_ID")), QStringLiteral("40000"));
    ASSERT_TRUE(big->Save().ok());
    EXPECT_EQ(column(QStringLiteral("PT_ID")), QStringLiteral("40000"));
    EXPECT_TRUE(boxes.shown().empty());

    // On update the same text is refused by the update, and nobody is told.
    boxes.clear();
    set(big, QStringLiteral("sPTID"), QStringLiteral("abc"));
    set(big, QStringLiteral("REASON"), QStringLiteral("Changed"));
    ASSERT_TRUE(big->Save().ok());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::None);
    EXPECT_EQ(column(QStringLiteral("REASON")), QStringLiteral("Check-up"));
    EXPECT_EQ(peers.lines.size(), 2u);

    // Empty or non-numeric: the insert is refused and reported.
    for (const QString& bad : {QString(), QStringLiteral("abc")}) {
        boxes.clear();
        auto item = openNewAppointment(bad);
        ASSERT_TRUE(item->Save().ok());
        ASSERT_EQ(boxes.shown().size(), 1u) << bad.toStdString();
        EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Appointment Save Errors"));
        EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
        EXPECT_TRUE(boxes.shown()[0].text.contains(QStringLiteral("  13  ")));
        EXPECT_TRUE(text(item, QStringLiteral("ScheduleID")).isEmpty());
    }
    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM SCHEDULED")), 1);
    EXPECT_EQ(peers.lines.size(), 2u);
}

TEST_F(AppointmentSaveTest, AFailedInsertLetsOthersWriteWhileItsBoxIsUp) {
    std::vector<bool> freeWhileShown;
    boxes.setWhileShown(
        [&](const MessageBoxRequest&) { freeWhileShown.push_back(writeLockIsFree()); });
    // The insert stops after the new row was started: a patient number that
    // is no number, a row the database refuses.
    auto visit = openNewAppointment(QStringLiteral("abc"));
    ASSERT_TRUE(visit->Save().ok());
    rawExec(
        QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON PATIENTS "
                       "BEGIN SELECT RAISE(ABORT, 'no new patients'); END"));
    auto patient =
        newPatient(QStringLiteral("Smith"), QStringLiteral("Ann"), QStringLiteral("01/02/1970"));
    display(patient);
    ASSERT_TRUE(patient->Save().ok());

    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Appointment Save Errors"));
    EXPECT_EQ(boxes.shown()[1].title, QStringLiteral("Patient Save Errors"));
    EXPECT_EQ(freeWhileShown, (std::vector<bool>{true, true}));
    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM SCHEDULED")), 0);
    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM PATIENTS")), 2);
}

TEST_F(AppointmentSaveTest, RowDeletedElsewhereIsReportedAndNotAnnounced) {
    auto item = openNewAppointment();
    ASSERT_TRUE(item->Save().ok());
    rawExec(QStringLiteral("DELETE FROM SCHEDULED WHERE SCHEDULE_ID = 1"));
    set(item, QStringLiteral("REASON"), QStringLiteral("Changed"));
    ASSERT_TRUE(item->Save().ok());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(
        boxes.shown()[0],
        (MessageBoxRequest{QStringLiteral("There has been an error\r\n  ") +
                               QString::fromUtf16(schedule::kAppointmentRowGone) +
                               QStringLiteral("  3167  UpdateScheduleRecord"),
                           MessageBoxService::defaultTitle(), MsgIcon::None, MsgButtons::OK}));
    EXPECT_TRUE(errorLog().contains(QStringLiteral("Error #3167\r")));
    EXPECT_EQ(peers.lines.size(), 1u);
    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM SCHEDULED")), 0);
}

TEST(ScheduleUpdateStatementTest, NoRecallDateIsNullAndAnOversizedPatientNumberFails) {
    QStringList v;
    for (int p = 1; p <= 55; ++p) {
        v << QStringLiteral("v%1").arg(p);
    }
    v[13] = QStringLiteral("0040");
    const Locale uk = Locale::unitedKingdom();
    for (const auto& [due, stored] :
         {std::pair{QStringLiteral("None"), QStringLiteral("NULL")},
          std::pair{QString(), QStringLiteral("NULL")},
          std::pair{QStringLiteral("  "), QStringLiteral("NULL")},
          std::pair{QStringLiteral("15/03/2027"), QStringLiteral("'15/03/2027'")}}) {
        v[10] = due;
        const QString sql = *schedule::scheduleUpdateStatement(QStringLiteral("9"), v, uk);
        EXPECT_TRUE(sql.contains(QStringLiteral(", RECALLDUEDATE = ") + stored +
                                 QStringLiteral(", CREATED_ON = 'v12', ")))
            << sql.toStdString();
        EXPECT_TRUE(sql.contains(QStringLiteral("PT_ID = '40', ")));
    }
    v[13] = QStringLiteral("2147483648");
    EXPECT_EQ(schedule::scheduleUpdateStatement(QStringLiteral("9"), v, uk).error().number,
              err::kOverflow);
}

TEST_F(AppointmentSaveTest, FillOperationsNeverWriteTheDatabase) {
    auto item = openNewAppointment();
    ASSERT_TRUE(item->Save().ok());
    peers.lines.clear();
    QStringList values;
    for (int p = 1; p <= 55; ++p) {
        values << QStringLiteral("w%1").arg(p);
    }
    values[0] = QStringLiteral("16/03/2026 11:00:00");
    values[1] = QStringLiteral("16/03/2026 11:30:00");
    values[10] = QStringLiteral("None");
    values[11] = QStringLiteral("01/01/2001 01:00:00");  // 12, 13: not applied
    values[12] = QStringLiteral("01/01/2001 01:00:00");
    values[13] = QStringLiteral("5");

    // Overwriting the item that is open on screen: the save stays local.
    ASSERT_TRUE(schedule::UpdateAppointmentItem(*ctx, QStringLiteral("1"), values).ok());
    EXPECT_FALSE(ctx->ApptItemSaveEnabled);
    ctx->ApptItemSaveEnabled = true;
    EXPECT_EQ(text(item, QStringLiteral("REASON")), QStringLiteral("w7"));
    EXPECT_EQ(text(item, QStringLiteral("Start")), QStringLiteral("16/03/2026 11:00:00"));
    EXPECT_EQ(text(item, QStringLiteral("Created")), QStringLiteral("15/03/2026 09:30:00"));
    EXPECT_EQ(column(QStringLiteral("REASON")), QStringLiteral("Check-up"));
    EXPECT_TRUE(peers.lines.empty());

    ASSERT_TRUE(schedule::AddAppointmentItem(*ctx, QStringLiteral("77"), values).ok());
    EXPECT_FALSE(ctx->ApptItemSaveEnabled);
    ctx->ApptItemSaveEnabled = true;
    EXPECT_EQ(rawCount(QStringLiteral("SELECT COUNT(*) FROM SCHEDULED")), 1);
    EXPECT_TRUE(*schedule::AppointmentExists(*ctx, QStringLiteral("77")));
    EXPECT_TRUE(*schedule::AppointmentExistsByMileage(*ctx, QStringLiteral("77")));
    EXPECT_FALSE(*schedule::AppointmentExistsByMileage(*ctx, QStringLiteral("78")));
    EXPECT_FALSE(*schedule::AppointmentExists(*ctx, QString()));
    auto added = schedulerFolder->Items()->Find(QStringLiteral("[Mileage] = 77"));
    ASSERT_TRUE(added.ok() && *added);
    EXPECT_EQ(text(*added, QStringLiteral("NOTEPAGE2")), QStringLiteral("w55"));
    EXPECT_EQ(text(*added, QStringLiteral("Created")), QStringLiteral("15/03/2026 09:30:00"));

    // An id with no item fails in the caller and changes nothing.
    EXPECT_FALSE(schedule::UpdateAppointmentItem(*ctx, QStringLiteral("78"), values).ok());
    EXPECT_TRUE(ctx->ApptItemSaveEnabled);
}

}  // namespace
}  // namespace orlo::test
