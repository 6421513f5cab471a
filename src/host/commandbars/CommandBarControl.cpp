#include "host/commandbars/CommandBarControl.h"

#include "host/HostErrors.h"
#include "host/commandbars/CommandBar.h"
#include "host/commandbars/CommandBarControls.h"

namespace orlo::host {

namespace {

// A popup's bar is named by its caption without the access-key marks.
QString barName(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

}  // namespace

CommandBarControl::CommandBarControl(ControlType type, bool temporary)
    : m_type(type), m_temporary(temporary) {
    if (m_type == ControlType::Popup) {
        m_bar = std::make_shared<::orlo::host::CommandBar>(QString());
    }
}

void CommandBarControl::setCaption(const QString& caption) {
    if (caption == m_caption) {
        return;
    }
    m_caption = caption;
    if (m_bar) {
        m_bar->setName(barName(caption));
    }
    changed();
}

void CommandBarControl::setEnabled(bool enabled) {
    if (enabled != m_enabled) {
        m_enabled = enabled;
        changed();
    }
}

void CommandBarControl::setVisible(bool visible) {
    if (visible != m_visible) {
        m_visible = visible;
        changed();
    }
}

void CommandBarControl::changed() const {
    if (const auto parent = m_parent.lock()) {
        parent->changed();
    }
}

std::shared_ptr<CommandBarControls> CommandBarControl::Controls() const {
    return m_bar ? m_bar->Controls() : nullptr;
}

Status CommandBarControl::Execute() {
    if (!m_enabled) {
        return err::hostError(err::kProviderFailure,
                              QStringLiteral("The control \"%1\" is disabled.").arg(m_caption));
    }
    const auto self = shared_from_this();
    bool cancelDefault = false;
    events.Click.raise(self, cancelDefault);
    if (!cancelDefault && m_defaultAction) {
        m_defaultAction();
    }
    return okStatus();
}

Status CommandBarControl::Delete() {
    const auto parent = m_parent.lock();
    if (!parent) {
        return err::hostError(err::kObjectNotFound,
                              QStringLiteral("The control is not on a command bar."));
    }
    const auto self = shared_from_this();  // the bar held the last reference
    m_parent.reset();
    parent->remove(this);
    return okStatus();
}

std::shared_ptr<CommandBarControl> CommandBarControl::findByTag(const QString& tag) {
    if (!tag.isEmpty() && m_tag == tag) {
        return shared_from_this();
    }
    return m_bar ? m_bar->FindControl(tag) : nullptr;
}

}  // namespace orlo::host
