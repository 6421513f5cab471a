#include "reports/ReportCommands.h"

#include "common/AddinContext.h"
#include "common/ErrorReport.h"
#include "platform/core/ErrorTrap.h"
#include "platform/report/ReportPreview.h"

namespace orlo::reports {

QString ReportCommands::errorTitle(ReportId id) {
    return QString::fromUtf16(reportEntry(id).title) + QStringLiteral(" Errors");
}

void ReportCommands::show(ReportId id) {
    if (m_showing.contains(id)) {
        return;
    }
    LoadFailure failure;
    std::unique_ptr<report::Report> report = id == ReportId::DataReport9
                                                 ? loadPatientDetail(m_ctx, failure)
                                                 : DataReport_Initialize(m_ctx, id, failure);
    if (!report) {
        reportFailure(id, failure);
        return;
    }
    present(id, *report);
}

void ReportCommands::showMontlyRecall(const QString& month, const QString& year,
                                      std::shared_ptr<data::Recordset> recordset) {
    if (m_showing.contains(ReportId::MontlyRecall)) {
        return;
    }
    auto report = MontlyRecall(month, year, std::move(recordset), m_ctx.clock, m_ctx.locale);
    if (!report) {
        reportFailure(ReportId::MontlyRecall, LoadFailure{report.error(), {}});
        return;
    }
    present(ReportId::MontlyRecall, **report);
}

void ReportCommands::present(ReportId id, report::Report& report) {
    m_showing.insert(id);
    const Status shown = report::showReportPreview(report, m_ctx.messageBoxes);
    m_showing.erase(id);
    if (!shown) {
        reportFailure(id, LoadFailure{shown.error(), {}});
    }
}

void ReportCommands::reportFailure(ReportId id, const LoadFailure& failure) {
    if (!failure.error.isError()) {
        return;  // the loader has shown its own message already
    }
    // The log keeps every error of the connection, or the error itself when
    // the connection had none (a report that could not be laid out). A log
    // that cannot be written has nowhere else to go: the box was shown.
    if (!failure.providerErrors.empty()) {
        ignoreError(reportDatabaseError(failure.error, errorTitle(id), failure.providerErrors,
                                        m_ctx.messageBoxes, m_ctx.log()),
                    "the box was shown; a log that cannot be written has nowhere to go");
        return;
    }
    m_ctx.messageBoxes.show(errorBoxText(failure.error), MsgButtons::OK, MsgIcon::Critical,
                            errorTitle(id));
    ignoreError(m_ctx.log().WriteErrorLog(failure.error.description),
                "the box was shown; a log that cannot be written has nowhere to go");
}

}  // namespace orlo::reports
