#pragma once
// ItemHandles: the names the automation channel gives items: the store's
// entry id once an item is stored, "new1", "new2", ... before (that name
// keeps naming it once stored). Handles hold items weakly: a handle never
// keeps an item alive, so a deleted item is let go as soon as nothing else
// holds it. Only an item never stored is kept, since nothing else could
// find it again, and only until it is stored or deleted; the handle of a
// deleted item goes with it. A handle whose
// item is gone finds it again in the store by entry id, or not at all.

#include <QString>
#include <map>
#include <memory>

#include "host/store/StoreFile.h"
#include "platform/core/Result.h"

namespace orlo::host {
class Item;
class NameSpace;
}  // namespace orlo::host

namespace orlo::desk {

class ItemHandles {
public:
    // The item's handle, named now if it has none.
    QString handleOf(const std::shared_ptr<host::Item>& item);
    // The item a handle names; "object not found" when there is none.
    Result<std::shared_ptr<host::Item>> find(const QString& handle, const host::NameSpace& ns);
    // Lets go of items stored or deleted since they were named, and of
    // handles whose item is gone and was never stored.
    void release();
    // Lets go of every handle of a deleted item at once (its object may be
    // gone before release() could see it deleted).
    void forget(host::ItemId id);
    void clear() { m_entries.clear(); }

private:
    struct Entry {
        std::weak_ptr<host::Item> item;
        host::ItemId id = 0;                  // the entry id, once stored
        std::shared_ptr<host::Item> unsaved;  // kept while never stored
    };

    std::map<QString, Entry> m_entries;
    int m_newCount = 0;
};

}  // namespace orlo::desk
