#include "host/commandbars/CommandBarControls.h"

#include <algorithm>

#include "host/HostErrors.h"

namespace orlo::host {

namespace {

Error badIndex(const QString& what) {
    return err::hostError(err::kInvalidProcedureCall,
                          QStringLiteral("Invalid procedure call or argument: %1").arg(what));
}

QString withoutAccessKey(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

}  // namespace

Result<std::shared_ptr<CommandBarControl>> CommandBarControls::Item(int index) const {
    if (index < 1 || index > Count()) {
        return badIndex(QString::number(index));
    }
    return m_controls[static_cast<std::size_t>(index - 1)];
}

Result<std::shared_ptr<CommandBarControl>> CommandBarControls::Item(const QString& caption) const {
    const QString wanted = withoutAccessKey(caption);
    for (const auto& c : m_controls) {
        if (withoutAccessKey(c->Caption()).compare(wanted, Qt::CaseInsensitive) == 0) {
            return c;
        }
    }
    return badIndex(caption);
}

Result<std::shared_ptr<CommandBarControl>> CommandBarControls::Add(ControlType type,
                                                                   std::optional<int> before,
                                                                   bool temporary) {
    if (before && (*before < 1 || *before > Count() + 1)) {
        return badIndex(QStringLiteral("Before = %1").arg(*before));
    }
    auto control = std::make_shared<CommandBarControl>(type, temporary);
    control->setParent(weak_from_this());
    if (const auto entries = control->Controls()) {
        entries->m_popup = control;
    }
    const auto at = before ? m_controls.begin() + (*before - 1) : m_controls.end();
    m_controls.insert(at, control);
    changed();
    return control;
}

void CommandBarControls::remove(const CommandBarControl* control) {
    std::erase_if(m_controls, [control](const auto& c) { return c.get() == control; });
    changed();
}

void CommandBarControls::changed() {
    const auto self = shared_from_this();  // a handler may drop the bar
    events.Change.raise();
    if (const auto popup = m_popup.lock()) {
        popup->changed();
    }
}

}  // namespace orlo::host
