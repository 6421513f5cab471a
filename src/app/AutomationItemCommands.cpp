// The automation commands on items: make, change, store, show, find, read
// and list them. Items come through the object model, so that a command
// fires the same events as the user's window does.

#include <QJsonArray>

#include "app/AutomationContext.h"
#include "app/AutomationHandlers.h"
#include "app/FolderPaths.h"
#include "app/SaveFailure.h"
#include "host/BuiltInFields.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/forms/FormPage.h"
#include "platform/core/VariantJson.h"
#include "platform/ui/MessageBox.h"

namespace orlo::desk::commands {

namespace {

QJsonObject idReply(AutomationContext& ctx, const std::shared_ptr<host::Item>& item) {
    return QJsonObject{{QStringLiteral("id"), ctx.handleOf(item)}};
}

Result<host::SaveMode> saveModeOf(const QJsonObject& c) {
    const QString mode = c.value(QStringLiteral("mode")).toString(QStringLiteral("save"));
    if (mode == u"save") {
        return host::SaveMode::Save;
    }
    if (mode == u"discard") {
        return host::SaveMode::Discard;
    }
    if (mode == u"prompt") {
        return host::SaveMode::PromptForSave;
    }
    return badCommand(QStringLiteral("\"mode\" is save, discard or prompt."));
}

QStringList builtInFields() {
    return {QString::fromUtf16(host::kCustomerIdField), QString::fromUtf16(host::kMileageField),
            QString::fromUtf16(host::kStartField),      QString::fromUtf16(host::kEndField),
            QString::fromUtf16(host::kCreatedField),    QString::fromUtf16(host::kModifiedField)};
}

// Assigns a property, adding it first when the item lacks it (as
// UserProperties.Add does).
Status setProperty(host::Item& item, const QString& name, const Variant& value) {
    Status s = item.setUserProperty(name, value);
    if (!s && s.error().number == host::err::kPropertyNotFound) {
        s = item.addUserProperty(name);
        if (s) {
            s = item.setUserProperty(name, value);
        }
    }
    return s;
}

Status setControl(host::Item& item, const QJsonObject& entry) {
    const auto page = item.formPage(entry.value(QStringLiteral("page")).toString());
    if (!page) {
        return page.error();
    }
    const auto control = (*page)->Controls(entry.value(QStringLiteral("control")).toString());
    if (!control) {
        return control.error();
    }
    const Result<Variant> value = jsonToVariant(entry.value(QStringLiteral("value")));
    if (!value) {
        return value.error();
    }
    return (*control)->setValue(*value);
}

QJsonObject controlJson(const host::FormControl& control) {
    const host::Rgb colour = control.ForeColor();
    const Result<Variant> value = control.Value();
    return QJsonObject{
        {QStringLiteral("name"), control.Name()},
        {QStringLiteral("kind"), control.kind() == host::ControlKind::Label
                                     ? QStringLiteral("label")
                                     : QStringLiteral("textbox")},
        {QStringLiteral("bound"), control.boundProperty()},
        {QStringLiteral("caption"), control.Caption()},
        {QStringLiteral("value"),
         value ? variantToJson(value.value()) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("foreColor"), QJsonArray{colour.red, colour.green, colour.blue}}};
}

}  // namespace

Result<QJsonObject> create(AutomationContext& ctx, const QJsonObject& c) {
    const auto folder = ctx.requireFolder(c);
    if (!folder) {
        return folder.error();
    }
    const auto item = (*folder)->Items()->Add(c.value(QStringLiteral("messageClass")).toString());
    if (!item) {
        return item.error();
    }
    QJsonObject rest = c;
    rest.insert(QStringLiteral("id"), ctx.handleOf(*item));
    if (c.contains(QStringLiteral("properties")) || c.contains(QStringLiteral("controls"))) {
        if (auto s = set(ctx, rest); !s) {
            return s.error();
        }
    }
    if (c.value(QStringLiteral("save")).toBool()) {
        return save(ctx, rest);
    }
    return idReply(ctx, *item);
}

Result<QJsonObject> set(AutomationContext& ctx, const QJsonObject& c) {
    const auto item = ctx.requireItem(c);
    if (!item) {
        return item.error();
    }
    const QJsonObject properties = c.value(QStringLiteral("properties")).toObject();
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        const Result<Variant> value = jsonToVariant(it.value());
        if (!value) {
            return value.error();
        }
        if (Status s = setProperty(**item, it.key(), *value); !s) {
            return s.error();
        }
    }
    for (const QJsonValue& entry : c.value(QStringLiteral("controls")).toArray()) {
        if (Status s = setControl(**item, entry.toObject()); !s) {
            return s.error();
        }
    }
    return idReply(ctx, *item);
}

Result<QJsonObject> save(AutomationContext& ctx, const QJsonObject& c) {
    const auto item = ctx.requireItem(c);
    if (!item) {
        return item.error();
    }
    if (Status s = (*item)->Save(); !s) {
        tellSaveFailure(ctx.boxes, s.error());
        return s.error();
    }
    return idReply(ctx, *item);
}

