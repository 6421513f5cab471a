// Every SQL text the system sends to the shared and the scratch database,
// byte for byte as the add-in builds it: each one translates, SQLite
// prepares it, and the ones whose meaning rests on the dialect (date
// arithmetic, date texts, DELETE *) give the rows the front desk expects.

#include <gtest/gtest.h>

#include "TestDatabase.h"
#include "TestSupport.h"
#include "records/FieldMaps.h"

using namespace orlo;
using orlo::test::TestDatabase;

namespace {

const QString kDuplicateCheck = QStringLiteral(
    "Select [PT_ID],[LAST NAME],[FIRST NAME],[DOB] from PATIENTS WHERE [LAST NAME] = ");
const QString kPatientRow = QStringLiteral("Select * from PATIENTS WHERE PT_ID = ");
const QString kScheduleRow = QStringLiteral("Select * from SCHEDULED WHERE SCHEDULE_ID = ");

const QString kPeerList = QStringLiteral(
    "SELECT IP, CURRSESSIONID, PORT_IN, PORT_OUT FROM CURRENTSESSIONS WHERE IP <> '");
const QString kDeleteSession = QStringLiteral("DELETE FROM CURRENTSESSIONS WHERE IP = '");
const QString kInsertSession = QStringLiteral(
    "INSERT INTO CURRENTSESSIONS(IP, LOGGED_IN_AT, CURRSESSIONID, PORT_IN, PORT_OUT) Values('");

const QString kDataReport1 = QStringLiteral(
    "SELECT PATIENTS.*, SCHEDULED.* from PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    "AND SCHEDULED.BALANCE1 >'0' Order by [PATIENTS.LAST NAME] Asc");
const QString kDataReport3 = QStringLiteral(
    "SELECT PATIENTS.*, SCHEDULED.* From PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    "And SCHEDULED.START_TIME<Now() And (SCHEDULED.STATUS='CANCELLED' Or SCHEDULED.STATUS='NO "
    "SHOW') And DATEDIFF('d',SCHEDULED.START_TIME,Now())<=365 ORDER BY "
    "[SCHEDULED.RECALLDUEDATE]");
const QString kDataReport4 = QStringLiteral(
    "SELECT PATIENTS.* from PATIENTS WHERE PATIENTS.DIABETICYN = 'YES' Order by [LAST NAME] Asc");
const QString kDataReport9 =
    QStringLiteral("SELECT PATIENTS.* from PATIENTS WHERE PATIENTS.PT_ID = ");
const QString kDataReport10 = QStringLiteral(
    "SELECT PATIENTS.*, SCHEDULED.* From PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    "And (DATEDIFF('d',NOW,SCHEDULED.START_TIME)>=1 And DATEDIFF('d',NOW,SCHEDULED.START_TIME)<2) "
    "ORDER BY SCHEDULED.START_TIME");
const QString kDataReport11 =
    QStringLiteral("SELECT PATIENTS.* from PATIENTS Order by [PATIENTS.LAST NAME] Asc");

// The overdue ladder: lower bound L inclusive, upper bound U exclusive.
QString overdueReport(int l, int u) {
    return QStringLiteral(
               "SELECT PATIENTS.*, SCHEDULED.* From PATIENTS, SCHEDULED WHERE "
               "PATIENTS.PT_ID=SCHEDULED.PT_ID And SCHEDULED.RECALLDUEDATE<Now() And "
               "DATEDIFF('d',SCHEDULED.RECALLDUEDATE,Now())>=%1 And "
               "DATEDIFF('d',SCHEDULED.RECALLDUEDATE,Now())<%2 And (SELECT COUNT(*) FROM "
               "SCHEDULED WHERE SCHEDULED.PT_ID=PATIENTS.PT_ID And SCHEDULED.START_TIME>Now() AND "
               "(DATEDIFF('d', SCHEDULED.START_TIME, Now)>0 OR DATEDIFF('d', SCHEDULED.START_TIME, "
               "Now)<%2))=0 ORDER BY [SCHEDULED.RECALLDUEDATE]")
        .arg(l)
        .arg(u);
}

const QString kDataReport2 = QStringLiteral(
    "SELECT PATIENTS.*, SCHEDULED.* From PATIENTS,SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    "And SCHEDULED.RECALLDUEDATE>Now() And YEAR(SCHEDULED.RECALLDUEDATE) = YEAR(NOW()) And "
    "DATEDIFF('d', Now(), SCHEDULED.RECALLDUEDATE)<=14 And (SELECT COUNT(*) FROM SCHEDULED WHERE "
    "SCHEDULED.PT_ID=PATIENTS.PT_ID And SCHEDULED.START_TIME>Now() AND (DATEDIFF('d', "
    "SCHEDULED.START_TIME, Now) <0 OR DATEDIFF('d', SCHEDULED.START_TIME, Now)>14))=0 ORDER BY "
    "[SCHEDULED.RECALLDUEDATE]");

QString recallMonthQuery(int year, int month) {
    return QStringLiteral(
               "SELECT PATIENTS.PT_ID, SCHEDULED.RECALLDUEDATE AS FLD1 , PATIENTS.[LAST NAME] AS "
               "FLD2 , PATIENTS.[FIRST NAME] AS FLD3 , PATIENTS.DOB AS FLD4 , PATIENTS.HOUSENO AS "
               "FLD5 , PATIENTS.STREET1 AS FLD6 , PATIENTS.STREET2 AS FLD7 , PATIENTS.CITY AS FLD8 "
               ", PATIENTS.STATE AS FLD9 , PATIENTS.ZIP_CODE AS FLD10 , PATIENTS.WORK_TEL AS "
               "FLD11 , PATIENTS.HOME_TEL AS FLD12 FROM PATIENTS, SCHEDULED WHERE "
               "PATIENTS.PT_ID=SCHEDULED.PT_ID AND SCHEDULED.RECALLDUEDATE between DateSerial(") +
           QString::number(year) + u',' + QString::number(month) +
           QStringLiteral(",1) And DateSerial(") + QString::number(year) + u',' +
           QString::number(month) + QStringLiteral("+1,0) ORDER BY SCHEDULED.RECALLDUEDATE");
}

const QString kPatientList = QStringLiteral(
    "SELECT PT_ID, [LAST NAME], [FIRST NAME], MID_IN, DOB, SEX, NI_NO, INSUR_NO, HOUSENO, STREET1, "
    "STREET2, CITY, State, ZIP_CODE, WORK_TEL, HOME_TEL, MOBILE, DOCTOR FROM PATIENTS ORDER BY "
    "[LAST NAME]");
const QString kRecallList = QStringLiteral(
    "SELECT PATIENTS.PT_ID, SCHEDULED.RECALLDUEDATE AS FLD1 , PATIENTS.[LAST NAME] AS FLD2 , "
    "PATIENTS.[FIRST NAME] AS FLD3 , PATIENTS.DOB AS FLD4 , PATIENTS.HOUSENO AS FLD5 , "
    "PATIENTS.STREET1 AS FLD6 , PATIENTS.STREET2 AS FLD7 , PATIENTS.CITY AS FLD8 , PATIENTS.STATE "
    "AS FLD9 , PATIENTS.ZIP_CODE AS FLD10 , PATIENTS.WORK_TEL AS FLD11 , PATIENTS.HOME_TEL AS "
    "FLD12 FROM PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID AND "
    "SCHEDULED.RECALLDUEDATE>Now() ORDER BY SCHEDULED.RECALLDUEDATE");

QString sqlQuote(const QString& s) {
    QString q = s;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

QString patientHistory(const QString& id) {
    return QStringLiteral(
               "SELECT PATIENTS.*, SCHEDULED.* from PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID = ") +
           id + QStringLiteral(" AND SCHEDULED.PT_ID = ") + id;
}

QString duplicateCheck(const QString& last, const QString& first, const QString& dob) {
    return kDuplicateCheck + sqlQuote(last) + QStringLiteral(" AND [FIRST NAME] = ") +
           sqlQuote(first) + QStringLiteral(" AND [DOB] = ") + sqlQuote(dob);
}

// The patient UPDATE: values 2..4 are last name, first name, date of birth;
// `rest` fills MID_IN .. NOTES_NOTES2.
QString updatePatient(const QString& id, const QString& last, const QString& first,
                      const QString& dob, const QString& rest, const QString& created,
                      const QString& updated) {
    QString sql = QStringLiteral("UPDATE PATIENTS SET [LAST NAME] = ") + sqlQuote(last) +
                  QStringLiteral(", [FIRST NAME] = ") + sqlQuote(first) +
                  QStringLiteral(", DOB = ") + sqlQuote(dob);
    for (int p = 5; p <= 47; ++p) {
        sql += QStringLiteral(", ") + records::str(records::patientField(p).columnName) +
               QStringLiteral(" = ") + sqlQuote(rest);
    }
    sql += QStringLiteral(", CREATED = ") + sqlQuote(created) +
           QStringLiteral(", LAST_UPDATED = ") + sqlQuote(updated) +
           QStringLiteral(", DELETE_FLAG = ") + sqlQuote(QStringLiteral("NO")) +
           QStringLiteral(" WHERE PT_ID = ") + id;
    return sql;
}

// The appointment UPDATE; `due` is the due-date literal (quoted or NULL).
QString updateSchedule(const QString& id, const QString& start, const QString& end,
                       const QString& due, const QString& created, const QString& modified,
                       const QString& ptId) {
    const auto value = [&](int position) -> QString {
        switch (position) {
            case 1:
                return sqlQuote(start);
            case 2:
                return sqlQuote(end);
            case 11:
                return due;
            case 12:
                return sqlQuote(created);
            case 13:
                return sqlQuote(modified);
            case 14:
                return sqlQuote(ptId);
            default:
                return sqlQuote(QStringLiteral("it's value %1").arg(position));
        }
    };
    QString sql = QStringLiteral("UPDATE SCHEDULED SET START_TIME = ") + value(1);
    for (int p = 2; p <= records::kScheduleValueCount; ++p) {
        sql += QStringLiteral(", ") + records::str(records::scheduleField(p).columnName) +
               QStringLiteral(" = ") + value(p);
    }
    return sql + QStringLiteral(" WHERE SCHEDULE_ID = ") + id;
}

// Every text of the system with sample values in place.
QStringList systemSql() {
    QStringList all = {
        duplicateCheck(QStringLiteral("O'Brien"), QStringLiteral("Ann"),
                       QStringLiteral("05/03/1970")),
        updatePatient(QStringLiteral("7"), QStringLiteral("O'Brien"), QStringLiteral("Ann"),
                      QStringLiteral("05/03/1970"), QStringLiteral("x"),
                      QStringLiteral("01/02/2026 10:00:00"), QStringLiteral("10/03/2026 09:30:00")),
        kPatientRow + QStringLiteral("7"),
        updateSchedule(QStringLiteral("3"), QStringLiteral("10/03/2026 09:00:00"),
                       QStringLiteral("10/03/2026 09:30:00"), QStringLiteral("NULL"),
                       QStringLiteral("01/03/2026 08:00:00"), QStringLiteral("02/03/2026 08:00:00"),
                       QStringLiteral("7")),
        updateSchedule(QStringLiteral("3"), QStringLiteral("10/03/2026 09:00:00"),
                       QStringLiteral("10/03/2026 09:30:00"),
                       sqlQuote(QStringLiteral("10/09/2026")),
                       QStringLiteral("01/03/2026 08:00:00"), QStringLiteral("02/03/2026 08:00:00"),
                       QStringLiteral("7")),
        kScheduleRow + QStringLiteral("3"),
        kPeerList + QStringLiteral("127.0.0.2'"),
        kDeleteSession + QStringLiteral("127.0.0.2'"),
        kInsertSession + QStringLiteral("127.0.0.2', '10/03/2026 09:30:00','1','20050','dummy')"),
        kDataReport1,
        kDataReport2,
        kDataReport3,
        kDataReport4,
        kDataReport9 + QStringLiteral("7"),
        kDataReport10,
        kDataReport11,
        overdueReport(42, 84),
        overdueReport(84, 168),
        overdueReport(168, 365),
        overdueReport(365, 730),
        recallMonthQuery(2026, 12),
        kPatientList,
        patientHistory(QStringLiteral("7")),
        kRecallList,
    };
    for (const QString& kind : {QStringLiteral("Schedule"), QStringLiteral("Patient")}) {
        const QString db = QStringLiteral("temp%1DB").arg(kind);
        const QString ol = QStringLiteral("temp%1OL").arg(kind);
        all << QStringLiteral("INSERT INTO %1 (ids) Values(12)").arg(db)
            << QStringLiteral("INSERT INTO %1 (ids) Values(12)").arg(ol)
            << QStringLiteral("SELECT ids FROM %1").arg(db)
            << QStringLiteral(
                   "SELECT ids FROM %1 WHERE not exists (select ids from %2 Where %1.ids = %2.ids)")
                   .arg(db, ol)
            << QStringLiteral("DELETE * FROM %1").arg(ol)
            << QStringLiteral("DELETE * FROM %1").arg(db);
    }
    all << QStringLiteral("SELECT SCHEDULE_ID FROM SCHEDULED")
        << QStringLiteral("SELECT PT_ID FROM PATIENTS")
        << QStringLiteral("SELECT * FROM SCHEDULED WHERE SCHEDULE_ID = 3")
        << QStringLiteral("SELECT * FROM PATIENTS WHERE PT_ID = 7");
    return all;
}

class SystemSql : public ::testing::Test {
protected:
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 10), QTime(9, 30))};
    TestDatabase db{clock, Locale::unitedKingdom()};

    qint64 addPatient(const QString& last, const QString& dob = QStringLiteral("1970-03-05")) {
        EXPECT_EQ(db.execRaw(QStringLiteral("INSERT INTO PATIENTS (\"LAST NAME\", \"FIRST NAME\", "
                                            "DOB, DIABETICYN) VALUES (?, 'Ann', ?, 'YES')"),
                             {last, dob}),
                  QString());
        return sqlite3_last_insert_rowid(db.handle());
    }
    qint64 addAppointment(qint64 patient, const QString& start, const QString& due = QString()) {
        EXPECT_EQ(db.execRaw(QStringLiteral("INSERT INTO SCHEDULED (PT_ID, START_TIME, "
                                            "RECALLDUEDATE, STATUS) VALUES (?, ?, NULLIF(?, ''), "
                                            "'BOOKED')"),
                             {QString::number(patient), start, due}),
                  QString());
        return sqlite3_last_insert_rowid(db.handle());
    }
    // The first column of a translated query.
    QList<QVariant> ids(const QString& jetSql) {
        const auto sql = data::translateJetSql(jetSql, test::sharedDialect());
        EXPECT_TRUE(sql.ok()) << jetSql.toStdString();
        return sql ? db.column(*sql) : QList<QVariant>();
    }
};

QList<QVariant> ints(std::initializer_list<qint64> values) {
    QList<QVariant> out;
    for (const qint64 v : values) {
        out.append(QVariant(v));
    }
    return out;
}

}  // namespace

