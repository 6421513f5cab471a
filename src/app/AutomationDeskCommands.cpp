// The automation commands on the desk around the items: folders, the main
// window's folder, menus, message boxes, the desk's state, the windows the
// add-ins show and pictures of all windows, calls into add-ins, the desk's
// end.

#include <QJsonArray>

#include "app/AutomationContext.h"
#include "app/AutomationHandlers.h"
#include "app/CommandPath.h"
#include "app/DeskSession.h"
#include "app/FolderPaths.h"
#include "app/MessageBoxJson.h"
#include "app/WindowControl.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/Explorers.h"
#include "host/HostErrors.h"
#include "host/Inspectors.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/commandbars/CommandBar.h"
#include "platform/core/VariantJson.h"
#include "platform/ui/MessageBox.h"

namespace orlo::desk::commands {

Result<QJsonObject> folders(AutomationContext& ctx, const QJsonObject&) {
    QJsonArray list;
    for (const FolderEntry& e : allFolders(ctx.nameSpace())) {
        ORLO_TRY_ASSIGN(const int count, e.folder->Items()->Count());
        list.append(QJsonObject{{QStringLiteral("path"), e.path},
                                {QStringLiteral("messageClass"), e.folder->DefaultMessageClass()},
                                {QStringLiteral("count"), count}});
    }
    return QJsonObject{{QStringLiteral("folders"), list}};
}

Result<QJsonObject> switchFolder(AutomationContext& ctx, const QJsonObject& c) {
    const auto folder = ctx.requireFolder(c);
    if (!folder) {
        return folder.error();
    }
    const auto explorer = ctx.requireExplorer();
    if (!explorer) {
        return explorer.error();
    }
    if (Status s = (*explorer)->SelectFolder(*folder); !s) {
        return s.error();
    }
    return QJsonObject{{QStringLiteral("folder"), pathOf(ctx.nameSpace(), **folder)}};
}

Result<QJsonObject> menu(AutomationContext& ctx, const QJsonObject& c) {
    const auto bar = ctx.requireBar(c);
    if (!bar) {
        return bar.error();
    }
    return QJsonObject{{QStringLiteral("controls"), describeControls(**bar)}};
}

Result<QJsonObject> click(AutomationContext& ctx, const QJsonObject& c) {
    const auto bar = ctx.requireBar(c);
    if (!bar) {
        return bar.error();
    }
    QStringList captions;
    for (const QJsonValue& v : c.value(QStringLiteral("path")).toArray()) {
        captions << v.toString();
    }
    const auto control = controlAt(**bar, captions);
    if (!control) {
        return control.error();
    }
    if ((*control)->Type() != host::ControlType::Button) {
        return badCommand(
            QStringLiteral("\"%1\" is a menu, not a command.").arg(captions.join(u" > ")));
    }
    if (Status s = (*control)->Execute(); !s) {
        return s.error();
    }
    return QJsonObject{};
}

Result<QJsonObject> answer(AutomationContext& ctx, const QJsonObject& c) {
    std::vector<MsgAnswer> parsed;
    for (const QJsonValue& v : c.value(QStringLiteral("answers")).toArray()) {
        const auto a = answerFromJson(v);
        if (!a) {
            return a.error();
        }
        parsed.push_back(*a);
    }
    for (const MsgAnswer a : parsed) {
        ctx.boxes.queueAnswer(a);
    }
    return QJsonObject{{QStringLiteral("queued"), static_cast<int>(parsed.size())}};
}

Result<QJsonObject> messageBoxes(AutomationContext& ctx, const QJsonObject& c) {
    QJsonArray boxes;
    for (const MessageBoxRequest& r : ctx.boxes.shown()) {
        boxes.append(messageBoxToJson(r));
    }
    if (c.value(QStringLiteral("clear")).toBool()) {
        ctx.boxes.clear();
    }
    return QJsonObject{{QStringLiteral("boxes"), boxes}};
}

Result<QJsonObject> state(AutomationContext& ctx, const QJsonObject&) {
    const auto& app = ctx.session.application();
    const auto explorer = app->ActiveExplorer();
    const auto current = explorer ? explorer->CurrentFolder() : nullptr;
    QJsonArray addins;
    if (const AddinHost* host = ctx.session.addinHost()) {
        for (const AddinEntry& a : host->addins()) {
            addins.append(QJsonObject{{QStringLiteral("progId"), a.progId},
                                      {QStringLiteral("connected"), a.connected},
                                      {QStringLiteral("problem"), a.problem}});
        }
    }
    QJsonObject reply{
        {QStringLiteral("explorers"), app->Explorers()->Count()},
        {QStringLiteral("inspectors"), app->Inspectors()->Count()},
        {QStringLiteral("mainWindow"), ctx.windows.mainWindowOpen()},
        {QStringLiteral("folder"), current ? pathOf(ctx.nameSpace(), *current) : QString()},
        {QStringLiteral("stores"), QJsonArray::fromStringList(ctx.nameSpace().profileStores())},
        {QStringLiteral("addins"), addins}};
    // A progress window on screen (the add-in's "Updating Folders..."
    // while its start-up fills the folders).
    for (const WindowControl::OtherWindow& w : ctx.windows.otherWindows()) {
        if (w.progress >= 0) {
            reply.insert(QStringLiteral("progress"),
                         QJsonObject{{QStringLiteral("title"), w.title},
                                     {QStringLiteral("status"), w.status},
                                     {QStringLiteral("value"), w.progress}});
            break;
        }
    }
    return reply;
}

Result<QJsonObject> screenshot(AutomationContext& ctx, const QJsonObject& c) {
    const Result<QString> file = ctx.requireText(c, QStringLiteral("file"));
    if (!file) {
        return file.error();
    }
    if (c.contains(QStringLiteral("window"))) {
        const Result<QString> window = ctx.requireText(c, QStringLiteral("window"));
        if (!window) {
            return window.error();
        }
        if (Status s = ctx.windows.screenshotWindow(*window, *file); !s) {
            return s.error();
        }
        return QJsonObject{{QStringLiteral("file"), *file}};
    }
    std::shared_ptr<host::Item> item;
    if (c.contains(QStringLiteral("id"))) {
        const auto found = ctx.requireItem(c);
        if (!found) {
            return found.error();
        }
        item = *found;
    }
    if (Status s = ctx.windows.screenshot(item, *file, c.value(QStringLiteral("page")).toString());
        !s) {
        return s.error();
    }
    return QJsonObject{{QStringLiteral("file"), *file}};
}

Result<QJsonObject> windows(AutomationContext& ctx, const QJsonObject&) {
    QJsonArray out;
    for (const WindowControl::OtherWindow& w : ctx.windows.otherWindows()) {
        out.append(QJsonObject{{QStringLiteral("title"), w.title},
                               {QStringLiteral("name"), w.name},
                               {QStringLiteral("modal"), w.modal}});
    }
    return QJsonObject{{QStringLiteral("windows"), out}};
}

Result<QJsonObject> closeWindow(AutomationContext& ctx, const QJsonObject& c) {
    const Result<QString> window = ctx.requireText(c, QStringLiteral("window"));
    if (!window) {
        return window.error();
    }
    if (Status s = ctx.windows.closeWindow(*window); !s) {
        return s.error();
    }
    return QJsonObject{};
}

Result<QJsonObject> windowControl(AutomationContext& ctx, const QJsonObject& c) {
    ORLO_TRY_ASSIGN(const QString window, ctx.requireText(c, QStringLiteral("window")));
    return ctx.windows.driveWindow(window, c.value(QStringLiteral("cmd")).toString(), c);
}

Result<QJsonObject> call(AutomationContext& ctx, const QJsonObject& c) {
    const Result<QString> addin = ctx.requireText(c, QStringLiteral("addin"));
    if (!addin) {
        return addin.error();
    }
    const Result<QString> method = ctx.requireText(c, QStringLiteral("method"));
    if (!method) {
        return method.error();
    }
    std::vector<Variant> args;
    for (const QJsonValue& v : c.value(QStringLiteral("args")).toArray()) {
        Result<Variant> arg = jsonToVariant(v);
        if (!arg) {
            return arg.error();
        }
        args.push_back(*arg);
    }
    AddinHost* addins = ctx.session.addinHost();
    if (addins == nullptr) {
        return host::err::hostError(host::err::kObjectNotAvailable,
                                    QStringLiteral("The desk has no add-ins."));
    }
    const Result<Variant> result = addins->call(*addin, *method, args);
    if (!result) {
        return result.error();
    }
    return QJsonObject{{QStringLiteral("result"), variantToJson(*result)}};
}

Result<QJsonObject> calendar(AutomationContext& ctx, const QJsonObject& c) {
    return ctx.windows.calendar(c);
}

Result<QJsonObject> closeMain(AutomationContext& ctx, const QJsonObject&) {
    ctx.windows.closeMainWindow();
    return QJsonObject{};
}

Result<QJsonObject> quit(AutomationContext& ctx, const QJsonObject&) {
    ctx.handles.clear();
    ctx.windows.quit();
    return QJsonObject{};
}

}  // namespace orlo::desk::commands
