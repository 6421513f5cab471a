#include "app/FolderFollower.h"

#include <QMetaObject>

#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"

namespace orlo::desk {

void FolderFollower::follow(const std::shared_ptr<host::MAPIFolder>& folder) {
    m_subscriptions.clear();
    clear();
    const auto items = folder ? folder->Items() : nullptr;
    if (!items) {
        return;
    }
    host::Items::Events& e = items->events;
    m_subscriptions.push_back(e.ItemAdd.connect([this](const std::shared_ptr<host::Item>& item) {
        m_changes.added.push_back(item->entryId());
        post();
    }));
    m_subscriptions.push_back(e.ItemChange.connect([this](const std::shared_ptr<host::Item>& item) {
        m_changes.changed.insert(item->entryId());
        post();
    }));
    m_subscriptions.push_back(e.ItemRemove.connect([this](host::ItemId id) {
        m_changes.removed.insert(id);
        m_changes.changed.erase(id);
        post();
    }));
}

void FolderFollower::post() {
    if (m_posted) {
        return;
    }
    m_posted = true;
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            m_posted = false;
            m_apply();
        },
        Qt::QueuedConnection);
}

}  // namespace orlo::desk
