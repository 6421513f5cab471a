#pragma once
// CommandBar: a named bar ("Menu Bar", "Standard", "Tools") and its controls.

#include <QString>
#include <memory>

#include "host/commandbars/CommandBarControls.h"

namespace orlo::host {

class CommandBar {
public:
    explicit CommandBar(QString name);

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
