#pragma once
// PatientFinder: the patient finder (frmPatientSearch, "Patient Search")
// and, through PatientSelector, the patient selector of an appointment
// (frmSchedulePatientSearch, "Patient Selector..."): every patient in one
// sortable list, a search by one of ten fields that filters the list, the
// incremental find as the user types, and the patient's contact opened,
// a new one started, or the patient's row deleted.
//
// Every action on the selected patient reads the id from the list's last
// column ("PTID") and walks the window's patient list to that row.

#include <QString>
#include <QStringList>

#include "search/SearchForm.h"

namespace orlo {
class ErrorTrap;
}

namespace orlo::search {

inline constexpr char16_t kPatientSearchCaption[] = u"Patient Search";
inline constexpr char16_t kPatientSelectorCaption[] = u"Patient Selector...";

// The list's captions, its cells' fields, and the column with the id.
QStringList patientListCaptions();
QStringList patientListFields();
inline constexpr int kPatientIdColumn = 18;

// "Search By:" choices in the order offered ("Last Name" first) and the
// column each one filters; an unknown choice has none.
QStringList searchByChoices();
QString searchByColumn(const QString& choice);

class PatientFinder : public SearchForm {
public:
    enum class Kind { Finder, Selector };
    PatientFinder(SearchServices services, Kind kind = Kind::Finder);

    // Opens the search data and fills the list; false when the data could
    // not be opened (the box has been shown): the window does not open.
    bool Form_Load();

    const QString& searchBy() const { return m_searchBy; }
    void setSearchBy(const QString& choice) { m_searchBy = choice; }
    const QString& searchText() const { return m_searchText; }
    // Typing in the search box: the first row with a cell beginning with
    // the text is selected (the widget scrolls to it).
    void Text1_Change(const QString& text);

    void Search1_Click();
    void cmdAdd_Click();
    void cmdEdit_Click();
    void lvwTransactions_DblClick() { cmdEdit_Click(); }
    void cmdDelete_Click();
    void cmdRefresh_Click();

    // The filter the last search set ("" when none).
    QString filter() const;

protected:
    data::Recordset* patients() const { return m_lease.set().PatientListRecordset.get(); }
    // The patient list walked to the selected row's patient: "no current
    // record" for an empty list, then "nothing selected".
    Status walkToSelected();
    // The title of the box of an error that "E&dit" or "&Add" does not name.
    QString genericErrorTitle() const;

    Kind m_kind;

private:
    // Reads the list again from the recordset as it stands.
    void reload(ErrorTrap& trap);

    QString m_searchBy;
    QString m_searchText;
};

}  // namespace orlo::search
