#pragma once
// FolderItemModel: the item list of the folder the explorer shows, as a
// table model for a view. It never loads the whole folder: setFolder reads
// only the folder's item ids; the view sees rows in batches (canFetchMore /
// fetchMore) as it scrolls; a row's values are read from the store when the
// view first asks for them, only the properties its columns show, and kept
// in a bounded cache. A folder of half a million appointments costs one id
// list and the rows on screen. The columns are those the folder's default
// form names.
//
// The list follows the folder's ItemAdd, ItemChange and ItemRemove, whoever
// made the change. The events are noted as they come (constant work each)
// and applied together once the event loop turns: new items are appended
// (one row insertion for the lot, and only up to a batch of them shown when
// the list was fully fetched), changed rows are read again (one dataChanged
// over their span), deleted ones removed in one pass over the ids. A resync
// that stores a hundred thousand items therefore costs the list one append
// per item, not a re-read of the folder per item.

#include <QAbstractTableModel>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/FolderFollower.h"
#include "app/ListLayout.h"
#include "host/store/StoreFile.h"
#include "platform/core/Locale.h"

namespace orlo::host {
class MAPIFolder;
}

namespace orlo::desk {

class FolderItemModel : public QAbstractTableModel {
public:
    static constexpr int kBatch = 200;
    static constexpr std::size_t kCachedRows = 2000;

    explicit FolderItemModel(Locale locale, QObject* parent = nullptr);
    ~FolderItemModel() override;

    void setFolder(std::shared_ptr<host::MAPIFolder> folder);
    const std::shared_ptr<host::MAPIFolder>& folder() const { return m_folder; }
    // Reads the folder's ids again (the user's View > Refresh).
    void refresh();
    // Applies the item events noted so far now, instead of on the next turn
    // of the event loop.
    void applyPendingChanges();
    // Runs after the list changed (rows added, removed or re-read).
    void setOnChanged(std::function<void()> onChanged) { m_onChanged = std::move(onChanged); }
    // How the last read of the folder's ids went: the store's error when
    // its file could not be read (the list is then empty).
    const Status& loadStatus() const { return m_loaded; }

    // Every item of the folder, not only the rows fetched so far.
    qint64 totalCount() const { return static_cast<qint64>(m_ids.size()); }
    host::ItemId itemIdAt(int row) const;
    // The row of an item among the rows fetched so far, or -1.
    int rowOf(host::ItemId id) const;
    // How many rows have had their values read from the store (for tests
    // and the benchmark: the list must stay lazy).
    std::size_t rowsRead() const { return m_rowsRead; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    const QStringList& rowTexts(int row) const;
    void loadIds();
    void applyRemoved(FolderChanges& changes);
    void applyAdded(FolderChanges& changes);
    void applyChanged(const FolderChanges& changes);

    Locale m_locale;
    std::shared_ptr<host::MAPIFolder> m_folder;
    ListLayout m_layout;
    std::vector<host::ItemId> m_ids;
    Status m_loaded;
    int m_fetched = 0;
    mutable std::unordered_map<host::ItemId, QStringList> m_cache;
    mutable std::size_t m_rowsRead = 0;

    FolderFollower m_follower{[this] { applyPendingChanges(); }};
    std::function<void()> m_onChanged;
};

}  // namespace orlo::desk