TEST_F(SystemSql, EveryTextTranslatesAndRunsOnTheTables) {
    addAppointment(addPatient(QStringLiteral("O'Brien")), QStringLiteral("2026-03-10 09:00:00"),
                   QStringLiteral("2026-03-20 00:00:00"));
    for (const QString& jet : systemSql()) {
        const auto sql = data::translateJetSql(jet, test::sharedDialect());
        ASSERT_TRUE(sql.ok()) << jet.toStdString() << "\n" << sql.error().description.toStdString();
        EXPECT_EQ(db.execRaw(*sql), QString()) << jet.toStdString() << "\n->\n"
                                               << sql->toStdString();
    }
}

TEST_F(SystemSql, DuplicateCheckFindsTheRowWhateverFormTheBirthDateWasWrittenIn) {
    const qint64 id = addPatient(QStringLiteral("O'Brien"));
    // The update writes the date of birth as the form shows it (day-month).
    ASSERT_EQ(db.exec(updatePatient(QString::number(id), QStringLiteral("O'Brien"),
                                    QStringLiteral("Ann"), QStringLiteral("05/03/1970"),
                                    QStringLiteral("x"), QStringLiteral("01/02/2026 10:00:00"),
                                    QStringLiteral("10/03/2026 09:30:00"))),
              QString());
    EXPECT_EQ(db.value(QStringLiteral("SELECT DOB || '|' || CREATED || '|' || LAST_UPDATED FROM "
                                      "PATIENTS")),
              QStringLiteral("1970-03-05 00:00:00|2026-02-01 10:00:00|2026-03-10 09:30:00"));
    // Names compare without letter case, as the schema declares NOCASE.
    EXPECT_EQ(ids(duplicateCheck(QStringLiteral("o'brien"), QStringLiteral("ANN"),
                                 QStringLiteral("05/03/1970"))),
              ints({id}));
    EXPECT_EQ(ids(duplicateCheck(QStringLiteral("O'Brien"), QStringLiteral("Ann"),
                                 QStringLiteral("1970-03-05"))),
              ints({id}));
    EXPECT_TRUE(ids(duplicateCheck(QStringLiteral("O'Brien"), QStringLiteral("Ann"),
                                   QStringLiteral("03/05/1970")))
                    .isEmpty());
}

