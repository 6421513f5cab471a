#include "host/forms/FormRegistry.h"

#include "host/BuiltInFields.h"
#include "host/forms/AppointmentForm.h"
#include "host/forms/PatientContactForm.h"

namespace orlo::host {

FormRegistry FormRegistry::standard() {
    FormRegistry r;
    r.add(std::make_shared<PatientContactForm>());
    r.add(std::make_shared<AppointmentForm>());
    return r;
}

void FormRegistry::add(std::shared_ptr<const FormDefinition> form) {
    m_forms[form->messageClass().toLower()] = std::move(form);
}

const FormDefinition* FormRegistry::find(const QString& messageClass) const {
    // A handful of forms: compared in place, without the lower-case copy of
    // the class a map lookup needs (every property assignment asks).
    for (const auto& [key, form] : m_forms) {
        if (key.compare(messageClass, Qt::CaseInsensitive) == 0) {
            return form.get();
        }
    }
    return nullptr;
}

std::vector<ListColumn> FormRegistry::listColumns(const QString& messageClass) const {
    if (const FormDefinition* form = find(messageClass)) {
        return form->listColumns();
    }
    return {
        {QStringLiteral("Subject"), {QStringLiteral("Subject")}, ListColumn::Join::FirstNonBlank},
        {QStringLiteral("Modified"),
         {QString::fromUtf16(kModifiedField)},
         ListColumn::Join::FirstNonBlank},
    };
}

TitleRule FormRegistry::titleRule(const QString& messageClass) const {
    if (const FormDefinition* form = find(messageClass)) {
        return form->titleRule();
    }
    return {
        QStringLiteral("Item"),
        {QStringLiteral("Subject"), {QStringLiteral("Subject")}, ListColumn::Join::FirstNonBlank}};
}

}  // namespace orlo::host
