#pragma once
// FolderItemModel: the item list of the folder the explorer shows, as a
// table model for a view. It never loads the whole folder: setFolder reads
// only the folder's item ids; the view sees rows in batches (canFetchMore /
// fetchMore) as it scrolls; a row's values are read from the store when the
// view first asks for them, only the properties its columns show, and kept
// in a bounded cache. A folder of half a million appointments costs one id
// list and the rows on screen.

#include <QAbstractTableModel>
#include <memory>
#include <unordered_map>
#include <vector>

#include "app/ListColumns.h"
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

    void setFolder(std::shared_ptr<host::MAPIFolder> folder);
    const std::shared_ptr<host::MAPIFolder>& folder() const { return m_folder; }
    // Reads the folder's ids again (after a save, an add or a delete).
    void refresh();
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

    Locale m_locale;
    std::shared_ptr<host::MAPIFolder> m_folder;
    std::vector<ListColumn> m_columns;
    QStringList m_properties;
    std::vector<host::ItemId> m_ids;
    Status m_loaded;
    int m_fetched = 0;
    mutable std::unordered_map<host::ItemId, QStringList> m_cache;
    mutable std::size_t m_rowsRead = 0;
};

}  // namespace orlo::desk
