#pragma once
// PatientHistory: the appointments of the patient whose contact was open in
// the active item window when the window loaded (frmPHistory), one row
// each, and the chosen appointment opened. The patient stays fixed while
// the window is open; "&Refresh" reads the same patient's appointments
// again.

#include "search/SearchForm.h"

namespace orlo::search {

inline constexpr char16_t kPatientHistoryCaption[] = u"Patient History";
inline constexpr char16_t kPatientHistoryCaptionFor[] = u"Patient History for: ";
inline constexpr char16_t kPatientHistoryLabel[] =
    u"Double Click or click 'Open' to view highlighted appointment...";

QStringList patientHistoryCaptions();
QStringList patientHistoryFields();
inline constexpr int kScheduleIdColumn = 8;

class PatientHistory final : public SearchForm {
public:
    explicit PatientHistory(SearchServices services);

    // False when the search data could not be opened (the box has been
    // shown): the window does not open. A patient without appointments, or
    // no patient at all, leaves the list empty.
    bool Form_Load();
    void cmdEdit_Click();
    void lvwPatientHist_DblClick() { cmdEdit_Click(); }
    void cmdRefresh_Click();

private:
    data::Recordset* history() const { return m_lease.set().PatientHistoryRecordset.get(); }
    // The list from the history, and the caption from its last row.
    void load();
    Status openSelected();
};

}  // namespace orlo::search