TEST_F(SystemSql, ScheduleUpdateWritesDatesAndNullDueDate) {
    const qint64 id =
        addAppointment(addPatient(QStringLiteral("Smith")), QStringLiteral("2026-03-01 08:00:00"),
                       QStringLiteral("2026-06-01 00:00:00"));
    ASSERT_EQ(db.exec(updateSchedule(QString::number(id), QStringLiteral("10/03/2026 09:00:00"),
                                     QStringLiteral("10/03/2026 09:30:00"), QStringLiteral("NULL"),
                                     QStringLiteral("01/03/2026 08:00:00"),
                                     QStringLiteral("02/03/2026 08:00:00"), QStringLiteral("7"))),
              QString());
    EXPECT_EQ(db.value(QStringLiteral("SELECT START_TIME || '|' || END_TIME || '|' || CREATED_ON "
                                      "|| '|' || UPDATED_ON || '|' || PT_ID FROM SCHEDULED")),
              QStringLiteral("2026-03-10 09:00:00|2026-03-10 09:30:00|2026-03-01 "
                             "08:00:00|2026-03-02 08:00:00|7"));
    EXPECT_FALSE(db.value(QStringLiteral("SELECT RECALLDUEDATE FROM SCHEDULED")).isValid());
    EXPECT_EQ(db.value(QStringLiteral("SELECT PSCOMMENTS FROM SCHEDULED")),
              QStringLiteral("it's value 9"));
}

