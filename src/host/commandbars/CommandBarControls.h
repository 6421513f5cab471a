#pragma once
// CommandBarControls: the controls of one bar, in the order the user sees
// them. Add inserts before a 1-based position (Before), or at the end.
// Change is raised when a control is added or taken off, or changes its
// caption, visibility or enabled state, here or on a popup below: the
// windows rebuild their menus from it.

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "host/commandbars/CommandBarControl.h"
#include "host/events/Event.h"
#include "platform/core/Result.h"

namespace orlo::host {

class CommandBarControls : public std::enable_shared_from_this<CommandBarControls> {
public:
    struct Events {
        Event<> Change;
    };
    Events events;

    int Count() const { return static_cast<int>(m_controls.size()); }
    // 1-based; error 5 outside 1..Count.
    Result<std::shared_ptr<CommandBarControl>> Item(int index) const;
    // By caption, with or without its access-key mark ("&Tools" or "Tools").
    Result<std::shared_ptr<CommandBarControl>> Item(const QString& caption) const;
    // Before: 1..Count+1 (error 5 otherwise); none appends.
    Result<std::shared_ptr<CommandBarControl>> Add(ControlType type,
                                                   std::optional<int> before = std::nullopt,
                                                   bool temporary = false);

    void remove(const CommandBarControl* control);
    // Raises Change here and on every bar above.
    void changed();
    auto begin() const { return m_controls.begin(); }
    auto end() const { return m_controls.end(); }

private:
    std::vector<std::shared_ptr<CommandBarControl>> m_controls;
    // The popup whose entries these are; nothing for a window's bar.
    std::weak_ptr<CommandBarControl> m_popup;
};

}  // namespace orlo::host
