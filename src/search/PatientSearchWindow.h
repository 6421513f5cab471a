#pragma once
// PatientSearchWindow: the patient finder (frmPatientSearch) and the
// patient selector (frmSchedulePatientSearch) as windows: the list on the
// tab "General", "Search By:" with the search box and "Advanced
// Search...", the buttons, and for the selector "&Select...". Every control
// carries its name, so the desk's automation finds it; every click goes to
// the form.

#include <QWidget>
#include <memory>

#include "search/PatientFinder.h"

class QComboBox;
class QLineEdit;

namespace orlo::search {

class SearchListView;

inline constexpr char16_t kPatientSearchWindow[] = u"frmPatientSearch";
inline constexpr char16_t kSchedulePatientSearchWindow[] = u"frmSchedulePatientSearch";

class PatientSearchWindow final : public QWidget {
    Q_OBJECT
public:
    PatientSearchWindow(SearchServices services, PatientFinder::Kind kind);
    ~PatientSearchWindow() override;

    // Form_Load: false when the search data could not be opened.
    bool load();
    PatientFinder& form() { return *m_form; }

private:
    void addButtonRow(QWidget* page);
    void afterReload();

    std::unique_ptr<PatientFinder> m_form;
    SearchListView* m_list = nullptr;
    QComboBox* m_searchBy = nullptr;
    QLineEdit* m_text = nullptr;
};

}  // namespace orlo::search
