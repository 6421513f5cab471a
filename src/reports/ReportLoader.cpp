#include "reports/ReportLoader.h"

#include <algorithm>

#include "common/AddinContext.h"
#include "common/DatabaseLocation.h"
#include "host/Application.h"
#include "host/Inspector.h"
#include "host/Item.h"
#include "platform/data/Connection.h"
#include "platform/data/Recordset.h"
#include "platform/report/RecordsetData.h"
#include "platform/ui/MessageBox.h"

namespace orlo::reports {

namespace {

Status setDate(report::ReportDefinition& def, const Clock& clock, const Locale& locale) {
    return def.setLabelCaption(QString::fromUtf16(kReportHeaderSection),
                               QString::fromUtf16(kDateLabel), locale.longDate(clock.today()));
}

void showProblem(AddinContext& ctx) {
    ctx.messageBoxes.show(QString::fromUtf16(kPatientDetailProblemText), MsgButtons::OK,
                          MsgIcon::Critical, QString::fromUtf16(kReportErrorTitle));
}

}  // namespace

std::unique_ptr<report::Report> loadReportData(ReportId id, const QString& sql,
                                               const QString& databasePath, const Clock& clock,
                                               const Locale& locale, LoadFailure& failure,
                                               std::shared_ptr<data::ConnectionPool> pool) {
    auto report = std::make_unique<report::Report>(reportDefinition(id));
    if (Status dated = setDate(report->definition(), clock, locale); !dated) {
        failure = {dated.error(), {}};
        return nullptr;
    }
    auto connection =
        std::make_unique<data::Connection>(data::DataContext{clock, locale, 0, std::move(pool)});
    auto recordset = std::make_shared<data::Recordset>();
    // The preview reads every row soon after the first page shows.
    recordset->setFetchOnDemand(true);
    Status s = connection->open(reportConnectionString(databasePath));
    if (s) {
        s = recordset->open(sql, *connection, data::kOpenStatic, data::kLockOptimistic,
                            data::kCmdUnspecified);
    }
    if (!s) {
        failure = {s.error(), connection->errors()};
        return nullptr;
    }
    report->setDataSource(std::make_shared<report::RecordsetData>(std::move(recordset), locale));
    // The report's own references go here; the data source holds the rest.
    connection.reset();
    return report;
}

std::unique_ptr<report::Report> DataReport_Initialize(AddinContext& ctx, ReportId id,
                                                      LoadFailure& failure) {
    const std::optional<QString> path =
        checkDatabaseLocation(ctx.registry, ctx.messageBoxes, DatabaseCheckCaller::Report);
    if (!path) {
        return nullptr;
    }
    return loadReportData(id, QString::fromUtf16(reportEntry(id).sql), *path, ctx.clock, ctx.locale,
                          failure, ctx.connectionPool);
}

bool isPlainId(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

std::unique_ptr<report::Report> loadPatientDetail(AddinContext& ctx, LoadFailure& failure) {
    const std::optional<QString> path =
        checkDatabaseLocation(ctx.registry, ctx.messageBoxes, DatabaseCheckCaller::Report);
    if (!path) {
        return nullptr;
    }
    const auto inspector = ctx.application ? ctx.application->ActiveInspector() : nullptr;
    const auto item = inspector ? inspector->CurrentItem() : nullptr;
    const Result<Variant> id =
        item ? item->userProperty(QStringLiteral("PatientID")) : Result<Variant>(Variant());
    const QString text = id.ok() ? id->text(ctx.locale) : QString();
    if (!isPlainId(text)) {
        showProblem(ctx);
        return nullptr;
    }
    return loadReportData(ReportId::DataReport9,
                          QString::fromUtf16(reportEntry(ReportId::DataReport9).sql) + text, *path,
                          ctx.clock, ctx.locale, failure, ctx.connectionPool);
}

Result<std::unique_ptr<report::Report>> MontlyRecall(const QString& month, const QString& year,
                                                     std::shared_ptr<data::Recordset> recordset,
                                                     const Clock& clock, const Locale& locale) {
    auto report = std::make_unique<report::Report>(reportDefinition(ReportId::MontlyRecall));
    report::ReportDefinition& def = report->definition();
    const QString title =
        month + QLatin1Char(' ') + year + QStringLiteral(" Patient Recall Report");
    def.setCaption(title);
    if (Status s = def.setLabelCaption(QString::fromUtf16(kReportHeaderSection),
                                       QString::fromUtf16(kTitleLabel), title);
        !s) {
        return s.error();
    }
    if (Status s = setDate(def, clock, locale); !s) {
        return s.error();
    }
    if (recordset) {
        report->setDataSource(
            std::make_shared<report::RecordsetData>(std::move(recordset), locale));
    }
    return report;
}

}  // namespace orlo::reports
