#include "app/FolderItemModel.h"

#include <algorithm>

#include "host/MAPIFolder.h"
#include "host/StoreSession.h"

namespace orlo::desk {

FolderItemModel::FolderItemModel(Locale locale, QObject* parent)
    : QAbstractTableModel(parent), m_locale(std::move(locale)) {}

void FolderItemModel::setFolder(std::shared_ptr<host::MAPIFolder> folder) {
    beginResetModel();
    m_folder = std::move(folder);
    m_columns =
        m_folder ? listColumnsFor(m_folder->DefaultMessageClass()) : std::vector<ListColumn>();
    m_properties = propertiesOf(m_columns);
    loadIds();
    endResetModel();
}

void FolderItemModel::refresh() {
    beginResetModel();
    loadIds();
    endResetModel();
}

void FolderItemModel::loadIds() {
    m_ids.clear();
    m_cache.clear();
    m_fetched = 0;
    m_loaded = okStatus();
    if (!m_folder) {
        return;
    }
    const Result<host::StoreFile*> file = m_folder->session()->file();
    Result<std::vector<host::ItemId>> ids =
        file ? (*file)->itemIds(m_folder->id()) : Result<std::vector<host::ItemId>>(file.error());
    if (ids) {
        m_ids = std::move(ids).value();
    } else {
        m_loaded = ids.error();
    }
    m_fetched = static_cast<int>(std::min<std::size_t>(m_ids.size(), kBatch));
}

host::ItemId FolderItemModel::itemIdAt(int row) const {
    return row >= 0 && row < m_fetched ? m_ids[static_cast<std::size_t>(row)] : 0;
}

int FolderItemModel::rowOf(host::ItemId id) const {
    const auto end = m_ids.begin() + m_fetched;
    // Folder order is id order.
    const auto it = std::lower_bound(m_ids.begin(), end, id);
    return it != end && *it == id ? static_cast<int>(it - m_ids.begin()) : -1;
}

int FolderItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_fetched;
}

int FolderItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

bool FolderItemModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && static_cast<std::size_t>(m_fetched) < m_ids.size();
}

void FolderItemModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) {
        return;
    }
    const int more = static_cast<int>(
        std::min<std::size_t>(kBatch, m_ids.size() - static_cast<std::size_t>(m_fetched)));
    beginInsertRows({}, m_fetched, m_fetched + more - 1);
    m_fetched += more;
    endInsertRows();
}

const QStringList& FolderItemModel::rowTexts(int row) const {
    const host::ItemId id = m_ids[static_cast<std::size_t>(row)];
    if (const auto it = m_cache.find(id); it != m_cache.end()) {
        return it->second;
    }
    if (m_cache.size() >= kCachedRows) {
        m_cache.clear();
    }
    QStringList texts;
    host::PropertyMap values;
    if (const Result<host::StoreFile*> file = m_folder->session()->file()) {
        if (Result<host::ItemRecord> record = (*file)->load(id, m_properties)) {
            values = std::move(record.value().properties);
        }
    }
    ++m_rowsRead;
    for (const ListColumn& c : m_columns) {
        texts << c.text(values, m_locale);
    }
    return m_cache.emplace(id, std::move(texts)).first->second;
}

QVariant FolderItemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_fetched || index.column() >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return rowTexts(index.row()).value(index.column());
    }
    if (role == Qt::UserRole) {
        return static_cast<qint64>(m_ids[static_cast<std::size_t>(index.row())]);
    }
    return {};
}

QVariant FolderItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return {};
    }
    return m_columns[static_cast<std::size_t>(section)].header;
}

}  // namespace orlo::desk
