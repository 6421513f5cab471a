#include "app/AutomationCommands.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "app/CommandPath.h"
#include "app/DeskSession.h"
#include "app/FolderPaths.h"
#include "app/JsonValues.h"
#include "app/WindowControl.h"
#include "host/Application.h"
#include "host/BuiltInFields.h"
#include "host/Explorer.h"
#include "host/Explorers.h"
#include "host/Folders.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/StoreSession.h"
#include "host/commandbars/CommandBars.h"
#include "host/forms/FormPage.h"
#include "platform/ui/MessageBox.h"

namespace orlo::desk {

namespace {

using host::err::hostError;

const QString kOk = QStringLiteral("ok");

Error badCommand(const QString& why) {
    return hostError(host::err::kInvalidArgument, why);
}

Result<QString> textField(const QJsonObject& c, const QString& name) {
    const QJsonValue v = c.value(name);
    if (!v.isString() || v.toString().isEmpty()) {
        return badCommand(QStringLiteral("The command needs \"%1\" (a text).").arg(name));
    }
    return v.toString();
}

QJsonObject errorReply(const Error& e) {
    return QJsonObject{{kOk, false},
                       {QStringLiteral("error"),
                        QJsonObject{{QStringLiteral("number"), static_cast<qint64>(e.number)},
                                    {QStringLiteral("description"), e.description}}}};
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

}  // namespace

AutomationCommands::AutomationCommands(DeskSession& session, ScriptedMessageBoxes& boxes,
                                       WindowControl& windows)
    : m_session(session), m_boxes(boxes), m_windows(windows) {
    const auto bind = [this](Result<QJsonObject> (AutomationCommands::*f)(const QJsonObject&)) {
        return [this, f](const QJsonObject& c) { return (this->*f)(c); };
    };
    m_handlers = {
        {QStringLiteral("create"), bind(&AutomationCommands::create)},
        {QStringLiteral("set"), bind(&AutomationCommands::set)},
        {QStringLiteral("save"), bind(&AutomationCommands::save)},
        {QStringLiteral("display"), bind(&AutomationCommands::display)},
        {QStringLiteral("close"), bind(&AutomationCommands::close)},
        {QStringLiteral("delete"), bind(&AutomationCommands::remove)},
        {QStringLiteral("find"), bind(&AutomationCommands::find)},
        {QStringLiteral("dump"), bind(&AutomationCommands::dump)},
        {QStringLiteral("form"), bind(&AutomationCommands::form)},
        {QStringLiteral("switchFolder"), bind(&AutomationCommands::switchFolder)},
        {QStringLiteral("folders"), bind(&AutomationCommands::folders)},
        {QStringLiteral("items"), bind(&AutomationCommands::items)},
        {QStringLiteral("menu"), bind(&AutomationCommands::menu)},
        {QStringLiteral("click"), bind(&AutomationCommands::click)},
        {QStringLiteral("answer"), bind(&AutomationCommands::answer)},
        {QStringLiteral("messageBoxes"), bind(&AutomationCommands::messageBoxes)},
        {QStringLiteral("state"), bind(&AutomationCommands::state)},
        {QStringLiteral("screenshot"), bind(&AutomationCommands::screenshot)},
        {QStringLiteral("windows"), bind(&AutomationCommands::windows)},
        {QStringLiteral("closeWindow"), bind(&AutomationCommands::closeWindow)},
        {QStringLiteral("call"), bind(&AutomationCommands::call)},
        {QStringLiteral("closeMain"), bind(&AutomationCommands::closeMain)},
        {QStringLiteral("quit"), bind(&AutomationCommands::quit)},
    };
}

AutomationCommands::~AutomationCommands() = default;

QByteArray AutomationCommands::handleLine(const QByteArray& line) {
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(line, &parseError);
    QJsonObject reply;
    if (parseError.error != QJsonParseError::NoError) {
        reply = errorReply(badCommand(QStringLiteral("Bad JSON: %1 at offset %2.")
                                          .arg(parseError.errorString())
                                          .arg(parseError.offset)));
    } else if (!doc.isObject()) {
        reply = errorReply(badCommand(QStringLiteral("A command is one JSON object.")));
    } else {
        reply = run(doc.object());
    }
    return QJsonDocument(reply).toJson(QJsonDocument::Compact);
}

bool AutomationCommands::runsInsideModal(const QByteArray& line) const {
    static const QStringList kInsideModal = {
        QStringLiteral("windows"), QStringLiteral("screenshot"),   QStringLiteral("closeWindow"),
        QStringLiteral("answer"),  QStringLiteral("messageBoxes"), QStringLiteral("state")};
    const QJsonDocument doc = QJsonDocument::fromJson(line);
    return kInsideModal.contains(doc.object().value(QStringLiteral("cmd")).toString());
}

QJsonObject AutomationCommands::run(const QJsonObject& command) {
    const QString name = command.value(QStringLiteral("cmd")).toString();
    const auto it = m_handlers.find(name);
    if (it == m_handlers.end()) {
        return errorReply(badCommand(QStringLiteral("Unknown command \"%1\".").arg(name)));
    }
    Result<QJsonObject> result = it->second(command);
    if (m_windows.mainWindowOpen() || name != u"quit") {
        m_windows.refresh();
    }
    if (!result) {
        return errorReply(result.error());
    }
    QJsonObject reply = std::move(result).value();
    reply.insert(kOk, true);
    return reply;
}

QString AutomationCommands::handleOf(const std::shared_ptr<host::Item>& item) {
    if (item->entryId() != 0) {
        const QString handle = QString::number(item->entryId());
        m_items[handle] = item;
        return handle;
    }
    for (const auto& [handle, known] : m_items) {
        if (known == item) {
            return handle;
        }
    }
    const QString handle = QStringLiteral("new%1").arg(++m_newCount);
    m_items[handle] = item;
    return handle;
}

Result<std::shared_ptr<host::Item>> AutomationCommands::itemOf(const QJsonObject& c) {
    const QJsonValue v = c.value(QStringLiteral("id"));
    const QString handle = v.isDouble() ? QString::number(v.toInteger()) : v.toString();
    if (handle.isEmpty()) {
        return badCommand(QStringLiteral("The command needs the item's \"id\"."));
    }
    if (const auto it = m_items.find(handle); it != m_items.end()) {
        return it->second;
    }
    bool numeric = false;
    const host::ItemId id = handle.toLongLong(&numeric);
    if (numeric) {
        const auto tops = m_session.nameSpace()->Folders();
        for (const auto& top : *tops) {
            if (auto item = top->session()->itemObject(id); item && *item) {
                m_items[handle] = *item;
                return *item;
            }
        }
    }
    return hostError(host::err::kObjectNotFound,
                     QStringLiteral("There is no item \"%1\".").arg(handle));
}

Result<QJsonObject> AutomationCommands::create(const QJsonObject& c) {
    const Result<QString> path = textField(c, QStringLiteral("folder"));
    if (!path) {
        return path.error();
    }
    const auto folder = folderAt(*m_session.nameSpace(), *path);
    if (!folder) {
        return folder.error();
    }
    const auto item = (*folder)->Items()->Add(c.value(QStringLiteral("messageClass")).toString());
    if (!item) {
        return item.error();
    }
    const QString handle = handleOf(*item);
    QJsonObject rest = c;
    rest.insert(QStringLiteral("id"), handle);
    if (c.contains(QStringLiteral("properties")) || c.contains(QStringLiteral("controls"))) {
        if (auto s = set(rest); !s) {
            return s.error();
        }
    }
    if (c.value(QStringLiteral("save")).toBool()) {
        return save(rest);
    }
    return QJsonObject{{QStringLiteral("id"), handle}};
}

Result<QJsonObject> AutomationCommands::set(const QJsonObject& c) {
    const auto item = itemOf(c);
    if (!item) {
        return item.error();
    }
    const QJsonObject properties = c.value(QStringLiteral("properties")).toObject();
    for (auto it = properties.begin(); it != properties.end(); ++it) {
        const Result<Variant> value = jsonToVariant(it.value());
        if (!value) {
            return value.error();
        }
        Status s = (*item)->setUserProperty(it.key(), *value);
        if (!s && s.error().number == host::err::kPropertyNotFound) {
            // A property the item lacks is added first, as UserProperties.Add does.
            s = (*item)->addUserProperty(it.key());
            if (s) {
                s = (*item)->setUserProperty(it.key(), *value);
            }
        }
        if (!s) {
            return s.error();
        }
    }
    for (const QJsonValue& entry : c.value(QStringLiteral("controls")).toArray()) {
        const QJsonObject o = entry.toObject();
        const auto page = (*item)->formPage(o.value(QStringLiteral("page")).toString());
        if (!page) {
            return page.error();
        }
        const auto control = (*page)->Controls(o.value(QStringLiteral("control")).toString());
        if (!control) {
            return control.error();
        }
        const Result<Variant> value = jsonToVariant(o.value(QStringLiteral("value")));
        if (!value) {
            return value.error();
        }
        if (Status s = (*control)->setValue(*value); !s) {
            return s.error();
        }
    }
    return QJsonObject{{QStringLiteral("id"), handleOf(*item)}};
}

Result<QJsonObject> AutomationCommands::save(const QJsonObject& c) {
    const auto item = itemOf(c);
    if (!item) {
        return item.error();
    }
    if (Status s = (*item)->Save(); !s) {
        return s.error();
    }
    return QJsonObject{{QStringLiteral("id"), handleOf(*item)}};
}

Result<QJsonObject> AutomationCommands::display(const QJsonObject& c) {
    const auto item = itemOf(c);
    if (!item) {
        return item.error();
    }
    if (Status s = (*item)->Display(); !s) {
        return s.error();
    }
    return QJsonObject{{QStringLiteral("id"), handleOf(*item)},
                       {QStringLiteral("displayed"), (*item)->displayedInspector() != nullptr}};
}

Result<QJsonObject> AutomationCommands::close(const QJsonObject& c) {
    const auto item = itemOf(c);
    if (!item) {
        return item.error();
    }
    const Result<host::SaveMode> mode = saveModeOf(c);
    if (!mode) {
        return mode.error();
    }
    if (Status s = (*item)->GetInspector()->Close(*mode); !s) {
        return s.error();
    }
    return QJsonObject{{QStringLiteral("id"), handleOf(*item)}};
}

Result<QJsonObject> AutomationCommands::remove(const QJsonObject& c) {
    const auto item = itemOf(c);
    if (!item) {
        return item.error();
    }
    const QString handle = handleOf(*item);
    if (Status s = (*item)->Delete(); !s) {
        return s.error();
    }
    return QJsonObject{{QStringLiteral("id"), handle},
                       {QStringLiteral("deleted"), (*item)->isDeleted()}};
}

Result<QJsonObject> AutomationCommands::find(const QJsonObject& c) {
    const Result<QString> path = textField(c, QStringLiteral("folder"));
    if (!path) {
        return path.error();
    }
    const Result<QString> filter = textField(c, QStringLiteral("filter"));
    if (!filter) {
        return filter.error();
    }
    const auto folder = folderAt(*m_session.nameSpace(), *path);
    if (!folder) {
        return folder.error();
    }
    const auto item = (*folder)->Items()->Find(*filter);
    if (!item) {
        return item.error();
    }
    return QJsonObject{
        {QStringLiteral("id"), *item ? QJsonValue(handleOf(*item)) : QJsonValue(QJsonValue::Null)}};
}

Result<QJsonObject> AutomationCommands::dump(const QJsonObject& c) {
    const auto item = itemOf(c);
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
    return QJsonObject{
        {QStringLiteral("id"), handleOf(*item)},
        {QStringLiteral("entryId"), static_cast<qint64>((*item)->entryId())},
        {QStringLiteral("messageClass"), (*item)->MessageClass()},
        {QStringLiteral("class"), (*item)->Class()},
        {QStringLiteral("folder"), parent ? pathOf(*m_session.nameSpace(), *parent) : QString()},
        {QStringLiteral("saved"), (*item)->Saved()},
        {QStringLiteral("displayed"), (*item)->displayedInspector() != nullptr},
        {QStringLiteral("properties"), properties}};
}

Result<QJsonObject> AutomationCommands::form(const QJsonObject& c) {
    const auto item = itemOf(c);
    if (!item) {
        return item.error();
    }
    QJsonArray pages;
    for (const auto& page : (*item)->formPages()) {
        QJsonArray controls;
        for (const auto& control : page->controls()) {
            const host::Rgb colour = control->ForeColor();
            const Result<Variant> value = control->Value();
            controls.append(QJsonObject{
                {QStringLiteral("name"), control->Name()},
                {QStringLiteral("kind"), control->kind() == host::ControlKind::Label
                                             ? QStringLiteral("label")
                                             : QStringLiteral("textbox")},
                {QStringLiteral("bound"), control->boundProperty()},
                {QStringLiteral("caption"), control->Caption()},
                {QStringLiteral("value"),
                 value ? variantToJson(value.value()) : QJsonValue(QJsonValue::Null)},
                {QStringLiteral("foreColor"), QJsonArray{colour.red, colour.green, colour.blue}}});
        }
        pages.append(QJsonObject{{QStringLiteral("name"), page->Name()},
                                 {QStringLiteral("controls"), controls}});
    }
    return QJsonObject{{QStringLiteral("id"), handleOf(*item)}, {QStringLiteral("pages"), pages}};
}

Result<QJsonObject> AutomationCommands::switchFolder(const QJsonObject& c) {
    const Result<QString> path = textField(c, QStringLiteral("folder"));
    if (!path) {
        return path.error();
    }
    const auto folder = folderAt(*m_session.nameSpace(), *path);
    if (!folder) {
        return folder.error();
    }
    const auto explorer = m_session.application()->ActiveExplorer();
    if (!explorer) {
        return hostError(host::err::kObjectNotAvailable,
                         QStringLiteral("The main window is closed."));
    }
    if (Status s = explorer->SelectFolder(*folder); !s) {
        return s.error();
    }
    return QJsonObject{{QStringLiteral("folder"), pathOf(*m_session.nameSpace(), **folder)}};
}

Result<QJsonObject> AutomationCommands::folders(const QJsonObject&) {
    QJsonArray list;
    for (const FolderEntry& e : allFolders(*m_session.nameSpace())) {
        ORLO_TRY_ASSIGN(const int count, e.folder->Items()->Count());
        list.append(QJsonObject{{QStringLiteral("path"), e.path},
                                {QStringLiteral("messageClass"), e.folder->DefaultMessageClass()},
                                {QStringLiteral("count"), count}});
    }
    return QJsonObject{{QStringLiteral("folders"), list}};
}

Result<QJsonObject> AutomationCommands::items(const QJsonObject& c) {
    const Result<QString> path = textField(c, QStringLiteral("folder"));
    if (!path) {
        return path.error();
    }
    const auto folder = folderAt(*m_session.nameSpace(), *path);
    if (!folder) {
        return folder.error();
    }
    const Result<host::StoreFile*> file = (*folder)->session()->file();
    if (!file) {
        return file.error();
    }
    QStringList columns;
    for (const QJsonValue& v : c.value(QStringLiteral("columns")).toArray()) {
        columns << v.toString();
    }
    const qsizetype offset = c.value(QStringLiteral("offset")).toInteger(0);
    const qsizetype limit = c.value(QStringLiteral("limit")).toInteger(50);
    ORLO_TRY_ASSIGN(const std::vector<host::ItemId> ids, (*file)->itemIds((*folder)->id()));
    QJsonArray rows;
    for (qsizetype i = std::max<qsizetype>(offset, 0);
         i < static_cast<qsizetype>(ids.size()) && rows.size() < limit; ++i) {
        const host::ItemId id = ids[static_cast<std::size_t>(i)];
        QJsonObject row{{QStringLiteral("id"), QString::number(id)}};
        if (!columns.isEmpty()) {
            ORLO_TRY_ASSIGN(const host::ItemRecord record, (*file)->load(id, columns));
            const host::PropertyMap& props = record.properties;
            QJsonObject values;
            for (const QString& name : columns) {
                const auto it = props.find(name);
                values.insert(name, it != props.end() ? variantToJson(it->second)
                                                      : QJsonValue(QJsonValue::Null));
            }
            row.insert(QStringLiteral("values"), values);
        }
        rows.append(row);
    }
    return QJsonObject{{QStringLiteral("total"), static_cast<qint64>(ids.size())},
                       {QStringLiteral("items"), rows}};
}

namespace {

// The command bars of the main window, or of an item's window when the
// command names an item.
Result<std::shared_ptr<host::CommandBar>> barOf(const std::shared_ptr<host::CommandBars>& bars,
                                                const QJsonObject& c) {
    if (!bars) {
        return hostError(host::err::kObjectNotAvailable,
                         QStringLiteral("The main window is closed."));
    }
    return bars->Item(
        c.value(QStringLiteral("bar")).toString(QString::fromUtf16(host::CommandBars::kMenuBar)));
}

}  // namespace

Result<QJsonObject> AutomationCommands::menu(const QJsonObject& c) {
    std::shared_ptr<host::CommandBars> bars;
    if (c.contains(QStringLiteral("id"))) {
        const auto item = itemOf(c);
        if (!item) {
            return item.error();
        }
        bars = (*item)->GetInspector()->CommandBars();
    } else if (const auto explorer = m_session.application()->ActiveExplorer()) {
        bars = explorer->CommandBars();
    }
    const auto bar = barOf(bars, c);
    if (!bar) {
        return bar.error();
    }
    return QJsonObject{{QStringLiteral("controls"), describeControls(**bar)}};
}

Result<QJsonObject> AutomationCommands::click(const QJsonObject& c) {
    std::shared_ptr<host::CommandBars> bars;
    if (c.contains(QStringLiteral("id"))) {
        const auto item = itemOf(c);
        if (!item) {
            return item.error();
        }
        bars = (*item)->GetInspector()->CommandBars();
    } else if (const auto explorer = m_session.application()->ActiveExplorer()) {
        bars = explorer->CommandBars();
    }
    const auto bar = barOf(bars, c);
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

Result<QJsonObject> AutomationCommands::answer(const QJsonObject& c) {
    const QJsonArray answers = c.value(QStringLiteral("answers")).toArray();
    std::vector<MsgAnswer> parsed;
    for (const QJsonValue& v : answers) {
        const auto a = answerFromJson(v);
        if (!a) {
            return a.error();
        }
        parsed.push_back(*a);
    }
    for (MsgAnswer a : parsed) {
        m_boxes.queueAnswer(a);
    }
    return QJsonObject{{QStringLiteral("queued"), static_cast<int>(parsed.size())}};
}

Result<QJsonObject> AutomationCommands::messageBoxes(const QJsonObject& c) {
    QJsonArray boxes;
    for (const MessageBoxRequest& r : m_boxes.shown()) {
        boxes.append(messageBoxToJson(r));
    }
    if (c.value(QStringLiteral("clear")).toBool()) {
        m_boxes.clear();
    }
    return QJsonObject{{QStringLiteral("boxes"), boxes}};
}

Result<QJsonObject> AutomationCommands::state(const QJsonObject&) {
    const auto& app = m_session.application();
    const auto explorer = app->ActiveExplorer();
    const auto current = explorer ? explorer->CurrentFolder() : nullptr;
    QJsonArray addins;
    if (const AddinHost* host = m_session.addinHost()) {
        for (const AddinEntry& a : host->addins()) {
            addins.append(QJsonObject{{QStringLiteral("progId"), a.progId},
                                      {QStringLiteral("connected"), a.connected},
                                      {QStringLiteral("problem"), a.problem}});
        }
    }
    return QJsonObject{
        {QStringLiteral("explorers"), app->Explorers()->Count()},
        {QStringLiteral("inspectors"), app->Inspectors()->Count()},
        {QStringLiteral("mainWindow"), m_windows.mainWindowOpen()},
        {QStringLiteral("folder"), current ? pathOf(*m_session.nameSpace(), *current) : QString()},
        {QStringLiteral("stores"),
         QJsonArray::fromStringList(m_session.nameSpace()->profileStores())},
        {QStringLiteral("addins"), addins}};
}

Result<QJsonObject> AutomationCommands::screenshot(const QJsonObject& c) {
    const Result<QString> file = textField(c, QStringLiteral("file"));
    if (!file) {
        return file.error();
    }
    if (c.contains(QStringLiteral("window"))) {
        const Result<QString> window = textField(c, QStringLiteral("window"));
        if (!window) {
            return window.error();
        }
        if (Status s = m_windows.screenshotWindow(*window, *file); !s) {
            return s.error();
        }
        return QJsonObject{{QStringLiteral("file"), *file}};
    }
    std::shared_ptr<host::Item> item;
    if (c.contains(QStringLiteral("id"))) {
        const auto found = itemOf(c);
        if (!found) {
            return found.error();
        }
        item = *found;
    }
    if (Status s = m_windows.screenshot(item, *file); !s) {
        return s.error();
    }
    return QJsonObject{{QStringLiteral("file"), *file}};
}

Result<QJsonObject> AutomationCommands::windows(const QJsonObject&) {
    QJsonArray out;
    for (const WindowControl::OtherWindow& w : m_windows.otherWindows()) {
        out.append(QJsonObject{{QStringLiteral("title"), w.title},
                               {QStringLiteral("name"), w.name},
                               {QStringLiteral("modal"), w.modal}});
    }
    return QJsonObject{{QStringLiteral("windows"), out}};
}

Result<QJsonObject> AutomationCommands::closeWindow(const QJsonObject& c) {
    const Result<QString> window = textField(c, QStringLiteral("window"));
    if (!window) {
        return window.error();
    }
    if (Status s = m_windows.closeWindow(*window); !s) {
        return s.error();
    }
    return QJsonObject{};
}

Result<QJsonObject> AutomationCommands::call(const QJsonObject& c) {
    const Result<QString> addin = textField(c, QStringLiteral("addin"));
    if (!addin) {
        return addin.error();
    }
    const Result<QString> method = textField(c, QStringLiteral("method"));
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
    AddinHost* addins = m_session.addinHost();
    if (addins == nullptr) {
        return hostError(host::err::kObjectNotAvailable,
                         QStringLiteral("The desk has no add-ins."));
    }
    const Result<Variant> result = addins->call(*addin, *method, args);
    if (!result) {
        return result.error();
    }
    return QJsonObject{{QStringLiteral("result"), variantToJson(*result)}};
}

Result<QJsonObject> AutomationCommands::closeMain(const QJsonObject&) {
    m_windows.closeMainWindow();
    return QJsonObject{};
}

Result<QJsonObject> AutomationCommands::quit(const QJsonObject&) {
    m_items.clear();
    m_windows.quit();
    return QJsonObject{};
}

}  // namespace orlo::desk
