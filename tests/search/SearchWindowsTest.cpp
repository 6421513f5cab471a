// The search windows as widgets, offscreen: what the list view shows
// follows the form (typing, sorting, selecting).

#include <QHeaderView>
#include <QLineEdit>

#include "SearchClinic.h"
#include "search/PatientSearchWindow.h"
#include "search/SearchListView.h"

namespace orlo::test {
namespace {

class SearchWindow : public SearchClinic {};

// The rows the view shows selected.
std::vector<int> selectedRows(const QTableView& view) {
    std::vector<int> rows;
    for (const QModelIndex& i : view.selectionModel()->selectedRows()) {
        rows.push_back(i.row());
    }
    return rows;
}

TEST_F(SearchWindow, TheListShowsTheFormsSelectionThroughTypingAndSorting) {
    search::PatientSearchWindow window(services(), search::PatientFinder::Kind::Finder);
    ASSERT_TRUE(window.load());
    window.show();
    auto* list = window.findChild<search::SearchListView*>(u"lvwTransactions"_s);
    auto* text = window.findChild<QLineEdit*>(u"Text1"_s);
    ASSERT_TRUE(list && text);
    text->setText(u"van"_s);  // Van Dyke, last in last-name order
    EXPECT_EQ(selectedRows(*list), std::vector<int>{4});
    Q_EMIT list->horizontalHeader()->sectionClicked(2);  // first names: Leo is fourth
    EXPECT_EQ(window.form().selectedRow(), 3);
    EXPECT_EQ(selectedRows(*list), std::vector<int>{3});
    list->selectionModel()->setCurrentIndex(
        list->model()->index(1, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(window.form().selectedRow(), 1);
    EXPECT_EQ(selectedRows(*list), std::vector<int>{1});
    Q_EMIT list->horizontalHeader()->sectionClicked(2);  // the header's arrow turns
    EXPECT_EQ(list->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(selectedRows(*list), std::vector<int>{3});  // O'Brien, Aoife: second to last
}

}  // namespace
}  // namespace orlo::test
