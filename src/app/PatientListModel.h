#pragma once
// PatientListModel: the patient list of a contacts folder: name, date of
// birth, home and work telephone, city and patient no. (the columns the
// folder's form names), sortable by any column and filtered by the quick
// search as the user types. Unlike the lazy item list it holds every
// patient's row texts in memory, read with one query of the fields it
// shows and searches, so that sorting and searching never touch the store:
// a clinic of a hundred thousand patients is some tens of megabytes.
//
// It follows the folder's ItemAdd, ItemChange and ItemRemove like the item
// list: the events are noted and applied together once the event loop
// turns, reading only the items they name.

#include <QAbstractTableModel>
#include <functional>
#include <memory>
#include <vector>

#include "app/FolderFollower.h"
#include "app/ListLayout.h"
#include "app/QuickSearch.h"
#include "host/store/StoreFile.h"
#include "platform/core/Locale.h"

namespace orlo::host {
class MAPIFolder;
}

namespace orlo::desk {

class PatientListModel : public QAbstractTableModel {
public:
    explicit PatientListModel(Locale locale, QObject* parent = nullptr);
    ~PatientListModel() override;

    void setFolder(std::shared_ptr<host::MAPIFolder> folder);
    const std::shared_ptr<host::MAPIFolder>& folder() const { return m_folder; }
    void refresh();
    void applyPendingChanges();
    void setOnChanged(std::function<void()> onChanged) { m_onChanged = std::move(onChanged); }
    const Status& loadStatus() const { return m_loaded; }

    // Shows only the patients the text finds (all of them for "").
    void setSearch(const QString& typed);
    QString searchText() const { return m_searchText; }

    // Every patient of the folder, and those the search shows.
    qint64 totalCount() const { return static_cast<qint64>(m_rows.size()); }
    host::ItemId itemIdAt(int row) const;
    int rowOf(host::ItemId id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    struct Row {
        host::ItemId id = 0;
        QStringList texts;
        SearchKeys keys;
    };

    Row makeRow(host::ItemId id, const std::vector<Variant>& values) const;
    void load();
    void apply(FolderChanges changes);
    void rebuildVisible(bool narrowOnly);
    bool lessThan(const Row& a, const Row& b) const;

    Locale m_locale;
    std::shared_ptr<host::MAPIFolder> m_folder;
    ListLayout m_layout;
    std::vector<Row> m_rows;
    std::vector<int> m_visible;  // indexes into m_rows, filtered and sorted
    Status m_loaded;

    QuickSearch m_search;
    QString m_searchText;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;

    FolderFollower m_follower{[this] { applyPendingChanges(); }};
    std::function<void()> m_onChanged;
};

}  // namespace orlo::desk
