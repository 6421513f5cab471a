#pragma once
// SearchListView: the report-style list of a search window over its form's
// ListViewModel: whole rows selected one at a time, a header click sorting
// through the form (with the header's arrow showing the order), the
// selection reported to the form, and the form's selection (after a find)
// shown and scrolled into view. Column widths come from the captions and
// the first rows, and the form fills a long list in steps between the
// user's events, so that a list of 100,000 patients opens at once.

#include <QTableView>
#include <QTimer>

#include <functional>
#include <initializer_list>

class QHBoxLayout;
class QPushButton;

namespace orlo::search {

class SearchForm;

class SearchListView final : public QTableView {
    Q_OBJECT
public:
    SearchListView(SearchForm& form, const QString& name, QWidget* parent = nullptr);

    // After the form's rows changed: widths again, the sort arrow, no
    // selection.
    void rowsChanged();
    // Selects and shows the form's selected row.
    void showSelected();

Q_SIGNALS:
    void rowActivated();

private:
    void fitColumns();
    void fillNextStep();

    SearchForm& m_form;
    QTimer m_fill;
};

// How a window fills its list: the rows shown at once, then the rows
// added at each step.
inline constexpr int kFirstListRows = 200;
inline constexpr int kListRowsPerStep = 4000;

// Centres a window on the screen it is on.
void centreOnScreen(QWidget& window);
// A push button named for the desk's automation, with its caption and tool
// tip; Enter in a text box does not press it.
QPushButton* namedButton(QWidget* parent, const char* name, const char16_t* caption,
                         const char16_t* tip = nullptr);
// A search window's row of buttons: `first` on the left, then "&Refresh"
// (running `refresh`), and on the right "&Help" (the form's topic) and
// "&Close" (closing `window`).
QHBoxLayout* searchButtonRow(QWidget& window, SearchForm& form,
                             std::initializer_list<QPushButton*> first,
                             std::function<void()> refresh);

}  // namespace orlo::search
