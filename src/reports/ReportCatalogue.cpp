#include "reports/ReportCatalogue.h"

#include <array>

#include "reports/ReportSql.h"

namespace orlo::reports {

namespace {

#define ORLO_OVERDUE_DESCRIPTION(N)                                                              \
    u"This report shows all the patients which did not schedule an appointment by there Recall " \
    u"Due Date. (" N " Reminder)"

constexpr std::array<ReportEntry, 12> kCatalogue = {{
    {ReportId::DataReport1, u"DataReport1", u"balance-overdue", u"Balance Overdue Results Report",
     nullptr, kBalanceOverdueSql},
    {ReportId::DataReport2, u"DataReport2", u"recall-2-week",
     u"2 Week Patient Recall Reminder Report",
     u"This report shows all the patients that are due within the next 2 weeks but have not "
     u"scheduled an appointment. (1st Reminder)",
     kTwoWeekRecallSql},
    {ReportId::DataReport3, u"DataReport3", u"no-show", u"No Show/Cancelled Patient Report",
     u"This report shows all the patients that did not show or cancelled appointments.",
     kNoShowSql},
    {ReportId::DataReport4, u"DataReport4", u"diabetic", u"Diabetic Patients Report", nullptr,
     kDiabeticSql},
    {ReportId::DataReport5, u"DataReport5", u"recall-6-week",
     u"6 Week Overdue Patient Recall Report", ORLO_OVERDUE_DESCRIPTION("2nd"), kSixWeekOverdueSql},
    {ReportId::DataReport6, u"DataReport6", u"recall-3-month",
     u"12 Week (3mth) Overdue Patient Recall Report", ORLO_OVERDUE_DESCRIPTION("3rd"),
     kThreeMonthOverdueSql},
    {ReportId::DataReport7, u"DataReport7", u"recall-6-month",
     u"24 Week (6mth) Overdue Patient Recall Report", ORLO_OVERDUE_DESCRIPTION("4th"),
     kSixMonthOverdueSql},
    {ReportId::DataReport8, u"DataReport8", u"recall-12-month",
     u"52 Week (1yr) Overdue Patient Recall Report", ORLO_OVERDUE_DESCRIPTION("5th"),
     kTwelveMonthOverdueSql},
    {ReportId::DataReport9, u"DataReport9", u"patient-detail", u"Patient Detail Report", nullptr,
     kPatientDetailSql},
    {ReportId::DataReport10, u"DataReport10", u"next-day", u"Next Day Appointments Report",
     u"This report shows all the patients scheduled for an appointment tomorrow.", kNextDaySql},
    {ReportId::DataReport11, u"DataReport11", u"patient-list", u"Patient List Report", nullptr,
     kPatientListSql},
    {ReportId::MontlyRecall, u"MontlyRecall", u"monthly-recall", u"Patient Recall Report", nullptr,
     nullptr},
}};
#undef ORLO_OVERDUE_DESCRIPTION

}  // namespace

std::span<const ReportEntry> reportCatalogue() {
    return kCatalogue;
}

const ReportEntry& reportEntry(ReportId id) {
    return kCatalogue[std::size_t(id) - 1];
}

const ReportEntry* findReport(const QString& name) {
    for (const ReportEntry& e : kCatalogue) {
        if (name.compare(QString::fromUtf16(e.object), Qt::CaseInsensitive) == 0 ||
            name.compare(QString::fromUtf16(e.alias), Qt::CaseInsensitive) == 0) {
            return &e;
        }
    }
    return nullptr;
}

QString recallMonthSql(const QString& year, const QString& month) {
    return QStringLiteral(
               "SELECT PATIENTS.PT_ID, SCHEDULED.RECALLDUEDATE AS FLD1 , PATIENTS.[LAST NAME] AS "
               "FLD2 , PATIENTS.[FIRST NAME] AS FLD3 , PATIENTS.DOB AS FLD4 , PATIENTS.HOUSENO AS "
               "FLD5 , PATIENTS.STREET1 AS FLD6 , PATIENTS.STREET2 AS FLD7 , PATIENTS.CITY AS FLD8 "
               ", PATIENTS.STATE AS FLD9 , PATIENTS.ZIP_CODE AS FLD10 , PATIENTS.WORK_TEL AS FLD11 "
               ", PATIENTS.HOME_TEL AS FLD12 FROM PATIENTS, SCHEDULED WHERE "
               "PATIENTS.PT_ID=SCHEDULED.PT_ID AND SCHEDULED.RECALLDUEDATE between DateSerial(") +
           year + QLatin1Char(',') + month + QStringLiteral(",1) And DateSerial(") + year +
           QLatin1Char(',') + month + QStringLiteral("+1,0) ORDER BY SCHEDULED.RECALLDUEDATE");
}

}  // namespace orlo::reports
