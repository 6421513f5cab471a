#include "search/ListViewModel.h"

#include <algorithm>
#include <numeric>

namespace orlo::search {

namespace {

// Simple case folding of one UTF-16 unit, with a quick path for ASCII: the
// comparisons of the sort and the find without letter case.
char16_t folded(char16_t c) {
    if (c < 0x80) {
        return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
    }
    return QChar::toCaseFolded(c);
}

QString foldedText(QStringView text) {
    QString out(text.size(), Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < text.size(); ++i) {
        d[i] = folded(text.utf16()[i]);
    }
    return out;
}

// The bit of a folded first letter: letters and digits their own, the rest
// shared by a few.
quint64 firstCharBit(char16_t foldedChar) {
    if (foldedChar >= u'a' && foldedChar <= u'z') {
        return quint64(1) << (foldedChar - u'a');
    }
    if (foldedChar >= u'0' && foldedChar <= u'9') {
        return quint64(1) << (26 + foldedChar - u'0');
    }
    return quint64(1) << (36 + foldedChar % 28);
}

// The bit of a cell's first two folded letters, hashed.
quint64 firstPairBit(char16_t first, char16_t second) {
    return quint64(1) << ((unsigned(first) * 31u + unsigned(second)) % 64u);
}

bool startsWithFolded(QStringView cell, QStringView foldedPrefix) {
    if (cell.size() < foldedPrefix.size()) {
        return false;
    }
    const char16_t* c = cell.utf16();
    const char16_t* p = foldedPrefix.utf16();
    for (qsizetype i = 0; i < foldedPrefix.size(); ++i) {
        if (folded(c[i]) != p[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

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
    m_letters.clear();
    indexFirstChars(0);
    m_order.resize(std::size_t(m_rows.rowCount()));
    std::iota(m_order.begin(), m_order.end(), 0);
    applySort();
    m_findValid = false;
    endResetModel();
}

void ListViewModel::appendRows(const ListViewRows& more) {
    if (more.isEmpty()) {
        return;
    }
    Q_ASSERT(m_sortColumn < 0);  // a sorted list is filled as a whole
    const int first = m_rows.rowCount();
    beginInsertRows({}, first, first + more.rowCount() - 1);
    m_rows.append(more);
    indexFirstChars(first);
    for (int r = first; r < m_rows.rowCount(); ++r) {
        m_order.push_back(r);
    }
    m_findValid = false;
    endInsertRows();
}

void ListViewModel::indexFirstChars(int fromRow) {
    for (int r = fromRow; r < m_rows.rowCount(); ++r) {
        RowLetters letters;
        for (int c = 0; c < m_rows.columnCount(); ++c) {
            const QStringView cell = m_rows.cell(r, c);
            if (!cell.isEmpty()) {
                const char16_t first = folded(cell.utf16()[0]);
                letters.first |= firstCharBit(first);
                if (cell.size() > 1) {
                    letters.pairs |= firstPairBit(first, folded(cell.utf16()[1]));
                }
            }
        }
        m_letters.push_back(letters);
    }
}

void ListViewModel::applySort() {
    if (m_sortColumn < 0) {
        return;
    }
    // The column's texts folded once into one buffer, then compared as they
    // are: no folding inside the n log n comparisons.
    const int rows = m_rows.rowCount();
    QString keys;
    std::vector<std::uint32_t> ends(std::size_t(rows) + 1, 0);
    for (int r = 0; r < rows; ++r) {
        keys += foldedText(m_rows.cell(r, m_sortColumn));
        ends[std::size_t(r) + 1] = std::uint32_t(keys.size());
    }
    const auto key = [&](int r) {
        const std::uint32_t begin = ends[std::size_t(r)];
        return QStringView(keys).mid(begin, ends[std::size_t(r) + 1] - begin);
    };
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        const int c = key(a).compare(key(b));
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

bool ListViewModel::rowMatches(int loadRow, QStringView needle) const {
    for (int c = 0; c < m_rows.columnCount(); ++c) {
        if (startsWithFolded(m_rows.cell(loadRow, c), needle)) {
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
    const QString needle = foldedText(text);
    // Only rows with a cell that begins with the text's first letter (or
    // first two) are read; an empty text matches the first row.
    const char16_t* n = QStringView(needle).utf16();
    const quint64 first = needle.isEmpty() ? 0 : firstCharBit(n[0]);
    const quint64 pair = needle.size() < 2 ? 0 : firstPairBit(n[0], n[1]);
    for (int row = from; row < int(m_order.size()); ++row) {
        const int loadRow = m_order[std::size_t(row)];
        const RowLetters& letters = m_letters[std::size_t(loadRow)];
        if ((letters.first & first) != first || (letters.pairs & pair) != pair) {
            continue;
        }
        if (rowMatches(loadRow, needle)) {
            m_findRow = row;
            return row;
        }
    }
    return std::nullopt;
}

}  // namespace orlo::search
