#pragma once
// AutomationContext: what every automation command works on (the desk
// session, the recorded message boxes, the windows, the items the channel
// has named) and the checks the commands share: a text field, a folder by
// path, an item by handle, the main window, a command bar. Each check fails
// with the reply's error: the command needs "x", "object not found", "the
// main window is closed".

#include <QJsonObject>
#include <QString>
#include <memory>

#include "app/ItemHandles.h"
#include "platform/core/Result.h"

namespace orlo {
class ScriptedMessageBoxes;
}

namespace orlo::host {
class CommandBar;
class Explorer;
class Item;
class MAPIFolder;
class NameSpace;
}  // namespace orlo::host

namespace orlo::desk {

class DeskSession;
class WindowControl;

struct AutomationContext {
    DeskSession& session;
    ScriptedMessageBoxes& boxes;
    WindowControl& windows;
    ItemHandles handles;

    host::NameSpace& nameSpace() const;
    // A non-empty text field of the command.
    Result<QString> requireText(const QJsonObject& c, const QString& name) const;
    // The folder at the path in the command's "folder".
    Result<std::shared_ptr<host::MAPIFolder>> requireFolder(const QJsonObject& c) const;
    // The item the command's "id" names (a handle, or an entry id as text or number).
    Result<std::shared_ptr<host::Item>> requireItem(const QJsonObject& c);
    QString handleOf(const std::shared_ptr<host::Item>& item) { return handles.handleOf(item); }
    // The active main window.
    Result<std::shared_ptr<host::Explorer>> requireExplorer() const;
    // The command's "bar" ("Menu Bar" when absent) of the item's window when
    // the command names an item, else of the main window.
    Result<std::shared_ptr<host::CommandBar>> requireBar(const QJsonObject& c);
};

// An argument the command does not accept.
Error badCommand(const QString& why);

}  // namespace orlo::desk
