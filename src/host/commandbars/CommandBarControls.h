#pragma once
// CommandBarControls: the controls of one bar, in the order the user sees
// them. Add inserts before a 1-based position (Before), or at the end.

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "host/commandbars/CommandBarControl.h"
#include "platform/core/Result.h"

namespace orlo::host {

class CommandBarControls : public std::enable_shared_from_this<CommandBarControls> {
public:
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
    auto begin() const { return m_controls.begin(); }
    auto end() const { return m_controls.end(); }

private:
    std::vector<std::shared_ptr<CommandBarControl>> m_controls;
};

}  // namespace orlo::host