TEST_F(SystemSql, ScheduleUpdateWithANonDateFailsAsTypeMismatchAndWritesNothing) {
    const qint64 id =
        addAppointment(addPatient(QStringLiteral("Smith")), QStringLiteral("2026-03-01 08:00:00"));
    const QString message = db.exec(updateSchedule(
        QString::number(id), QStringLiteral("soon"), QStringLiteral("10/03/2026 09:30:00"),
        QStringLiteral("NULL"), QStringLiteral("01/03/2026 08:00:00"),
        QStringLiteral("02/03/2026 08:00:00"), QStringLiteral("7")));
    EXPECT_EQ(data::errorNumberOfFunctionMessage(message), err::kTypeMismatch)
        << message.toStdString();
    EXPECT_EQ(db.value(QStringLiteral("SELECT START_TIME FROM SCHEDULED")),
              QStringLiteral("2026-03-01 08:00:00"));
}

TEST_F(SystemSql, SessionInsertStoresTheLoginTimeAsADate) {
    ASSERT_EQ(db.exec(kInsertSession +
                      QStringLiteral("127.0.0.2', '10/03/2026 09:30:00','1','20050','dummy')")),
              QString());
    ASSERT_EQ(db.exec(kInsertSession +
                      QStringLiteral("127.0.0.3', '10/03/2026 09:31:00','1','20050','dummy')")),
              QString());
    EXPECT_EQ(db.value(QStringLiteral("SELECT LOGGED_IN_AT FROM CURRENTSESSIONS WHERE IP = "
                                      "'127.0.0.2'")),
              QStringLiteral("2026-03-10 09:30:00"));
    const auto sql = data::translateJetSql(kPeerList + QStringLiteral("127.0.0.2'"), {});
    ASSERT_TRUE(sql.ok());
    EXPECT_EQ(db.column(*sql), QList<QVariant>{QStringLiteral("127.0.0.3")});
    EXPECT_EQ(db.exec(kDeleteSession + QStringLiteral("127.0.0.2'")), QString());
    EXPECT_EQ(db.value(QStringLiteral("SELECT COUNT(*) FROM CURRENTSESSIONS")),
              QVariant(qint64{1}));
}

