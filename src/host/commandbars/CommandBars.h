#pragma once
// CommandBars: the bars of one window by name. An explorer has "Menu Bar"
// (with the desk's menus "&File" to "&Help"), "Standard" and "Tools" (the
// Tools menu's own bar, with "Customize..."); an inspector has the same
// three, its "Tools" holding "Check Names".

#include <QString>
#include <memory>
#include <vector>

#include "host/commandbars/CommandBar.h"
#include "platform/core/Result.h"

namespace orlo::host {

class CommandBars {
public:
    static constexpr char16_t kMenuBar[] = u"Menu Bar";
    static constexpr char16_t kStandard[] = u"Standard";
    static constexpr char16_t kTools[] = u"Tools";
    static constexpr char16_t kCustomize[] = u"Customize...";
    static constexpr char16_t kCheckNames[] = u"Check Names";

    static std::shared_ptr<CommandBars> forExplorer();
    static std::shared_ptr<CommandBars> forInspector();

    int Count() const { return static_cast<int>(m_bars.size()); }
    // By name (case-insensitive); error 5 for a bar the window does not have.
    Result<std::shared_ptr<CommandBar>> Item(const QString& name) const;
    // The first control with the tag on any bar; nothing when absent.
    std::shared_ptr<CommandBarControl> FindControl(const QString& tag) const;

    void add(std::shared_ptr<CommandBar> bar) { m_bars.push_back(std::move(bar)); }

private:
    std::vector<std::shared_ptr<CommandBar>> m_bars;
};

}  // namespace orlo::host
