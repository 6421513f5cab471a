#include "app/ItemHandles.h"

#include "host/Folders.h"
#include "host/HostErrors.h"
#include "host/Item.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/StoreSession.h"

namespace orlo::desk {

QString ItemHandles::handleOf(const std::shared_ptr<host::Item>& item) {
    for (auto& [handle, entry] : m_entries) {
        if (entry.item.lock() == item) {
            entry.id = item->entryId();
            if (entry.id == 0 || !handle.startsWith(u"new")) {
                return handle;
            }
        }
    }
    if (item->entryId() != 0) {
        const QString handle = QString::number(item->entryId());
        m_entries[handle] = Entry{item, item->entryId(), nullptr};
        return handle;
    }
    const QString handle = QStringLiteral("new%1").arg(++m_newCount);
    m_entries[handle] = Entry{item, 0, item};
    return handle;
}

Result<std::shared_ptr<host::Item>> ItemHandles::find(const QString& handle,
                                                      const host::NameSpace& ns) {
    host::ItemId id = 0;
    if (const auto it = m_entries.find(handle); it != m_entries.end()) {
        if (auto item = it->second.item.lock()) {
            return item;
        }
        id = it->second.id;
    } else {
        bool numeric = false;
        id = handle.toLongLong(&numeric);
    }
    if (id > 0) {
        const auto tops = ns.Folders();
        for (const auto& top : *tops) {
            if (auto item = top->session()->itemObject(id); item && *item) {
                m_entries[handle] = Entry{*item, id, nullptr};
                return *item;
            }
        }
    }
    // A handle whose item is gone from the store names nothing any more.
    m_entries.erase(handle);
    return host::err::hostError(host::err::kObjectNotFound,
                                QStringLiteral("There is no item \"%1\".").arg(handle));
}

void ItemHandles::release() {
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        Entry& e = it->second;
        if (const auto live = e.item.lock(); live && live->isDeleted()) {
            const host::ItemId id = live->entryId();
            m_entries.erase(it);
            forget(id);
            it = m_entries.begin();  // restart: forget() may have erased any entry
            continue;
        }
        if (e.unsaved && (e.unsaved->entryId() != 0 || e.unsaved->isDeleted())) {
            e.id = e.unsaved->isDeleted() ? 0 : e.unsaved->entryId();
            e.unsaved.reset();
        }
        if (e.item.expired()) {
            // An expired weak pointer still holds the dead item's memory;
            // the entry id is enough to find the item again.
            e.item.reset();
        }
        if (e.item.expired() && e.id == 0) {
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
}

void ItemHandles::forget(host::ItemId id) {
    if (id != 0) {
        std::erase_if(m_entries, [id](const auto& entry) { return entry.second.id == id; });
    }
}

}  // namespace orlo::desk
