#pragma once
// Item: one item of a folder (contact, appointment, mail, ...), shown to the
// add-in with reference semantics. Each stored item has exactly one live
// Item object at a time, whichever way it was reached (Find, iteration, an
// inspector), so handlers bound to it hear every change made through any
// path.
//
// Values live in properties: the user properties (a custom form defines
// them on a new item) and the built-in fields "Customer ID", "Mileage",
// "Start", "End", "Created" and "Modified", which every item has.
//
// Save raises Write before it stores anything, so what a Write handler
// changes is stored with the save; "Created" (first save) and "Modified"
// (every save) are stamped from the host's clock just before Write.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "host/events/Event.h"
#include "host/store/StoreFile.h"
#include "platform/core/Result.h"
#include "platform/core/Variant.h"

namespace orlo {
class Locale;
}

namespace orlo::host {

class FormDefinition;
class FormPage;
class Inspector;
class MAPIFolder;
class StoreSession;
class UserProperties;

// How Close treats unsaved changes. The desk has no prompt of its own here:
// PromptForSave saves, as the prompt's default answer would.
enum class SaveMode { Save = 0, Discard = 1, PromptForSave = 2 };

class Item : public std::enable_shared_from_this<Item> {
public:
    struct Events {
        // Display opened the item's inspector; cancel closes it again.
        Event<bool&> Open;
        // Save is about to store the item; cancel stops the save.
        Event<bool&> Write;
        Event<const std::shared_ptr<Item>&, bool&> BeforeDelete;
        Event<bool&> Close;
        // A user property changed (by code, by a form control or by a form rule).
        Event<const QString&> CustomPropertyChange;
        // A built-in field changed.
        Event<const QString&> PropertyChange;
    };
    Events events;

    // Only the store session and Items.Add make items.
    struct Init {
        std::shared_ptr<StoreSession> session;
        FolderId folder = 0;
        ItemId id = 0;  // 0: new, not stored yet
        QString messageClass;
        PropertyMap properties;
        // Set when only these properties were loaded (SetColumns); the rest
        // is loaded on first use.
        std::optional<QStringList> columns;
    };
    explicit Item(Init init);
    ~Item();
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

    int Class() const;
    QString MessageClass() const;
    std::shared_ptr<MAPIFolder> Parent() const;

    std::shared_ptr<::orlo::host::UserProperties> UserProperties();
    // The value of a user property or built-in field; error 5 when the item
    // has no such property.
    Result<Variant> userProperty(const QString& name) const;
    // Assigns an existing user property or a built-in field (error 5 when
    // absent) and raises CustomPropertyChange or PropertyChange. "Start",
    // "End", "Created" and "Modified" take dates or date texts (error 13 for
    // other text); "Customer ID" and "Mileage" store any value as text.
    Status setUserProperty(const QString& name, const Variant& value);
    // Adds the user property when absent (with an empty text); no event.
    Status addUserProperty(const QString& name);
    bool hasProperty(const QString& name) const;
    // The user properties' names (built-in fields not included), sorted.
    QStringList userPropertyNames() const;

    Status Save();
    Status Delete();
    // Opens the item's inspector: NewInspector of the application's
    // inspectors, then the item's Open. An open inspector is activated.
    Status Display();
    std::shared_ptr<Inspector> GetInspector();
    Status Close(SaveMode mode);
    // True when nothing changed since the item was loaded or saved.
    bool Saved() const { return !m_dirty; }

    // The form's pages (empty for an item without a custom form).
    const std::vector<std::shared_ptr<FormPage>>& formPages();
    Result<std::shared_ptr<FormPage>> formPage(const QString& name);

    // What the forms use: the value of any property, Empty when absent...
    Result<Variant> boundValue(const QString& name) const;
    // ...and assigning it, adding it when the item lacks it.
    Status setBoundValue(const QString& name, const Variant& value);
    // Same as userProperty, for the form rules.
    Result<Variant> propertyValue(const QString& name) const { return userProperty(name); }
    // The property as text ("" when absent, Empty or Null).
    QString propertyText(const QString& name) const;
    // The value the item holds for the property; nothing when it holds
    // none (a built-in field never assigned holds none).
    std::optional<Variant> storedValue(const QString& name) const;

    const Locale& locale() const;
    ItemId entryId() const { return m_id; }
    FolderId folderId() const { return m_folder; }
    bool isDeleted() const { return m_deleted; }
    bool isPartial() const { return m_columns.has_value(); }
    // The inspector open on the item, or nothing.
    std::shared_ptr<Inspector> displayedInspector() const;

private:
    friend class Inspector;

    Status ensureLoaded(const QString& name) const;
    Status ensureFull() const;
    Status checkUsable() const;
    Result<Variant> coerce(const QString& name, const Variant& value) const;
    Status assign(const QString& name, const Variant& value);
    Status store();
    Status closeInspector();
    void revert();
    const FormDefinition* form() const;

    std::shared_ptr<StoreSession> m_session;
    FolderId m_folder;
    ItemId m_id;
    mutable QString m_messageClass;
    mutable PropertyMap m_props;
    mutable std::optional<QStringList> m_columns;
    bool m_dirty = false;
    bool m_deleted = false;
    bool m_saving = false;
    std::shared_ptr<Inspector> m_inspector;
    std::vector<std::shared_ptr<FormPage>> m_pages;
    bool m_pagesBuilt = false;
};

// The add-in's names for the two kinds it tracks.
using ContactItem = Item;
using AppointmentItem = Item;

}  // namespace orlo::host
