#pragma once
// FormDefinition: a custom form of the desk, found by the message class of
// the items it shows. It names the pages and controls (and what each
// control is bound to), the properties a new item of the form starts with,
// the rules the form applies while an item changes and when it is saved,
// and how the desk shows its items: the columns of a folder's item list
// and an item window's title.

#include <QString>
#include <vector>

#include "host/forms/FormControl.h"
#include "host/forms/ListColumn.h"
#include "host/store/StoreFile.h"

namespace orlo::host {

class Item;

struct ControlSpec {
    QString name;
    ControlKind kind = ControlKind::TextBox;
    QString boundProperty;  // empty for a label
};

struct PageSpec {
    QString name;
    std::vector<ControlSpec> controls;
};

// An item window's title: "<name> - <kind>", the name made by `name` from
// the item's values, "Untitled" when they are blank.
struct TitleRule {
    QString kind;
    ListColumn name;
};

class FormDefinition {
public:
    virtual ~FormDefinition() = default;

    virtual QString messageClass() const = 0;
    virtual const std::vector<PageSpec>& pages() const = 0;
    // The user properties (and their first values) of a new item.
    virtual PropertyMap initialProperties() const = 0;
    // The item list of a folder whose default form this is.
    virtual std::vector<ListColumn> listColumns() const = 0;
    virtual TitleRule titleRule() const = 0;

    // Runs after a property of the item changed (by code or by a control).
    virtual void propertyChanged(Item& item, const QString& name) const {
        (void)item;
        (void)name;
    }
    // Run by Save before the item's Write event and again after it, so that
    // what a Write handler changed is kept consistent in what is stored.
    virtual void applySaveRules(Item& item) const { (void)item; }
};

}  // namespace orlo::host
