#pragma once
// EventField<T>: an object reference whose events reach a fixed set of
// handlers, the way the add-in's event-sink fields work. Assigning an object
// connects the handler set to it; assigning another object (or nothing)
// first disconnects the previous one, so only the last assigned object
// raises into the handlers, and a released field raises nothing.
//
//   EventField<ContactItem> objContactItem{[this](ContactItem& item) {
//       std::vector<Subscription> subs;
//       subs.push_back(item.events.Write.connect([this](bool& c) { objContactItem_Write(c); }));
//       return subs;
//   }};
//   objContactItem = inspector->CurrentItem();

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "host/events/Subscription.h"

namespace orlo::host {

template <typename T>
class EventField {
public:
    using Binder = std::function<std::vector<Subscription>(T&)>;

    EventField() = default;
    explicit EventField(Binder binder) : m_binder(std::move(binder)) {}
    EventField(const EventField&) = delete;
    EventField& operator=(const EventField&) = delete;

    EventField& operator=(std::shared_ptr<T> object) {
        set(std::move(object));
        return *this;
    }
    EventField& operator=(std::nullptr_t) {
        reset();
        return *this;
    }

    void set(std::shared_ptr<T> object) {
        m_subscriptions.clear();  // the old object stops raising before the new one starts
        m_object = std::move(object);
        if (m_object && m_binder) {
            m_subscriptions = m_binder(*m_object);
        }
    }
    void reset() {
        m_subscriptions.clear();
        m_object.reset();
    }

    const std::shared_ptr<T>& get() const { return m_object; }
    T* operator->() const { return m_object.get(); }
    T& operator*() const { return *m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    bool operator==(std::nullptr_t) const { return m_object == nullptr; }

private:
    Binder m_binder;
    std::shared_ptr<T> m_object;
    std::vector<Subscription> m_subscriptions;
};

}  // namespace orlo::host
