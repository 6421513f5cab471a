#include "host/Item.h"

#include "host/Application.h"
#include "host/BuiltInFields.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/ItemClass.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/StoreSession.h"
#include "host/UserProperties.h"
#include "host/forms/FormPage.h"
#include "host/store/StoreHeader.h"
#include "platform/core/ErrorTrap.h"

namespace orlo::host {

namespace {

Error propertyNotFound(const QString& name) {
    return err::hostError(err::kPropertyNotFound,
                          QStringLiteral("The item has no property \"%1\".").arg(name));
}

Error deletedError() {
    return err::hostError(err::kItemDeleted, QStringLiteral("The item has been moved or deleted."));
}

Error cancelled(const QString& what) {
    return err::hostError(err::kOperationCancelled,
                          QStringLiteral("%1 was cancelled by an event handler.").arg(what));
}

}  // namespace

Item::Item(Init init)
    : m_session(std::move(init.session)),
      m_folder(init.folder),
      m_id(init.id),
      m_messageClass(std::move(init.messageClass)),
      m_props(std::move(init.properties)),
      m_columns(std::move(init.columns)) {}

Item::~Item() {
    if (m_id != 0 && m_session) {
        m_session->forgetItem(m_id);
    }
}

Status Item::checkUsable() const {
    if (m_deleted) {
        return deletedError();
    }
    return okStatus();
}

Status Item::ensureFull() const {
    if (!m_columns) {
        return okStatus();
    }
    ORLO_TRY_ASSIGN(StoreFile* const f, m_session->file());
    ORLO_TRY_ASSIGN(ItemRecord record, f->load(m_id));
    m_messageClass = std::move(record.messageClass);
    m_props = std::move(record.properties);
    m_columns.reset();
    return okStatus();
}

Status Item::ensureLoaded(const QString& name) const {
    if (!m_columns || m_columns->contains(name)) {
        return okStatus();
    }
    // An item met on a walk reads what it is asked for, one property at a
    // time, so that walking a folder for one value never loads whole items.
    ORLO_TRY_ASSIGN(StoreFile* const f, m_session->file());
    ORLO_TRY_ASSIGN(ItemRecord record, f->load(m_id, QStringList{name}));
    m_messageClass = std::move(record.messageClass);
    for (auto& [key, value] : record.properties) {
        m_props[key] = std::move(value);
    }
    m_columns->append(name);
    return okStatus();
}

const FormDefinition* Item::form() const {
    return m_session->services().forms.find(MessageClass());
}

const Locale& Item::locale() const {
    return m_session->services().locale;
}

int Item::Class() const {
    return itemClassOf(MessageClass());
}

QString Item::MessageClass() const {
    if (m_messageClass.isEmpty()) {
        ignoreError(ensureFull(), "a getter answers with what could be read");
    }
    return m_messageClass;
}

std::shared_ptr<MAPIFolder> Item::Parent() const {
    const Result<StoreFile*> f = m_session->file();
    if (!f) {
        return nullptr;
    }
    const Result<FolderInfo> info = (*f)->folder(m_folder);
    return info ? m_session->folderObject(*info) : nullptr;
}

std::shared_ptr<UserProperties> Item::UserProperties() {
    return std::make_shared<::orlo::host::UserProperties>(shared_from_this());
}

Result<Variant> Item::userProperty(const QString& name) const {
    ORLO_TRY(ensureLoaded(name));
    const auto it = m_props.find(name);
    if (it != m_props.end()) {
        return it->second;
    }
    if (isBuiltInField(name)) {
        return Variant();
    }
    return propertyNotFound(name);
}

QString Item::propertyText(const QString& name) const {
    const Result<Variant> v = userProperty(name);
    return v.ok() ? v.value().text(locale()) : QString();
}

std::optional<Variant> Item::storedValue(const QString& name) const {
    if (!ensureLoaded(name)) {
        return std::nullopt;
    }
    const auto it = m_props.find(name);
    return it == m_props.end() ? std::nullopt : std::optional<Variant>(it->second);
}

bool Item::hasProperty(const QString& name) const {
    if (isBuiltInField(name)) {
        return true;
    }
    ignoreError(ensureLoaded(name), "a property that cannot be read is not there");
    return m_props.count(name) != 0;
}

QStringList Item::userPropertyNames() const {
    ignoreError(ensureFull(), "the names that could be read are the answer");
    QStringList names;
    for (const auto& [name, value] : m_props) {
        if (!isBuiltInField(name)) {
            names << name;
        }
    }
    return names;
}

Status Item::setUserProperty(const QString& name, const Variant& value) {
    ORLO_TRY(checkUsable());
    ORLO_TRY(ensureFull());
    if (!isBuiltInField(name) && m_props.count(name) == 0) {
        return propertyNotFound(name);
    }
    return assign(name, value);
}

Status Item::addUserProperty(const QString& name) {
    ORLO_TRY(checkUsable());
    ORLO_TRY(ensureFull());
    if (!isBuiltInField(name) && m_props.count(name) == 0) {
        m_props.emplace(name, Variant(QString()));
        m_dirty = true;
    }
    return okStatus();
}

Result<Variant> Item::boundValue(const QString& name) const {
    ORLO_TRY(ensureLoaded(name));
    const auto it = m_props.find(name);
    return it == m_props.end() ? Variant() : it->second;
}

Status Item::setBoundValue(const QString& name, const Variant& value) {
    ORLO_TRY(checkUsable());
    ORLO_TRY(ensureFull());
    return assign(name, value);
}

Result<Variant> Item::coerce(const QString& name, const Variant& value) const {
    // Built-in fields keep their own types, as the desk's fields do: the
    // dates take date texts in the workstation's forms (values travel as
    // text), the two text fields take any value as its text.
    if (isDateField(name)) {
        if (value.asDate() != nullptr || value.isEmpty() || value.isNull()) {
            return value;
        }
        const QString text = value.text(locale()).trimmed();
        if (text.isEmpty()) {
            return Variant();
        }
        if (const auto date = locale().parseDateTime(text)) {
            return Variant(*date);
        }
        return err::hostError(
            err::kTypeMismatch,
            QStringLiteral("Type mismatch: \"%1\" is no date for \"%2\".").arg(text, name));
    }
    if (isBuiltInField(name)) {
        return Variant(value.text(locale()));
    }
    return value;
}

Status Item::assign(const QString& name, const Variant& value) {
    // The one place a property changes: it is marked unsaved, the item's
    // handlers hear of it, then the form derives what depends on it.
    ORLO_TRY_ASSIGN(Variant stored, coerce(name, value));
    m_props[name] = std::move(stored);
    m_dirty = true;
    // Keep this item alive even if a handler drops the last other reference.
    const auto self = shared_from_this();
    if (isBuiltInField(name)) {
        events.PropertyChange.raise(name);
    } else {
        events.CustomPropertyChange.raise(name);
    }
    if (const FormDefinition* f = form()) {
        f->propertyChanged(*this, name);
    }
    return okStatus();
}

Status Item::Save() {
    ORLO_TRY(checkUsable());
    if (m_saving) {
        // Save called from a Write handler of this very save: the outer save
        // stores everything once the handlers are done.
        return okStatus();
    }
    ORLO_TRY_ASSIGN(StoreFile* const f, m_session->file());
    ORLO_TRY(ensureFull());
    // A store that cannot take the item refuses the save before Write: the
    // handlers would otherwise write the shared database for an item that
    // is then not stored. The item keeps its values, unsaved.
    ORLO_TRY(StoreHeader::checkWritable(f->path()));
    const auto self = shared_from_this();
    m_saving = true;
    const QDateTime now = m_session->services().clock.now();
    const QString created = QString::fromUtf16(kCreatedField);
    if (m_id == 0 || m_props[created].isBlank()) {
        m_props[created] = Variant(now);
    }
    m_props[QString::fromUtf16(kModifiedField)] = Variant(now);
    const FormDefinition* rules = form();
    if (rules) {
        rules->applySaveRules(*this);
    }
    bool cancel = false;
    events.Write.raise(cancel);
    if (!cancel && !m_deleted && rules) {
        rules->applySaveRules(*this);
    }
    m_saving = false;
    if (m_deleted) {
        return deletedError();
    }
    if (cancel) {
        return cancelled(QStringLiteral("The save"));
    }
    return store();
}

Status Item::store() {
    ORLO_TRY_ASSIGN(StoreFile* const f, m_session->file());
    const bool added = m_id == 0;
    if (added) {
        ORLO_TRY_ASSIGN(const ItemId id, f->insert(m_folder, m_messageClass, m_props));
        m_id = id;
        m_session->registerItem(shared_from_this());
    } else {
        ORLO_TRY(f->update(m_id, m_props));
    }
    m_dirty = false;
    if (const auto folder = m_session->liveFolder(m_folder)) {
        Items::Events& e = folder->itemEvents();
        (added ? e.ItemAdd : e.ItemChange).raise(shared_from_this());
    }
    return okStatus();
}

Status Item::Delete() {
    ORLO_TRY(checkUsable());
    const auto self = shared_from_this();
    bool cancel = false;
    events.BeforeDelete.raise(self, cancel);
    if (m_deleted) {
        return okStatus();  // a handler deleted it already
    }
    if (cancel) {
        return cancelled(QStringLiteral("The deletion"));
    }
    if (m_id != 0) {
        ORLO_TRY_ASSIGN(StoreFile* const f, m_session->file());
        ORLO_TRY(f->remove(m_id));
        m_session->dropItem(m_id);
    }
    m_deleted = true;
    if (const auto folder = m_id != 0 ? m_session->liveFolder(m_folder) : nullptr) {
        folder->itemEvents().ItemRemove.raise(m_id);
    }
    return closeInspector();
}

std::shared_ptr<Inspector> Item::GetInspector() {
    if (!m_inspector) {
        m_inspector = std::make_shared<Inspector>(shared_from_this());
    }
    return m_inspector;
}

std::shared_ptr<Inspector> Item::displayedInspector() const {
    return m_inspector && m_inspector->isDisplayed() ? m_inspector : nullptr;
}

Status Item::Display() {
    ORLO_TRY(checkUsable());
    const auto app = m_session->application();
    if (!app) {
        return err::hostError(err::kObjectNotAvailable,
                              QStringLiteral("The desk application has been closed."));
    }
    const auto self = shared_from_this();
    const auto inspector = GetInspector();
    if (inspector->isDisplayed()) {
        inspector->Activate();
        return okStatus();
    }
    app->Inspectors()->open(inspector);
    bool cancel = false;
    events.Open.raise(cancel);
    if (cancel || m_deleted) {
        // An Open handler refused the item, or deleted it (a row gone from
        // the database): its window closes again.
        ignoreError(closeInspector(), "the Open handler's refusal is what the caller hears");
        return cancel ? Status(cancelled(QStringLiteral("Opening the item"))) : okStatus();
    }
    return okStatus();
}

Status Item::Close(SaveMode mode) {
    ORLO_TRY(checkUsable());
    const auto self = shared_from_this();
    bool cancel = false;
    events.Close.raise(cancel);
    if (cancel) {
        return cancelled(QStringLiteral("Closing the item"));
    }
    if (m_deleted) {
        return okStatus();
    }
    if (mode == SaveMode::Discard) {
        revert();
    } else if (m_dirty || m_id == 0) {
        ORLO_TRY(Save());
    }
    return closeInspector();
}

Status Item::closeInspector() {
    if (const auto inspector = displayedInspector()) {
        inspector->closeWindow();
    }
    return okStatus();
}

void Item::revert() {
    if (m_id == 0) {
        return;
    }
    const Result<StoreFile*> f = m_session->file();
    if (!f) {
        return;
    }
    Result<ItemRecord> record = (*f)->load(m_id);
    if (record) {
        m_props = std::move(record.value().properties);
        m_columns.reset();
        m_dirty = false;
    }
}

const std::vector<std::shared_ptr<FormPage>>& Item::formPages() {
    if (!m_pagesBuilt) {
        m_pagesBuilt = true;
        if (const FormDefinition* f = form()) {
            const std::weak_ptr<Item> self = weak_from_this();
            for (const PageSpec& page : f->pages()) {
                std::vector<std::shared_ptr<FormControl>> controls;
                controls.reserve(page.controls.size());
                for (const ControlSpec& c : page.controls) {
                    controls.push_back(
                        std::make_shared<FormControl>(c.name, c.kind, c.boundProperty, self));
                }
                m_pages.push_back(std::make_shared<FormPage>(page.name, std::move(controls)));
            }
        }
    }
    return m_pages;
}

Result<std::shared_ptr<FormPage>> Item::formPage(const QString& name) {
    for (const auto& page : formPages()) {
        if (page->Name().compare(name, Qt::CaseInsensitive) == 0) {
            return page;
        }
    }
    return err::hostError(err::kControlNotFound,
                          QStringLiteral("The item's form has no page \"%1\".").arg(name));
}

}  // namespace orlo::host
