#pragma once
// PatientHistoryWindow: the patient history (frmPHistory) as a window: the
// appointments' list, "&Open", "&Refresh", "&Help" and "&Close"; its caption
// names the patient once the list holds an appointment.

#include <QWidget>

#include "search/PatientHistory.h"

namespace orlo::search {

class SearchListView;

inline constexpr char16_t kPatientHistoryWindow[] = u"frmPHistory";

class PatientHistoryWindow final : public QWidget {
    Q_OBJECT
public:
    explicit PatientHistoryWindow(SearchServices services);
    ~PatientHistoryWindow() override;

    // Form_Load: false when the search data could not be opened.
    bool load();
    PatientHistory& form() { return m_form; }

private:
    PatientHistory m_form;
    SearchListView* m_list = nullptr;
};

}  // namespace orlo::search
