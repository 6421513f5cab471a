#pragma once
// CommandBarControl: a button or a popup on a command bar (the menu bar,
// a toolbar, or a popup's own bar). Execute raises Click; a handler may set
// the cancel-default flag so that the control's own action does not run.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "host/events/Event.h"
#include "platform/core/Result.h"

namespace orlo::host {

class CommandBar;
class CommandBarControls;

enum class ControlType { Button = 1, Popup = 10 };

// Style values of a button.
inline constexpr int kButtonCaption = 2;
inline constexpr int kButtonIconAndCaption = 3;

class CommandBarControl : public std::enable_shared_from_this<CommandBarControl> {
public:
    struct Events {
        Event<const std::shared_ptr<CommandBarControl>&, bool&> Click;
    };
    Events events;

    CommandBarControl(ControlType type, bool temporary);

    ControlType Type() const { return m_type; }
    bool Temporary() const { return m_temporary; }
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    QString Tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }
    QString OnAction() const { return m_onAction; }
    void setOnAction(const QString& action) { m_onAction = action; }
    int Style() const { return m_style; }
    void setStyle(int style) { m_style = style; }
    int FaceId() const { return m_faceId; }
    void setFaceId(int faceId) { m_faceId = faceId; }
    // The face bitmap and its transparency mask, as image bytes.
    QByteArray Picture() const { return m_picture; }
    void setPicture(const QByteArray& picture) { m_picture = picture; }
    QByteArray Mask() const { return m_mask; }
    void setMask(const QByteArray& mask) { m_mask = mask; }
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);

    // A popup's entries; nothing for a button.
    std::shared_ptr<CommandBarControls> Controls() const;
    // A popup's own bar (what CommandBars("Tools") answers for "&Tools").
    std::shared_ptr<::orlo::host::CommandBar> CommandBar() const { return m_bar; }

    // Raises Click, then runs the control's own action unless a handler
    // cancelled it. A disabled control fails.
    Status Execute();
    // Takes the control off its bar.
    Status Delete();

    // The control's own action (the desk's, not the add-in's).
    void setDefaultAction(std::function<void()> action) { m_defaultAction = std::move(action); }
    // This control, or the first control below it, carrying the tag.
    std::shared_ptr<CommandBarControl> findByTag(const QString& tag);
    void setParent(std::weak_ptr<CommandBarControls> parent) { m_parent = std::move(parent); }
    // Tells the bar the control is on that it changed.
    void changed() const;

private:
    ControlType m_type;
    bool m_temporary;
    QString m_caption;
    QString m_tag;
    QString m_onAction;
    int m_style = 0;
    int m_faceId = 0;
    QByteArray m_picture;
    QByteArray m_mask;
    bool m_enabled = true;
    bool m_visible = true;
    std::shared_ptr<::orlo::host::CommandBar> m_bar;  // popups only
    std::weak_ptr<CommandBarControls> m_parent;
    std::function<void()> m_defaultAction;
};

}  // namespace orlo::host
