#include "search/ListViewModel.h"

#include <algorithm>
#include <numeric>

namespace orlo::search {

ListViewModel::ListViewModel(QStringList captions, QObject* parent)
    : QAbstractTableModel(parent),
      m_captions(std::move(captions)),
      m_rows(int(m_captions.size())) {}

int ListViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_order.size());
}

int ListViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_captions.size());
}

QStringView ListViewModel::text(int row, int column) const {
    return m_rows.cell(m_order[std::size_t(row)], column);
}

QVariant ListViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return text(index.row(), index.column()).toString();
    }
    return {};
}

QVariant ListViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_captions.size()) {
        return m_captions[section];
    }
    return {};
}

void ListViewModel::setRows(ListViewRows rows) {
    beginResetModel();
    m_rows = std::move(rows);
    m_order.resize(std::size_t(m_rows.rowCount()));
    std::iota(m_order.begin(), m_order.end(), 0);
    applySort();
    m_findValid = false;
    endResetModel();
}

void ListViewModel::applySort() {
    if (m_sortColumn < 0) {
        return;
    }
    const int column = m_sortColumn;
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        const int c = m_rows.cell(a, column).compare(m_rows.cell(b, column), Qt::CaseInsensitive);
        return ascending ? c < 0 : c > 0;
    });
}

void ListViewModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> loadRows;
    for (const QModelIndex& i : before) {
        loadRows.push_back(m_order[std::size_t(i.row())]);
    }
    m_sortColumn = column;
    m_sortOrder = order;
    // From the fill order every time, so that rows with equal texts keep
    // the order they were filled in either direction.
    std::iota(m_order.begin(), m_order.end(), 0);
    applySort();
    m_findValid = false;
    // The selection and the current row follow their rows.
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        after << index(listRowOf(loadRows[std::size_t(i)]), before[i].column());
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ListViewModel::listRowOf(int loadRow) const {
    const auto it = std::find(m_order.begin(), m_order.end(), loadRow);
    return it == m_order.end() ? -1 : int(it - m_order.begin());
}

int ListViewModel::loadRowOf(int listRow) const {
    return listRow >= 0 && listRow < int(m_order.size()) ? m_order[std::size_t(listRow)] : -1;
}

void ListViewModel::columnClicked(int column) {
    if (column == m_sortColumn) {
        sort(column, m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    } else {
        sort(column, Qt::AscendingOrder);
    }
}

bool ListViewModel::rowMatches(int loadRow, QStringView text) const {
    for (int c = 0; c < m_rows.columnCount(); ++c) {
        if (m_rows.cell(loadRow, c).startsWith(text, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

std::optional<int> ListViewModel::findRow(const QString& text) {
    // A row that begins with the longer text also begins with the shorter
    // one, so rows before the last find's stop cannot match now, and no
    // match then means no match now.
    int from = 0;
    if (m_findValid && !m_findText.isEmpty() && text.startsWith(m_findText, Qt::CaseInsensitive)) {
        if (m_findRow < 0) {
            m_findText = text;
            return std::nullopt;
        }
        from = m_findRow;
    }
    m_findText = text;
    m_findValid = true;
    m_findRow = -1;
    for (int row = from; row < int(m_order.size()); ++row) {
        if (rowMatches(m_order[std::size_t(row)], text)) {
            m_findRow = row;
            return row;
        }
    }
    return std::nullopt;
}

}  // namespace orlo::search
