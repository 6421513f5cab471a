#pragma once
// The system's own SQL texts as the reports, finders, session registry and
// resync send them, byte for byte, for the table-driven SQL test and the
// data benchmark. Texts with a variable part are built by the functions.

#include <QString>
#include <QStringList>

namespace orlo::test::sql {

inline const QString kBalanceOverdue = QStringLiteral(
    "SELECT PATIENTS.*, SCHEDULED.* from PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    "AND SCHEDULED.BALANCE1 >'0' Order by [PATIENTS.LAST NAME] Asc");

inline const QString kTwoWeekRecall = QStringLiteral(
    "SELECT PATIENTS.*, SCHEDULED.* From PATIENTS,SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    "And SCHEDULED.RECALLDUEDATE>Now() And YEAR(SCHEDULED.RECALLDUEDATE) = YEAR(NOW()) And "
    "DATEDIFF('d', Now(), SCHEDULED.RECALLDUEDATE)<=14"
    " And (SELECT COUNT(*) FROM SCHEDULED WHERE SCHEDULED.PT_ID=PATIENTS.PT_ID And "
    "SCHEDULED.START_TIME>Now() AND (DATEDIFF('d', SCHEDULED.START_TIME, Now) <0 OR "
    "DATEDIFF('d', SCHEDULED.START_TIME, Now)>14))=0 ORDER BY [SCHEDULED.RECALLDUEDATE]");

inline const QString kNoShow = QStringLiteral(
    "SELECT PATIENTS.*, SCHEDULED.* From PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    "And SCHEDULED.START_TIME<Now() And (SCHEDULED.STATUS='CANCELLED' Or SCHEDULED.STATUS='NO "
    "SHOW') And DATEDIFF('d',SCHEDULED.START_TIME,Now())<=365 ORDER BY [SCHEDULED.RECALLDUEDATE]");

inline const QString kDiabetic = QStringLiteral(
    "SELECT PATIENTS.* from PATIENTS WHERE PATIENTS.DIABETICYN = 'YES' Order by [LAST NAME] Asc");

inline const QString kPatientDetailPrefix =
    QStringLiteral("SELECT PATIENTS.* from PATIENTS WHERE PATIENTS.PT_ID = ");

inline const QString kNextDay = QStringLiteral(
    "SELECT PATIENTS.*, SCHEDULED.* From PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    "And (DATEDIFF('d',NOW,SCHEDULED.START_TIME)>=1 And DATEDIFF('d',NOW,SCHEDULED.START_TIME)<2) "
    "ORDER BY SCHEDULED.START_TIME");

inline const QString kPatientList =
    QStringLiteral("SELECT PATIENTS.* from PATIENTS Order by [PATIENTS.LAST NAME] Asc");

// The four overdue recall rungs: lower bound L, upper bound U in days.
inline QString overdueRecall(int lower, int upper) {
    return QStringLiteral(
               "SELECT PATIENTS.*, SCHEDULED.* From PATIENTS, SCHEDULED WHERE "
               "PATIENTS.PT_ID=SCHEDULED.PT_ID And SCHEDULED.RECALLDUEDATE<Now() And "
               "DATEDIFF('d',SCHEDULED.RECALLDUEDATE,Now())>=%1 And "
               "DATEDIFF('d',SCHEDULED.RECALLDUEDATE,Now())<%2 And (SELECT COUNT(*) FROM SCHEDULED "
               "WHERE SCHEDULED.PT_ID=PATIENTS.PT_ID And SCHEDULED.START_TIME>Now() AND "
               "(DATEDIFF('d', SCHEDULED.START_TIME, Now)>0 OR DATEDIFF('d', SCHEDULED.START_TIME, "
               "Now)<%2))=0 ORDER BY [SCHEDULED.RECALLDUEDATE]")
        .arg(lower)
        .arg(upper);
}
inline const QString kSixWeekOverdue = overdueRecall(42, 84);
inline const QString kThreeMonthOverdue = overdueRecall(84, 168);
inline const QString kSixMonthOverdue = overdueRecall(168, 365);
inline const QString kTwelveMonthOverdue = overdueRecall(365, 730);

// The recall list of one month (year and month number as the window passes them).
inline QString recallMonth(const QString& year, const QString& month) {
    return QStringLiteral(
               "SELECT PATIENTS.PT_ID, SCHEDULED.RECALLDUEDATE AS FLD1 , PATIENTS.[LAST NAME] AS "
               "FLD2 , PATIENTS.[FIRST NAME] AS FLD3 , PATIENTS.DOB AS FLD4 , PATIENTS.HOUSENO AS "
               "FLD5 , PATIENTS.STREET1 AS FLD6 , PATIENTS.STREET2 AS FLD7 , PATIENTS.CITY AS FLD8 "
               ", PATIENTS.STATE AS FLD9 , PATIENTS.ZIP_CODE AS FLD10 , PATIENTS.WORK_TEL AS FLD11 "
               ", PATIENTS.HOME_TEL AS FLD12 FROM PATIENTS, SCHEDULED WHERE "
               "PATIENTS.PT_ID=SCHEDULED.PT_ID AND SCHEDULED.RECALLDUEDATE between DateSerial(") +
           year + QStringLiteral(",") + month + QStringLiteral(",1) And DateSerial(") + year +
           QStringLiteral(",") + month + QStringLiteral("+1,0) ORDER BY SCHEDULED.RECALLDUEDATE");
}

// The finder's shared recordsets.
inline const QString kPatientFinderList = QStringLiteral(
    "SELECT PT_ID, [LAST NAME], [FIRST NAME], MID_IN, DOB, SEX, NI_NO, INSUR_NO, HOUSENO, STREET1, "
    "STREET2, CITY, State, ZIP_CODE, WORK_TEL, HOME_TEL, MOBILE, DOCTOR FROM PATIENTS ORDER BY "
    "[LAST NAME]");
inline QString patientHistory(const QString& id) {
    return QStringLiteral(
               "SELECT PATIENTS.*, SCHEDULED.* from PATIENTS, SCHEDULED WHERE "
               "PATIENTS.PT_ID = ") +
           id + QStringLiteral(" AND SCHEDULED.PT_ID = ") + id;
}
inline const QString kRecallList = QStringLiteral(
    "SELECT PATIENTS.PT_ID, SCHEDULED.RECALLDUEDATE AS FLD1 , PATIENTS.[LAST NAME] AS FLD2 , "
    "PATIENTS.[FIRST NAME] AS FLD3 , PATIENTS.DOB AS FLD4 , PATIENTS.HOUSENO AS FLD5 , "
    "PATIENTS.STREET1 AS FLD6 , PATIENTS.STREET2 AS FLD7 , PATIENTS.CITY AS FLD8 , PATIENTS.STATE "
    "AS FLD9 , PATIENTS.ZIP_CODE AS FLD10 , PATIENTS.WORK_TEL AS FLD11 , PATIENTS.HOME_TEL AS "
    "FLD12 FROM PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID AND "
    "SCHEDULED.RECALLDUEDATE>Now() ORDER BY SCHEDULED.RECALLDUEDATE");

// The duplicate check of a patient save (texts already quoted).
inline QString duplicateCheck(const QString& last, const QString& first, const QString& dob) {
    return QStringLiteral(
               "Select [PT_ID],[LAST NAME],[FIRST NAME],[DOB] from PATIENTS WHERE [LAST "
               "NAME] = ") +
           last + QStringLiteral(" AND [FIRST NAME] = ") + first + QStringLiteral(" AND [DOB] = ") +
           dob;
}

}  // namespace orlo::test::sql
