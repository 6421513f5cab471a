#pragma once
// FormRegistry: the custom forms of the desk by message class, and how the
// desk shows items that have none.

#include <QString>
#include <map>
#include <memory>

#include "host/forms/FormDefinition.h"

namespace orlo::host {

class FormRegistry {
public:
    // The patient contact form and the appointment form.
    static FormRegistry standard();

    void add(std::shared_ptr<const FormDefinition> form);
    // The form of that message class (case-insensitive), or nothing: items
    // of a standard class have no custom form.
    const FormDefinition* find(const QString& messageClass) const;
    // The item list of a folder whose default form has this message class;
    // a folder of items without a custom form lists "Subject" and "Modified".
    std::vector<ListColumn> listColumns(const QString& messageClass) const;
    // The window title of an item of this class; an item without a custom
    // form is an "Item" named by its "Subject".
    TitleRule titleRule(const QString& messageClass) const;

private:
    std::map<QString, std::shared_ptr<const FormDefinition>> m_forms;  // by lower-case class
};

}  // namespace orlo::host
