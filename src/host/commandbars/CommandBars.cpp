#include "host/commandbars/CommandBars.h"

#include <array>

#include "host/HostErrors.h"

namespace orlo::host {

namespace {

// The desk's own menus, left to right.
constexpr std::array<const char16_t*, 6> kMenus = {u"&File", u"&Edit",  u"&View",
                                                   u"&Go",   u"&Tools", u"&Help"};
constexpr int kToolsMenu = 4;

// Builds "Menu Bar", "Standard" and "Tools" (the "&Tools" menu's bar) with
// one entry of the window's own on the Tools bar.
std::shared_ptr<CommandBars> build(const char16_t* toolsEntry) {
    auto bars = std::make_shared<CommandBars>();
    auto menuBar = std::make_shared<CommandBar>(QString::fromUtf16(CommandBars::kMenuBar));
    std::shared_ptr<CommandBar> tools;
    for (std::size_t i = 0; i < kMenus.size(); ++i) {
        auto menu = menuBar->Controls()->Add(ControlType::Popup).value();
        menu->setCaption(QString::fromUtf16(kMenus[i]));
        if (i == kToolsMenu) {
            tools = menu->CommandBar();
        }
    }
    auto entry = tools->Controls()->Add(ControlType::Button).value();
    entry->setCaption(QString::fromUtf16(toolsEntry));
    bars->add(menuBar);
    bars->add(std::make_shared<CommandBar>(QString::fromUtf16(CommandBars::kStandard)));
    bars->add(tools);
    return bars;
}

}  // namespace

std::shared_ptr<CommandBars> CommandBars::forExplorer() {
    return build(kCustomize);
}

std::shared_ptr<CommandBars> CommandBars::forInspector() {
    return build(kCheckNames);
}

Result<std::shared_ptr<CommandBar>> CommandBars::Item(const QString& name) const {
    for (const auto& bar : m_bars) {
        if (bar->Name().compare(name, Qt::CaseInsensitive) == 0) {
            return bar;
        }
    }
    return err::hostError(err::kInvalidProcedureCall,
                          QStringLiteral("There is no command bar \"%1\".").arg(name));
}

std::shared_ptr<CommandBarControl> CommandBars::FindControl(const QString& tag) const {
    for (const auto& bar : m_bars) {
        if (auto found = bar->FindControl(tag)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace orlo::host
