#pragma once
// Event<Args...>: one event of a desk object (an item's Write, an explorer's
// FolderSwitch, a button's Click). Single-thread: handlers run one after the
// other, in the order they connected, inside raise(). A handler may connect
// or disconnect handlers, or drop the object that raises, while it runs; a
// handler disconnected during a raise is not called any more in that raise.
//
//   Subscription s = item->events.Write.connect([&](bool& cancel) { ... });

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "host/events/Subscription.h"

namespace orlo::host {

template <typename... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    ~Event() {
        for (const auto& slot : m_slots) {
            slot->connected = false;
        }
    }

    [[nodiscard]] Subscription connect(Handler handler) {
        prune();
        auto slot = std::make_shared<Slot>();
        slot->handler = std::move(handler);
        m_slots.push_back(slot);
        return Subscription(std::weak_ptr<SubscriptionSlot>(slot));
    }

    void raise(Args... args) const {
        if (m_slots.empty()) {
            return;  // nobody ever listened: the common case costs one test
        }
        // A copy: handlers may change the list, or destroy this event's owner.
        const std::vector<std::shared_ptr<Slot>> snapshot = m_slots;
        for (const auto& slot : snapshot) {
            if (slot->connected) {
                slot->handler(args...);
            }
        }
    }

    int handlerCount() const {
        return static_cast<int>(std::count_if(m_slots.begin(), m_slots.end(),
                                              [](const auto& s) { return s->connected; }));
    }

private:
    struct Slot : SubscriptionSlot {
        Handler handler;
    };

    void prune() {
        std::erase_if(m_slots, [](const auto& s) { return !s->connected; });
    }

    std::vector<std::shared_ptr<Slot>> m_slots;
};

}  // namespace orlo::host
