#pragma once
// Inspectors: the item windows open in the application, oldest first, with
// the NewInspector event raised each time an item is displayed.

#include <memory>
#include <vector>

#include "host/events/Event.h"
#include "platform/core/Result.h"

namespace orlo::host {

class Inspector;

class Inspectors : public std::enable_shared_from_this<Inspectors> {
public:
    struct Events {
        Event<const std::shared_ptr<Inspector>&> NewInspector;
    };
    Events events;

    Inspectors() = default;
    Inspectors(const Inspectors&) = delete;
    Inspectors& operator=(const Inspectors&) = delete;
    ~Inspectors();

    int Count() const { return static_cast<int>(m_open.size()); }
    // 1-based; error 5 outside 1..Count.
    Result<std::shared_ptr<Inspector>> Item(int index) const;
    // The inspector most recently opened or activated that is still open.
    std::shared_ptr<Inspector> active() const;

    // Shows an inspector: it joins the list, becomes active, NewInspector.
    void open(const std::shared_ptr<Inspector>& inspector);
    void activate(const std::shared_ptr<Inspector>& inspector);
    void remove(const Inspector* inspector);

private:
    std::vector<std::shared_ptr<Inspector>> m_open;
    std::weak_ptr<Inspector> m_active;
};

}  // namespace orlo::host
