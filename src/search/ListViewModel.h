#pragma once
// ListViewModel: a report-style list over ListViewRows for a QTableView:
// the column captions, the rows in list order, sorting by a column as text
// the way the list view's header click does (a second click on the sort
// column reverses the order, another column sorts ascending again), and
// the incremental find: the first row in list order that has a cell
// beginning with a text, without letter case.
//
// The list keeps its sort when it is filled again, as a sorted list view
// places new items in order.

#include <QAbstractTableModel>
#include <QStringList>
#include <optional>
#include <vector>

#include "search/ListViewRows.h"

namespace orlo::search {

class ListViewModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListViewModel(QStringList captions, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    // The rows, replaced as a whole (the list cleared and filled again).
    void setRows(ListViewRows rows);
    // More rows after these, while the list is filled in steps; it is not
    // sorted before the fill is complete.
    void appendRows(const ListViewRows& more);
    const ListViewRows& rows() const { return m_rows; }
    ListViewRows emptyRows() const { return ListViewRows(int(m_captions.size())); }

    // The text of a cell, by row in list order.
    QStringView text(int row, int column) const;
    // A row in list order and in the order the rows were filled (-1: none).
    int listRowOf(int loadRow) const;
    int loadRowOf(int listRow) const;

    // The header click.
    void columnClicked(int column);
    // -1 while the list is in the order it was filled.
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // The first row in list order with a cell that begins with `text`.
    // Typing on from an earlier find starts where that one stopped.
    std::optional<int> findRow(const QString& text);

private:
    void applySort();
    void indexFirstChars(int fromRow);
    bool rowMatches(int loadRow, QStringView needle) const;

    QStringList m_captions;
    ListViewRows m_rows;
    std::vector<int> m_order;  // list row -> row as filled
    // By row as filled: a bit for the first letter of each of its cells and
    // one for the first two, so that the find skips rows that cannot match
    // without reading them.
    struct RowLetters {
        quint64 first = 0;
        quint64 pairs = 0;
    };
    std::vector<RowLetters> m_letters;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    // The last find: its text and the list row it stopped at (-1: none).
    QString m_findText;
    int m_findRow = -1;
    bool m_findValid = false;
};

}  // namespace orlo::search
