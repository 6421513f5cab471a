#pragma once
// AutomationCommands: the desk driven by JSON commands, one object per
// command, one object per reply. Every reply has "ok"; a failure carries
// {"ok":false,"error":{"number":N,"description":"..."}}. Items are named by
// the handles the channel hands out (ItemHandles). The commands are the
// functions of AutomationHandlers.h, listed in the README.
//
// Message boxes: in automation the desk answers boxes from a queue filled
// by "answer" (the first button when the queue is empty) and records every
// box, which "messageBoxes" reads back.

#include <QByteArray>
#include <QJsonObject>

#include "app/AutomationContext.h"

namespace orlo::desk {

class AutomationCommands {
public:
    AutomationCommands(DeskSession& session, ScriptedMessageBoxes& boxes, WindowControl& windows);
    ~AutomationCommands();

    // One line in, one line out (without the line end). Bad JSON is an error
    // reply, never a crash.
    QByteArray handleLine(const QByteArray& line);
    // The error reply to a line that was not run, for `why`.
    static QByteArray refusedLine(const QString& why);
    QJsonObject run(const QJsonObject& command);
    // Whether a command line may run while another command waits in a
    // nested event loop (a modal window is open): the commands that look
    // at windows, answer boxes or close a window.
    bool runsInsideModal(const QByteArray& line) const;

private:
    AutomationContext m_context;
};

}  // namespace orlo::desk