TEST_F(SystemSql, NextDayReportTakesTheWholeOfTomorrowOnly) {
    const qint64 p = addPatient(QStringLiteral("Smith"));
    addAppointment(p, QStringLiteral("2026-03-10 23:59:59"));  // today
    const qint64 early = addAppointment(p, QStringLiteral("2026-03-11 00:00:00"));
    const qint64 late = addAppointment(p, QStringLiteral("2026-03-11 23:59:59"));
    addAppointment(p, QStringLiteral("2026-03-12 00:00:00"));  // the day after
    addAppointment(p, QStringLiteral("2026-03-09 10:00:00"));  // yesterday
    const auto sql = data::translateJetSql(kDataReport10, test::sharedDialect());
    ASSERT_TRUE(sql.ok());
    EXPECT_EQ(db.column(QStringLiteral("SELECT SCHEDULE_ID FROM (") + *sql + u')'),
              ints({early, late}));
}

TEST_F(SystemSql, RecallMonthCoversTheWholeMonthAcrossYearEndAndLeapFebruary) {
    const qint64 p = addPatient(QStringLiteral("Smith"));
    addAppointment(p, QStringLiteral("2026-01-01 00:00:00"), QStringLiteral("2026-11-30 00:00:00"));
    addAppointment(p, QStringLiteral("2026-01-01 00:00:00"), QStringLiteral("2026-12-01 00:00:00"));
    addAppointment(p, QStringLiteral("2026-01-01 00:00:00"), QStringLiteral("2026-12-31 00:00:00"));
    addAppointment(p, QStringLiteral("2026-01-01 00:00:00"), QStringLiteral("2027-01-01 00:00:00"));
    addAppointment(p, QStringLiteral("2026-01-01 00:00:00"), QStringLiteral("2028-02-29 00:00:00"));
    addAppointment(p, QStringLiteral("2026-01-01 00:00:00"), QStringLiteral("2028-03-01 00:00:00"));
    const auto dueDates = [&](int y, int m) {
        QStringList out;
        const auto sql = data::translateJetSql(recallMonthQuery(y, m), test::sharedDialect());
        EXPECT_TRUE(sql.ok());
        for (const QVariant& v : db.column(QStringLiteral("SELECT FLD1 FROM (") + *sql + u')')) {
            out << v.toString();
        }
        return out;
    };
    EXPECT_EQ(dueDates(2026, 12), (QStringList{QStringLiteral("2026-12-01 00:00:00"),
                                               QStringLiteral("2026-12-31 00:00:00")}));
    EXPECT_EQ(dueDates(2028, 2), QStringList{QStringLiteral("2028-02-29 00:00:00")});
    EXPECT_EQ(dueDates(2027, 1), QStringList{QStringLiteral("2027-01-01 00:00:00")});
}

