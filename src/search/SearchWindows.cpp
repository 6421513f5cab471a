#include "search/SearchWindows.h"

#include "common/AddinContext.h"
#include "reports/ReportCommands.h"
#include "search/PatientHistoryWindow.h"
#include "search/PatientSearchWindow.h"
#include "search/RecallByMonthWindow.h"

namespace orlo::search {

namespace {

// A window that loads its data before it is shown; null when it could not.
template <typename Window>
Window* loaded(Window* window) {
    if (!window->load()) {
        delete window;
        return nullptr;
    }
    return window;
}

}  // namespace

SearchWindows::SearchWindows(AddinContext& ctx, reports::ReportCommands& reports)
    : m_ctx(ctx),
      m_reports(reports),
      m_data(ctx),
      m_help(ctx.appFolder.path(QStringLiteral("\\Help"))) {}

SearchWindows::~SearchWindows() = default;

void SearchWindows::showPatientSearch() {
    m_finder.show([this] {
        return loaded(
            new PatientSearchWindow({m_ctx, m_data, m_help}, PatientFinder::Kind::Finder));
    });
}

void SearchWindows::showSchedulePatientSearch() {
    m_selector.show([this] {
        return loaded(
            new PatientSearchWindow({m_ctx, m_data, m_help}, PatientFinder::Kind::Selector));
    });
}

void SearchWindows::showPatientHistory() {
    m_history.show([this] { return loaded(new PatientHistoryWindow({m_ctx, m_data, m_help})); });
}

void SearchWindows::showRecallByMonth() {
    m_recall.show([this] {
        return new RecallByMonthWindow({m_ctx, m_data, m_help},
                                       [this](const QString& month, const QString& year,
                                              std::shared_ptr<data::Recordset> rows) {
                                           m_reports.showMontlyRecall(month, year, std::move(rows));
                                       });
    });
}

}  // namespace orlo::search
