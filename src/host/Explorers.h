#pragma once
// Explorers: the main windows open in the application, oldest first.

#include <memory>
#include <vector>

#include "host/events/Event.h"
#include "platform/core/Result.h"

namespace orlo::host {

class Explorer;
class MAPIFolder;

class Explorers : public std::enable_shared_from_this<Explorers> {
public:
    struct Events {
        Event<const std::shared_ptr<Explorer>&> NewExplorer;
    };
    Events events;

    int Count() const { return static_cast<int>(m_open.size()); }
    // 1-based; error 5 outside 1..Count.
    Result<std::shared_ptr<Explorer>> Item(int index) const;
    // Opens a main window on the folder; it becomes the active explorer.
    std::shared_ptr<Explorer> Add(const std::shared_ptr<MAPIFolder>& folder);
    // The explorer most recently opened or activated that is still open.
    std::shared_ptr<Explorer> active() const;

    void activate(const std::shared_ptr<Explorer>& explorer);
    void remove(const Explorer* explorer);

private:
    std::vector<std::shared_ptr<Explorer>> m_open;
    std::weak_ptr<Explorer> m_active;
};

}  // namespace orlo::host
