#pragma once
// The system's reports: the eleven that load their own data (DataReport1
// to DataReport11) and MontlyRecall, which is handed the recall-by-month
// window's rows. For each: its object name, a readable alias for the admin
// tool, the title and description printed in its report header, its SQL
// text, and its layout (report/ReportLayouts.h).

#include <QString>
#include <span>

#include "platform/report/ReportDefinition.h"

namespace orlo::reports {

enum class ReportId {
    DataReport1 = 1,  // balance overdue
    DataReport2,      // 2-week recall reminder
    DataReport3,      // no show / cancellation
    DataReport4,      // diabetic patients
    DataReport5,      // 6 weeks overdue
    DataReport6,      // 3 months overdue
    DataReport7,      // 6 months overdue
    DataReport8,      // 12 months overdue
    DataReport9,      // patient detail
    DataReport10,     // next day appointments
    DataReport11,     // patient list
    MontlyRecall,
};

struct ReportEntry {
    ReportId id;
    const char16_t* object;  // "DataReport1"
    const char16_t* alias;   // "balance-overdue"
    const char16_t* title;
    const char16_t* description;  // null: none
    // The query; DataReport9's is followed by the patient's id; null for
    // MontlyRecall, whose rows are handed in.
    const char16_t* sql;
};

std::span<const ReportEntry> reportCatalogue();
const ReportEntry& reportEntry(ReportId id);
// By object name or alias, ignoring case; null when unknown.
const ReportEntry* findReport(const QString& name);

// The report's bands with every label and text box; "Date1" is left for
// the loading report to fill and MontlyRecall's title ("Label3") too.
report::ReportDefinition reportDefinition(ReportId id);

// The band and label names the loading code fills at run time.
inline constexpr char16_t kReportHeaderSection[] = u"Section4";
inline constexpr char16_t kTitleLabel[] = u"Label3";
inline constexpr char16_t kDateLabel[] = u"Date1";

}  // namespace orlo::reports
