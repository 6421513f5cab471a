#pragma once
// ReportCommands: what the add-in's menu and public methods do with the
// reports: load one (a fresh connection and query every time, nothing
// cached) and show it modal in the preview until the user closes it.
//
// A report that cannot load its data or be laid out says so: a critical
// box with the error under the report's own title ("<title> Errors"), and
// the errors of its connection in the error log. The user never clicks a
// report and sees nothing.

#include <set>

#include "reports/ReportCatalogue.h"
#include "reports/ReportLoader.h"

namespace orlo {
struct AddinContext;
}

namespace orlo::reports {

class ReportCommands {
public:
    explicit ReportCommands(AddinContext& ctx) : m_ctx(ctx) {}

    // A self-loading report (DataReport1 to DataReport11; DataReport9 takes
    // its patient from the active item window).
    void show(ReportId id);
    // MontlyRecall over the recall-by-month window's rows.
    void showMontlyRecall(const QString& month, const QString& year,
                          std::shared_ptr<data::Recordset> recordset);

    // The title of the box that reports a report's failure.
    static QString errorTitle(ReportId id);

private:
    void present(ReportId id, report::Report& report);
    void reportFailure(ReportId id, const LoadFailure& failure);

    AddinContext& m_ctx;
    // The reports on screen: one instance per report, and a report is
    // modal, so a second request for one that is open is dropped.
    std::set<ReportId> m_showing;
};

}  // namespace orlo::reports
