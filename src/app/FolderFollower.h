#pragma once
// FolderFollower: what a view of a folder hears of the folder's ItemAdd,
// ItemChange and ItemRemove, whoever made the change (the user's window,
// the add-in's fills, a peer's notice, the automation channel). The events
// are noted as they come (constant work each) and handed over together by
// one call posted to the event loop, so that a resync storing a hundred
// thousand items costs the view one update, not one per item.

#include <QObject>
#include <functional>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

#include "host/events/Subscription.h"
#include "host/store/StoreFile.h"

namespace orlo::host {
class MAPIFolder;
}

namespace orlo::desk {

// The events noted since they were last taken.
struct FolderChanges {
    std::vector<host::ItemId> added;           // in the order stored
    std::unordered_set<host::ItemId> changed;  // stored again, and not deleted since
    std::unordered_set<host::ItemId> removed;
    bool empty() const { return added.empty() && changed.empty() && removed.empty(); }
};

class FolderFollower {
public:
    // `apply` runs once the event loop turns after an event was noted; it
    // takes the changes (or finds none when they were taken before).
    explicit FolderFollower(std::function<void()> apply) : m_apply(std::move(apply)) {}
    FolderFollower(const FolderFollower&) = delete;
    FolderFollower& operator=(const FolderFollower&) = delete;

    // Follows the folder's events, or none without a folder; what was
    // noted of the folder before is dropped.
    void follow(const std::shared_ptr<host::MAPIFolder>& folder);
    // Hands over the changes noted so far and forgets them.
    FolderChanges take() { return std::exchange(m_changes, {}); }
    void clear() { m_changes = {}; }

private:
    void post();

    std::function<void()> m_apply;
    std::vector<host::Subscription> m_subscriptions;
    FolderChanges m_changes;
    bool m_posted = false;
    QObject m_context;  // a call posted for the follower goes with it
};

}  // namespace orlo::desk
