#pragma once
// Loading a report's data: the frame every self-loading report runs when it
// is created, and the way MontlyRecall takes the rows handed to it.
//
// A self-loading report, in this order: reads "defaultDBlocation" afresh;
// an empty location shows the missing-database message and loads nothing;
// sets "Date1" to today's long date; opens a new connection with the
// reports' connection text ("...;Data Source= " and the path); opens its
// query as a static recordset (optimistic lock, command type not given);
// makes that recordset its data source; and lets go of its own references
// (the data source keeps the recordset and its connection open).

#include <QString>
#include <memory>

#include "platform/core/ProviderError.h"
#include "platform/core/Result.h"
#include "platform/report/Report.h"
#include "reports/ReportCatalogue.h"

namespace orlo::data {
class ConnectionPool;
}

namespace orlo {
class Clock;
class Locale;
struct AddinContext;
}  // namespace orlo
namespace orlo::data {
class Recordset;
}

namespace orlo::reports {

// The box of a patient detail report that has no patient to show.
inline constexpr char16_t kPatientDetailProblemText[] =
    u"There was a problem loading the specified patient detail report, please close all windows "
    u"and try again";
inline constexpr char16_t kReportErrorTitle[] = u"Orlo Software Error";

// What went wrong while a report loaded its data, with the errors of its
// connection for the error log.
struct LoadFailure {
    Error error;
    ProviderErrors providerErrors;
};

// The frame from "Date1" on, for a database path already known: the
// report's definition with its date, its data source the query's rows.
// `sql` is the report's full text (DataReport9's with the id appended).
// A server's connection comes from `pool` when one is given and goes back
// to it when the report's rows are closed.
std::unique_ptr<report::Report> loadReportData(ReportId id, const QString& sql,
                                               const QString& databasePath, const Clock& clock,
                                               const Locale& locale, LoadFailure& failure,
                                               std::shared_ptr<data::ConnectionPool> pool = {});

// The whole frame as the add-in runs it (the registry read and the
// missing-database check first). Null when nothing was loaded; a failure
// to load is then in `failure` (error number 0 when a message was shown
// already).
std::unique_ptr<report::Report> DataReport_Initialize(AddinContext& ctx, ReportId id,
                                                      LoadFailure& failure);

// DataReport9 for the patient of the active item window: its "PatientID"
// must be plain digits, or the report shows its problem message and loads
// nothing (nothing typed into an item ever becomes part of a statement).
std::unique_ptr<report::Report> loadPatientDetail(AddinContext& ctx, LoadFailure& failure);
bool isPlainId(const QString& text);

// MontlyRecall's initialisation: the title "<Month> <Year> Patient Recall
// Report", today's long date, and the rows the month click bound.
Result<std::unique_ptr<report::Report>> MontlyRecall(const QString& month, const QString& year,
                                                     std::shared_ptr<data::Recordset> recordset,
                                                     const Clock& clock, const Locale& locale);

}  // namespace orlo::reports
