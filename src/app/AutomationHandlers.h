#pragma once
// The automation channel's commands, one function each over the shared
// context; the README's "Automation channel" table lists their fields and
// replies. A handler returns the reply's fields ("ok" is added by the
// caller) or the error the reply carries.

#include <QJsonObject>

#include "platform/core/Result.h"

namespace orlo::desk {

struct AutomationContext;

namespace commands {

using Handler = Result<QJsonObject> (*)(AutomationContext&, const QJsonObject&);

// Items (AutomationItemCommands.cpp).
Result<QJsonObject> create(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> set(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> save(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> remove(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> display(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> close(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> find(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> dump(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> form(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> items(AutomationContext& ctx, const QJsonObject& c);

// Folders, menus, message boxes and windows (AutomationDeskCommands.cpp).
Result<QJsonObject> folders(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> switchFolder(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> menu(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> click(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> answer(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> messageBoxes(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> state(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> screenshot(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> windows(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> closeWindow(AutomationContext& ctx, const QJsonObject& c);
// A method a connected add-in offers to other programs.
Result<QJsonObject> call(AutomationContext& ctx, const QJsonObject& c);
// controls, setControl, clickControl, selectRow, clickHeader and rows on a
// named control of an add-in's window (WindowDriver.h).
Result<QJsonObject> windowControl(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> closeMain(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> calendar(AutomationContext& ctx, const QJsonObject& c);
Result<QJsonObject> quit(AutomationContext& ctx, const QJsonObject& c);

}  // namespace commands
}  // namespace orlo::desk
