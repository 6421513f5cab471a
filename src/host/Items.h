#pragma once
// Items: the items of one folder, in the folder's order. Find takes a filter
// "[Name] = value" and returns the first matching item (nothing when none
// matches); Add makes a new, unsaved item of the folder's default form or of
// a given message class. SetColumns limits what iteration loads to the named
// properties, which makes walking a large folder cheap; the items handed out
// are still the one live object of each stored item.
//
// ItemAdd, ItemChange and ItemRemove tell whoever holds the folder's Items
// that an item of the folder was stored, stored again or deleted, whoever
// did it: the user's window, the add-in's fill operations, a peer's notice,
// the automation channel. Every Items object of one folder shares one set
// of events, and a folder that nobody holds raises nothing (no one could
// be listening), so saving costs nothing more when no view is open.

#include <QString>
#include <QStringList>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "host/events/Event.h"
#include "host/store/StoreFile.h"
#include "platform/core/Result.h"

namespace orlo::host {

class Item;
class MAPIFolder;

class Items {
    struct Snapshot;

public:
    struct Events {
        // An item was stored in the folder for the first time.
        Event<const std::shared_ptr<::orlo::host::Item>&> ItemAdd;
        // A stored item of the folder was stored again.
        Event<const std::shared_ptr<::orlo::host::Item>&> ItemChange;
        // A stored item of the folder was deleted: its entry id.
        Event<ItemId> ItemRemove;
    };
    // The folder's events (the same for every Items object of the folder).
    Events& events;

    explicit Items(std::shared_ptr<MAPIFolder> folder);
    ~Items();

    // Both fail with the store's error when its file cannot be read: an
    // unreadable folder is never taken for an empty one.
    Result<int> Count() const;
    Result<std::shared_ptr<::orlo::host::Item>> Find(const QString& filter) const;
    Result<std::shared_ptr<::orlo::host::Item>> Add(const QString& messageClass = {}) const;
    // 1-based, in the folder's order. Answers from a list of the folder's
    // items taken on first use and taken again when an index falls outside
    // it or names an item deleted since, so that a loop over 1..Count reads
    // the folder once.
    Result<std::shared_ptr<::orlo::host::Item>> Item(int index);

    // A comma-separated list of property names, e.g. "Mileage".
    void SetColumns(const QString& columns);
    void ResetColumns();
    QStringList columns() const { return m_columns; }

    // Walks a snapshot taken by GetFirst; nothing past the end.
    std::shared_ptr<::orlo::host::Item> GetFirst();
    std::shared_ptr<::orlo::host::Item> GetNext();

    // Range-for over a snapshot taken by begin(). Items not already live
    // load each property on first use (all of them before a change); an
    // item that cannot be read comes out as nothing.
    class Iterator {
    public:
        using value_type = std::shared_ptr<::orlo::host::Item>;
        using difference_type = std::ptrdiff_t;
        Iterator() = default;
        Iterator(std::shared_ptr<Snapshot> snapshot, std::size_t pos)
            : m_snapshot(std::move(snapshot)), m_pos(pos) {}
        value_type operator*() const;
        Iterator& operator++() {
            ++m_pos;
            return *this;
        }
        void operator++(int) { ++m_pos; }
        bool operator==(std::default_sentinel_t) const;

    private:
        std::shared_ptr<Snapshot> m_snapshot;
        std::size_t m_pos = 0;
    };
    Iterator begin() const;
    std::default_sentinel_t end() const { return {}; }

private:
    std::shared_ptr<Snapshot> snapshot() const;

    std::shared_ptr<MAPIFolder> m_folder;
    QStringList m_columns;
    std::shared_ptr<Snapshot> m_walk;
    std::vector<ItemId> m_indexIds;
    std::size_t m_walkPos = 0;
};

}  // namespace orlo::host
