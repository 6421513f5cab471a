#include "host/commandbars/CommandBar.h"

namespace orlo::host {

CommandBar::CommandBar(QString name)
    : m_name(std::move(name)), m_controls(std::make_shared<CommandBarControls>()) {}

std::shared_ptr<CommandBarControl> CommandBar::FindControl(const QString& tag) const {
    for (const auto& control : *m_controls) {
        if (auto found = control->findByTag(tag)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace orlo::host
