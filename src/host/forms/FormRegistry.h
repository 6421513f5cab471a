#pragma once
// FormRegistry: the custom forms of the desk by message class.

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

private:
    std::map<QString, std::shared_ptr<const FormDefinition>> m_forms;  // by lower-case class
};

}  // namespace orlo::host