TEST_F(SystemSql, OverdueLadderPlacesEachRecallOnOneRungAndSkipsBookedPatients) {
    // Today is 2026-03-10; 42 days earlier is 2026-01-27.
    const qint64 a = addPatient(QStringLiteral("A"));
    const qint64 b = addPatient(QStringLiteral("B"));
    const qint64 c = addPatient(QStringLiteral("C"));
    const qint64 d = addPatient(QStringLiteral("D"));
    const qint64 due42 = addAppointment(a, QStringLiteral("2025-10-01 09:00:00"),
                                        QStringLiteral("2026-01-27 00:00:00"));
    addAppointment(b, QStringLiteral("2025-10-01 09:00:00"), QStringLiteral("2026-01-28 00:00:00"));
    const qint64 due84 = addAppointment(c, QStringLiteral("2025-10-01 09:00:00"),
                                        QStringLiteral("2025-12-16 00:00:00"));
    addAppointment(d, QStringLiteral("2025-10-01 09:00:00"), QStringLiteral("2026-01-20 00:00:00"));
    addAppointment(d, QStringLiteral("2026-04-01 09:00:00"));  // D is booked
    const auto scheduleIds = [&](const QString& jet) {
        const auto sql = data::translateJetSql(jet, test::sharedDialect());
        EXPECT_TRUE(sql.ok());
        return db.column(QStringLiteral("SELECT SCHEDULE_ID FROM (") + *sql + u')');
    };
    EXPECT_EQ(scheduleIds(overdueReport(42, 84)), ints({due42}));
    EXPECT_EQ(scheduleIds(overdueReport(84, 168)), ints({due84}));
    EXPECT_TRUE(scheduleIds(overdueReport(365, 730)).isEmpty());
}

