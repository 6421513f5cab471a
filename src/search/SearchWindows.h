#pragma once
// SearchWindows: the search windows of one add-in, each a single instance
// made on first use and shown modeless: the patient finder, the patient
// selector, the patient history and the monthly recall window, with the
// search data they share and the help they show. The add-in's menu and
// public methods open them by window class through its window openers.
//
// The finder, the selector and the history do not open when their data
// cannot be opened (the box says why); the recall window opens with an
// empty list.

#include "platform/ui/HelpViewer.h"
#include "platform/ui/SingleWindow.h"
#include "search/SearchData.h"

namespace orlo::reports {
class ReportCommands;
}

namespace orlo::search {

class PatientSearchWindow;
class PatientHistoryWindow;
class RecallByMonthWindow;

class SearchWindows {
public:
    SearchWindows(AddinContext& ctx, reports::ReportCommands& reports);
    ~SearchWindows();
    SearchWindows(const SearchWindows&) = delete;
    SearchWindows& operator=(const SearchWindows&) = delete;

    void showPatientSearch();
    void showSchedulePatientSearch();
    void showPatientHistory();
    void showRecallByMonth();

    SearchData& data() { return m_data; }
    // The help window the search windows show their topics in; the
    // add-in's other windows show theirs in the same one.
    HelpService& help() { return m_help; }

private:
    AddinContext& m_ctx;
    reports::ReportCommands& m_reports;
    // Declared before the windows: they let go of it as they close.
    SearchData m_data;
    QtHelpViewer m_help;
    SingleWindow<PatientSearchWindow> m_finder;
    SingleWindow<PatientSearchWindow> m_selector;
    SingleWindow<PatientHistoryWindow> m_history;
    SingleWindow<RecallByMonthWindow> m_recall;
};

}  // namespace orlo::search
