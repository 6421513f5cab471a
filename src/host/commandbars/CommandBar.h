#pragma once
// CommandBar: a named bar ("Menu Bar", "Standard", "Tools") and its controls.
// events.Change: something on the bar changed (see CommandBarControls).

#include <QString>
#include <memory>

#include "host/commandbars/CommandBarControls.h"

namespace orlo::host {

class CommandBar {
public:
    explicit CommandBar(QString name);

    CommandBarControls::Events& events() const { return m_controls->events; }

    QString Name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    std::shared_ptr<CommandBarControls> Controls() const { return m_controls; }
    // The first control carrying the tag, searching popups too; nothing
    // when no control has it.
    std::shared_ptr<CommandBarControl> FindControl(const QString& tag) const;

private:
    QString m_name;
    std::shared_ptr<CommandBarControls> m_controls;
};

}  // namespace orlo::host
