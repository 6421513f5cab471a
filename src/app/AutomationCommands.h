#pragma once
// AutomationCommands: the desk driven by JSON commands, one object per
// command, one object per reply. Every reply has "ok"; a failure carries
// {"ok":false,"error":{"number":N,"description":"..."}}. Items are named by
// the id the channel hands out: the store's entry id once the item is
// saved, "new1", "new2", ... before. The commands are listed in the README.
//
// Message boxes: in automation the desk answers boxes from a queue filled
// by "answer" (the first button when the queue is empty) and records every
// box, which "messageBoxes" reads back.

#include <QByteArray>
#include <QJsonObject>
#include <functional>
#include <map>
#include <memory>

#include "platform/core/Result.h"

namespace orlo {
class ScriptedMessageBoxes;
}

namespace orlo::host {
class Item;
}

namespace orlo::desk {

class DeskSession;
class WindowControl;

class AutomationCommands {
public:
    AutomationCommands(DeskSession& session, ScriptedMessageBoxes& boxes, WindowControl& windows);
    ~AutomationCommands();

    // One line in, one line out (without the line end). Bad JSON is an error
    // reply, never a crash.
    QByteArray handleLine(const QByteArray& line);
    QJsonObject run(const QJsonObject& command);
    // Whether a command line may run while another command waits in a
    // nested event loop (a modal window is open): the commands that look
    // at windows, answer boxes or close a window.
    bool runsInsideModal(const QByteArray& line) const;

private:
    using Handler = std::function<Result<QJsonObject>(const QJsonObject&)>;

    Result<std::shared_ptr<host::Item>> itemOf(const QJsonObject& command);
    QString handleOf(const std::shared_ptr<host::Item>& item);

    Result<QJsonObject> create(const QJsonObject& c);
    Result<QJsonObject> set(const QJsonObject& c);
    Result<QJsonObject> save(const QJsonObject& c);
    Result<QJsonObject> display(const QJsonObject& c);
    Result<QJsonObject> close(const QJsonObject& c);
    Result<QJsonObject> remove(const QJsonObject& c);
    Result<QJsonObject> find(const QJsonObject& c);
    Result<QJsonObject> dump(const QJsonObject& c);
    Result<QJsonObject> form(const QJsonObject& c);
    Result<QJsonObject> switchFolder(const QJsonObject& c);
    Result<QJsonObject> folders(const QJsonObject& c);
    Result<QJsonObject> items(const QJsonObject& c);
    Result<QJsonObject> menu(const QJsonObject& c);
    Result<QJsonObject> click(const QJsonObject& c);
    Result<QJsonObject> answer(const QJsonObject& c);
    Result<QJsonObject> messageBoxes(const QJsonObject& c);
    Result<QJsonObject> state(const QJsonObject& c);
    Result<QJsonObject> screenshot(const QJsonObject& c);
    Result<QJsonObject> windows(const QJsonObject& c);
    Result<QJsonObject> closeWindow(const QJsonObject& c);
    Result<QJsonObject> call(const QJsonObject& c);
    Result<QJsonObject> closeMain(const QJsonObject& c);
    Result<QJsonObject> quit(const QJsonObject& c);

    DeskSession& m_session;
    ScriptedMessageBoxes& m_boxes;
    WindowControl& m_windows;
    std::map<QString, Handler> m_handlers;
    // Items the channel has named, by handle.
    std::map<QString, std::shared_ptr<host::Item>> m_items;
    int m_newCount = 0;
};

}  // namespace orlo::desk
