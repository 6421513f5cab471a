#pragma once
// Subscription: the handle of one handler connected to an Event. While it
// lives the handler runs on every raise; destroying, reassigning or
// disconnecting it removes the handler. A subscription that outlives its
// event does nothing.

#include <memory>

namespace orlo::host {

// What an event keeps per handler and a subscription switches off.
struct SubscriptionSlot {
    virtual ~SubscriptionSlot() = default;
    bool connected = true;
};

class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::weak_ptr<SubscriptionSlot> slot) : m_slot(std::move(slot)) {}
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    Subscription(Subscription&& other) noexcept : m_slot(std::move(other.m_slot)) {
        other.m_slot.reset();
    }
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            disconnect();
            m_slot = std::move(other.m_slot);
            other.m_slot.reset();
        }
        return *this;
    }
    ~Subscription() { disconnect(); }

    void disconnect() {
        if (auto slot = m_slot.lock()) {
            slot->connected = false;
        }
        m_slot.reset();
    }
    bool connected() const {
        auto slot = m_slot.lock();
        return slot && slot->connected;
    }

private:
    std::weak_ptr<SubscriptionSlot> m_slot;
};

}  // namespace orlo::host