Result<QJsonObject> remove(AutomationContext& ctx, const QJsonObject& c) {
    const auto item = ctx.requireItem(c);
    if (!item) {
        return item.error();
    }
    const QString handle = ctx.handleOf(*item);
    if (Status s = (*item)->Delete(); !s) {
        return s.error();
    }
    ctx.handles.forget((*item)->entryId());
    return QJsonObject{{QStringLiteral("id"), handle},
                       {QStringLiteral("deleted"), (*item)->isDeleted()}};
}

Result<QJsonObject> display(AutomationContext& ctx, const QJsonObject& c) {
    const auto item = ctx.requireItem(c);
    if (!item) {
        return item.error();
    }
    if (Status s = (*item)->Display(); !s) {
        return s.error();
    }
    QJsonObject reply = idReply(ctx, *item);
    reply.insert(QStringLiteral("displayed"), (*item)->displayedInspector() != nullptr);
    return reply;
}

Result<QJsonObject> close(AutomationContext& ctx, const QJsonObject& c) {
    const auto item = ctx.requireItem(c);
    if (!item) {
        return item.error();
    }
    const Result<host::SaveMode> mode = saveModeOf(c);
    if (!mode) {
        return mode.error();
    }
    if (Status s = (*item)->GetInspector()->Close(*mode); !s) {
        tellSaveFailure(ctx.boxes, s.error());
        return s.error();
    }
    return idReply(ctx, *item);
}

Result<QJsonObject> find(AutomationContext& ctx, const QJsonObject& c) {
    const auto folder = ctx.requireFolder(c);
    if (!folder) {
        return folder.error();
    }
    const Result<QString> filter = ctx.requireText(c, QStringLiteral("filter"));
    if (!filter) {
        return filter.error();
    }
    const auto item = (*folder)->Items()->Find(*filter);
    if (!item) {
        return item.error();
    }
    return QJsonObject{{QStringLiteral("id"),
                        *item ? QJsonValue(ctx.handleOf(*item)) : QJsonValue(QJsonValue::Null)}};
}

Result<QJsonObject> dump(AutomationContext& ctx, const QJsonObject& c) {
    const auto item = ctx.requireItem(c);
    if (!item) {
        return item.error();
    }
    QJsonObject properties;
    for (const QString& name : (*item)->userPropertyNames() + builtInFields()) {
        const Result<Variant> value = (*item)->userProperty(name);
        if (!value) {
            return value.error();
        }
        properties.insert(name, variantToJson(*value));
    }
    const auto parent = (*item)->Parent();
    QJsonObject reply = idReply(ctx, *item);
    reply.insert(QStringLiteral("entryId"), static_cast<qint64>((*item)->entryId()));
    reply.insert(QStringLiteral("messageClass"), (*item)->MessageClass());
    reply.insert(QStringLiteral("class"), (*item)->Class());
    reply.insert(QStringLiteral("folder"), parent ? pathOf(ctx.nameSpace(), *parent) : QString());
    reply.insert(QStringLiteral("saved"), (*item)->Saved());
    reply.insert(QStringLiteral("displayed"), (*item)->displayedInspector() != nullptr);
    reply.insert(QStringLiteral("properties"), properties);
    return reply;
}

Result<QJsonObject> form(AutomationContext& ctx, const QJsonObject& c) {
    const auto item = ctx.requireItem(c);
    if (!item) {
        return item.error();
    }
    QJsonArray pages;
    for (const auto& page : (*item)->formPages()) {
        QJsonArray controls;
        for (const auto& control : page->controls()) {
            controls.append(controlJson(*control));
        }
        pages.append(QJsonObject{{QStringLiteral("name"), page->Name()},
                                 {QStringLiteral("controls"), controls}});
    }
    QJsonObject reply = idReply(ctx, *item);
    reply.insert(QStringLiteral("pages"), pages);
    return reply;
}

Result<QJsonObject> items(AutomationContext& ctx, const QJsonObject& c) {
    const auto folder = ctx.requireFolder(c);
    if (!folder) {
        return folder.error();
    }
    QStringList columns;
    for (const QJsonValue& v : c.value(QStringLiteral("columns")).toArray()) {
        columns << v.toString();
    }
    const int offset = std::max(0, c.value(QStringLiteral("offset")).toInt(0));
    const qsizetype limit = c.value(QStringLiteral("limit")).toInteger(50);
    const auto items = (*folder)->Items();
    ORLO_TRY_ASSIGN(const int total, items->Count());
    QJsonArray rows;
    for (int index = offset + 1; index <= total && rows.size() < limit; ++index) {
        const auto item = items->Item(index);
        if (!item) {
            return item.error();
        }
        QJsonObject row{{QStringLiteral("id"), QString::number((*item)->entryId())}};
        if (!columns.isEmpty()) {
            QJsonObject values;
            for (const QString& name : columns) {
                const std::optional<Variant> value = (*item)->storedValue(name);
                values.insert(name, value ? variantToJson(*value) : QJsonValue(QJsonValue::Null));
            }
            row.insert(QStringLiteral("values"), values);
        }
        rows.append(row);
    }
    return QJsonObject{{QStringLiteral("total"), total}, {QStringLiteral("items"), rows}};
}

}  // namespace orlo::desk::commands
