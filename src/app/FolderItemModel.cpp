#include "app/FolderItemModel.h"

#include <QMetaObject>
#include <algorithm>
#include <climits>

#include "host/MAPIFolder.h"
#include "host/StoreSession.h"

namespace orlo::desk {

namespace {

// More separate runs of deleted rows than this among the rows the view has
// reset the list rather than move the ids once per run.
constexpr std::size_t kMaxRemovedRuns = 32;

}  // namespace

FolderItemModel::FolderItemModel(Locale locale, QObject* parent)
    : QAbstractTableModel(parent), m_locale(std::move(locale)) {}

FolderItemModel::~FolderItemModel() = default;

void FolderItemModel::setFolder(std::shared_ptr<host::MAPIFolder> folder) {
    beginResetModel();
    m_folder = std::move(folder);
    m_layout = ListLayout(m_folder.get());
    m_follower.follow(m_folder);
    loadIds();
    endResetModel();
}

void FolderItemModel::refresh() {
    beginResetModel();
    m_follower.clear();
    loadIds();
    endResetModel();
}

void FolderItemModel::applyPendingChanges() {
    FolderChanges changes = m_follower.take();
    if (changes.empty()) {
        return;
    }
    applyRemoved(changes);
    applyAdded(changes);
    applyChanged(changes);
    if (m_onChanged) {
        m_onChanged();
    }
}

void FolderItemModel::applyRemoved(FolderChanges& changes) {
    const std::unordered_set<host::ItemId>& gone = changes.removed;
    if (gone.empty()) {
        return;
    }
    std::erase_if(changes.added, [&](host::ItemId id) { return gone.count(id) != 0; });
    std::vector<int> rows;  // of the rows the view has
    bool inTail = false;
    for (const host::ItemId id : gone) {
        m_cache.erase(id);
        const auto it = std::lower_bound(m_ids.begin(), m_ids.end(), id);
        if (it == m_ids.end() || *it != id) {
            continue;
        }
        const auto row = static_cast<int>(it - m_ids.begin());
        if (row < m_fetched) {
            rows.push_back(row);
        } else {
            inTail = true;
        }
    }
    std::sort(rows.begin(), rows.end());
    std::vector<std::pair<int, int>> runs;
    for (const int row : rows) {
        if (!runs.empty() && runs.back().second == row - 1) {
            runs.back().second = row;
        } else {
            runs.emplace_back(row, row);
        }
    }
    const auto removed = [&](host::ItemId id) { return gone.count(id) != 0; };
    if (runs.size() > kMaxRemovedRuns) {
        beginResetModel();
        std::erase_if(m_ids, removed);
        m_fetched =
            std::min(m_fetched - static_cast<int>(rows.size()), static_cast<int>(m_ids.size()));
        endResetModel();
        return;
    }
    // From the last run back, so that each leaves the rows before it in place.
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        beginRemoveRows({}, run->first, run->second);
        m_ids.erase(m_ids.begin() + run->first, m_ids.begin() + run->second + 1);
        m_fetched -= run->second - run->first + 1;
        endRemoveRows();
    }
    if (inTail) {
        m_ids.erase(std::remove_if(m_ids.begin() + m_fetched, m_ids.end(), removed), m_ids.end());
    }
}

void FolderItemModel::applyAdded(FolderChanges& changes) {
    std::vector<host::ItemId>& added = changes.added;
    if (added.empty()) {
        return;
    }
    std::sort(added.begin(), added.end());
    added.erase(std::unique(added.begin(), added.end()), added.end());
    // The store's ids only grow, so new items come after every listed one;
    // an id the list already has was read with the folder.
    const host::ItemId last = m_ids.empty() ? 0 : m_ids.back();
    const auto fresh = std::upper_bound(added.begin(), added.end(), last);
    const bool allFetched = static_cast<std::size_t>(m_fetched) == m_ids.size();
    m_ids.insert(m_ids.end(), fresh, added.end());
    // A list shown to its end shows the new rows too (a batch of them; the
    // view fetches the rest as it scrolls, as for the folder's own rows).
    const int more = allFetched ? static_cast<int>(std::min<std::size_t>(
                                      kBatch, m_ids.size() - static_cast<std::size_t>(m_fetched)))
                                : 0;
    if (more > 0) {
        beginInsertRows({}, m_fetched, m_fetched + more - 1);
        m_fetched += more;
        endInsertRows();
    }
}

void FolderItemModel::applyChanged(const FolderChanges& changes) {
    int first = INT_MAX;
    int last = -1;
    for (const host::ItemId id : changes.changed) {
        m_cache.erase(id);
        if (const int row = rowOf(id); row >= 0) {
            first = std::min(first, row);
            last = std::max(last, row);
        }
    }
    if (last >= 0) {
        Q_EMIT dataChanged(index(first, 0), index(last, columnCount() - 1));
    }
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
    return parent.isValid() ? 0 : m_layout.columnCount();
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
    host::PropertyMap values;
    if (const Result<host::StoreFile*> file = m_folder->session()->file()) {
        if (Result<host::ItemRecord> record = (*file)->load(id, m_layout.properties())) {
            values = std::move(record.value().properties);
        }
    }
    ++m_rowsRead;
    QStringList texts = m_layout.texts(m_layout.valuesOf(values), m_locale);
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
    return m_layout.columns()[static_cast<std::size_t>(section)].header;
}

}  // namespace orlo::desk
