#pragma once
// The SQL text of every report, as it is sent to the provider (one line
// each; spacing, letter case and the missing blank in "PATIENTS,SCHEDULED"
// are the system's own and the dialect layer reads them as they are).

#include <QString>

namespace orlo::reports {

inline constexpr char16_t kBalanceOverdueSql[] =
    u"SELECT PATIENTS.*, SCHEDULED.* from PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    u"AND SCHEDULED.BALANCE1 >'0' Order by [PATIENTS.LAST NAME] Asc";

inline constexpr char16_t kTwoWeekRecallSql[] =
    u"SELECT PATIENTS.*, SCHEDULED.* From PATIENTS,SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    u"And SCHEDULED.RECALLDUEDATE>Now() And YEAR(SCHEDULED.RECALLDUEDATE) = YEAR(NOW()) And "
    u"DATEDIFF('d', Now(), SCHEDULED.RECALLDUEDATE)<=14 And (SELECT COUNT(*) FROM SCHEDULED "
    u"WHERE SCHEDULED.PT_ID=PATIENTS.PT_ID And SCHEDULED.START_TIME>Now() AND (DATEDIFF('d', "
    u"SCHEDULED.START_TIME, Now) <0 OR DATEDIFF('d', SCHEDULED.START_TIME, Now)>14))=0 ORDER BY "
    u"[SCHEDULED.RECALLDUEDATE]";

inline constexpr char16_t kNoShowSql[] =
    u"SELECT PATIENTS.*, SCHEDULED.* From PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    u"And SCHEDULED.START_TIME<Now() And (SCHEDULED.STATUS='CANCELLED' Or SCHEDULED.STATUS='NO "
    u"SHOW') And DATEDIFF('d',SCHEDULED.START_TIME,Now())<=365 ORDER BY [SCHEDULED.RECALLDUEDATE]";

inline constexpr char16_t kDiabeticSql[] =
    u"SELECT PATIENTS.* from PATIENTS WHERE PATIENTS.DIABETICYN = 'YES' Order by [LAST NAME] Asc";

// Followed by the patient's id.
inline constexpr char16_t kPatientDetailSql[] =
    u"SELECT PATIENTS.* from PATIENTS WHERE PATIENTS.PT_ID = ";

inline constexpr char16_t kNextDaySql[] =
    u"SELECT PATIENTS.*, SCHEDULED.* From PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    u"And (DATEDIFF('d',NOW,SCHEDULED.START_TIME)>=1 And DATEDIFF('d',NOW,SCHEDULED.START_TIME)<2) "
    u"ORDER BY SCHEDULED.START_TIME";

inline constexpr char16_t kPatientListSql[] =
    u"SELECT PATIENTS.* from PATIENTS Order by [PATIENTS.LAST NAME] Asc";

// The overdue recall rungs: due between L and U-1 days ago, no appointment
// to come (U also bounds the inner day difference).
#define ORLO_OVERDUE_RECALL_SQL(L, U)                                                      \
    u"SELECT PATIENTS.*, SCHEDULED.* From PATIENTS, SCHEDULED WHERE "                      \
    u"PATIENTS.PT_ID=SCHEDULED.PT_ID And SCHEDULED.RECALLDUEDATE<Now() And "               \
    u"DATEDIFF('d',SCHEDULED.RECALLDUEDATE,Now())>=" L                                     \
    " And "                                                                                \
    u"DATEDIFF('d',SCHEDULED.RECALLDUEDATE,Now())<" U                                      \
    " And (SELECT COUNT(*) FROM SCHEDULED "                                                \
    u"WHERE SCHEDULED.PT_ID=PATIENTS.PT_ID And SCHEDULED.START_TIME>Now() AND "            \
    u"(DATEDIFF('d', SCHEDULED.START_TIME, Now)>0 OR DATEDIFF('d', SCHEDULED.START_TIME, " \
    u"Now)<" U u"))=0 ORDER BY [SCHEDULED.RECALLDUEDATE]"

inline constexpr char16_t kSixWeekOverdueSql[] = ORLO_OVERDUE_RECALL_SQL("42", "84");
inline constexpr char16_t kThreeMonthOverdueSql[] = ORLO_OVERDUE_RECALL_SQL("84", "168");
inline constexpr char16_t kSixMonthOverdueSql[] = ORLO_OVERDUE_RECALL_SQL("168", "365");
inline constexpr char16_t kTwelveMonthOverdueSql[] = ORLO_OVERDUE_RECALL_SQL("365", "730");
#undef ORLO_OVERDUE_RECALL_SQL

// The recall list of one month, as the recall-by-month window opens it:
// year and month number as digits (the engine rolls month 13 into the
// next year for the month's last day).
QString recallMonthSql(const QString& year, const QString& month);

}  // namespace orlo::reports