TEST_F(SystemSql, FirstReminderTakesTheNextFourteenDaysOfThisYear) {
    const qint64 a = addPatient(QStringLiteral("A"));
    const qint64 b = addPatient(QStringLiteral("B"));
    const qint64 in14 = addAppointment(a, QStringLiteral("2025-10-01 09:00:00"),
                                       QStringLiteral("2026-03-24 00:00:00"));
    addAppointment(b, QStringLiteral("2025-10-01 09:00:00"), QStringLiteral("2026-03-25 00:00:00"));
    const auto sql = data::translateJetSql(kDataReport2, test::sharedDialect());
    ASSERT_TRUE(sql.ok());
    EXPECT_EQ(db.column(QStringLiteral("SELECT SCHEDULE_ID FROM (") + *sql + u')'), ints({in14}));
}

TEST_F(SystemSql, ResyncDifferenceAndEmptying) {
    for (const int id : {1, 2, 3}) {
        ASSERT_EQ(db.exec(QStringLiteral("INSERT INTO tempScheduleDB (ids) Values(") +
                          QString::number(id) + u')'),
                  QString());
    }
    ASSERT_EQ(db.exec(QStringLiteral("INSERT INTO tempScheduleOL (ids) Values(2)")), QString());
    EXPECT_EQ(ids(QStringLiteral("SELECT ids FROM tempScheduleDB WHERE not exists (select ids "
                                 "from tempScheduleOL Where tempScheduleDB.ids = "
                                 "tempScheduleOL.ids)")),
              ints({1, 3}));
    ASSERT_EQ(db.exec(QStringLiteral("DELETE * FROM tempScheduleOL")), QString());
    ASSERT_EQ(db.exec(QStringLiteral("DELETE * FROM tempScheduleDB")), QString());
    EXPECT_EQ(db.value(QStringLiteral("SELECT (SELECT COUNT(*) FROM tempScheduleOL) + (SELECT "
                                      "COUNT(*) FROM tempScheduleDB)")),
              QVariant(qint64{0}));
}
