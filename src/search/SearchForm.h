#pragma once
// SearchForm: what every search window does the same way, apart from its
// widgets: it opens the search data as it loads and lets go as it unloads,
// fills its list from a recordset, sorts by a clicked column, knows the
// selected row, walks a recordset to the selected row's key, and opens
// help topic 1. The windows (frmPatientSearch, frmSchedulePatientSearch,
// frmPHistory, frmRecallbyMonth) are thin widgets over a form each, and
// tests drive the forms directly.

#include <QString>
#include <QStringList>

#include "search/ListViewModel.h"
#include "search/SearchData.h"

namespace orlo {
class HelpService;
}

namespace orlo::search {

// The add-in's services a search window uses.
struct SearchServices {
    AddinContext& ctx;
    SearchData& data;
    HelpService& help;
};

// The texts of a list of captions or field names.
QStringList textList(std::initializer_list<const char16_t*> texts);

// Every window's "&Help" shows this topic.
inline constexpr int kSearchHelpContext = 1;

class SearchForm {
public:
    SearchForm(SearchServices services, QStringList captions, QString caption);
    virtual ~SearchForm() = default;
    SearchForm(const SearchForm&) = delete;
    SearchForm& operator=(const SearchForm&) = delete;

    ListViewModel& list() { return m_list; }
    const QString& caption() const { return m_caption; }
    // Whether the search data is open for this window.
    bool isLoaded() const { return m_lease.isOpen(); }

    // The list view's selected row in list order (-1: none); the widget
    // reports the user's choice, a find moves it.
    int selectedRow() const { return m_selected; }
    void setSelectedRow(int row);

    // Sorts by the column; the selected row stays selected.
    void lvwTransactions_ColumnClick(int column);
    void cmdHelp_Click();
    // Unload: the window lets go of its search data.
    void Form_Unload();

    // A window fills a long list in steps, so that its first rows show at
    // once: `first` rows when the fill starts, `step` more at each
    // loadMore. A fill started while the list is sorted, or with no steps
    // set (headless), is done at once. Any action that reads the list or
    // moves the recordset completes a fill in progress first, so it always
    // sees every row.
    void setFillSteps(int first, int step);
    bool isFilling() const { return m_filling != nullptr; }
    void loadMore();

protected:
    // The list filled anew from the recordset's current record on; a row
    // that cannot be read ends the list there.
    void startFill(data::Recordset& recordset, const QStringList& fields);
    // The list with one row of these cells only.
    void showSingleRow(const QStringList& cells);
    void finishFill();
    // The text of `column` in the selected row, or error 91 naming `what`.
    Result<QString> selectedText(int column, const QString& what) const;
    // From the first record to the one whose `keyField` reads `key`; an
    // empty recordset or no such record is "no current record" (3021).
    static Status walkTo(data::Recordset& recordset, const QString& keyField, const QString& key,
                         const Locale& locale);

    SearchServices m_s;
    SearchLease m_lease;
    // The fill in progress: its recordset (held by the lease) and fields.
    data::Recordset* m_filling = nullptr;
    QStringList m_fillFields;
    int m_firstRows = 0;  // 0: fill at once
    int m_stepRows = 0;
    ListViewModel m_list;
    QString m_caption;
    int m_selected = -1;
    // The title of the box of a help topic that cannot be shown.
    QString m_helpErrorTitle;
};

}  // namespace orlo::search
