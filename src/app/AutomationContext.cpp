#include "app/AutomationContext.h"

#include "app/DeskSession.h"
#include "app/FolderPaths.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"
#include "host/Item.h"
#include "host/NameSpace.h"
#include "host/commandbars/CommandBars.h"

namespace orlo::desk {

Error badCommand(const QString& why) {
    return host::err::hostError(host::err::kInvalidArgument, why);
}

host::NameSpace& AutomationContext::nameSpace() const {
    return *session.nameSpace();
}

Result<QString> AutomationContext::requireText(const QJsonObject& c, const QString& name) const {
    const QJsonValue v = c.value(name);
    if (!v.isString() || v.toString().isEmpty()) {
        return badCommand(QStringLiteral("The command needs \"%1\" (a text).").arg(name));
    }
    return v.toString();
}

Result<std::shared_ptr<host::MAPIFolder>> AutomationContext::requireFolder(
    const QJsonObject& c) const {
    const Result<QString> path = requireText(c, QStringLiteral("folder"));
    if (!path) {
        return path.error();
    }
    return folderAt(nameSpace(), *path);
}

Result<std::shared_ptr<host::Item>> AutomationContext::requireItem(const QJsonObject& c) {
    const QJsonValue v = c.value(QStringLiteral("id"));
    const QString handle = v.isDouble() ? QString::number(v.toInteger()) : v.toString();
    if (handle.isEmpty()) {
        return badCommand(QStringLiteral("The command needs the item's \"id\"."));
    }
    return handles.find(handle, nameSpace());
}

Result<std::shared_ptr<host::Explorer>> AutomationContext::requireExplorer() const {
    if (auto explorer = session.application()->ActiveExplorer()) {
        return explorer;
    }
    return host::err::hostError(host::err::kObjectNotAvailable,
                                QStringLiteral("The main window is closed."));
}

Result<std::shared_ptr<host::CommandBar>> AutomationContext::requireBar(const QJsonObject& c) {
    std::shared_ptr<host::CommandBars> bars;
    if (c.contains(QStringLiteral("id"))) {
        const auto item = requireItem(c);
        if (!item) {
            return item.error();
        }
        bars = (*item)->GetInspector()->CommandBars();
    } else {
        const auto explorer = requireExplorer();
        if (!explorer) {
            return explorer.error();
        }
        bars = (*explorer)->CommandBars();
    }
    return bars->Item(
        c.value(QStringLiteral("bar")).toString(QString::fromUtf16(host::CommandBars::kMenuBar)));
}

}  // namespace orlo::desk
