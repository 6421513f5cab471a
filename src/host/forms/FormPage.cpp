#include "host/forms/FormPage.h"

#include "host/HostErrors.h"

namespace orlo::host {

FormPage::FormPage(QString name, std::vector<std::shared_ptr<FormControl>> controls)
    : m_name(std::move(name)), m_controls(std::move(controls)) {}

Result<std::shared_ptr<FormControl>> FormPage::Controls(const QString& name) const {
    for (const auto& control : m_controls) {
        if (control->Name().compare(name, Qt::CaseInsensitive) == 0) {
            return control;
        }
    }
    return err::hostError(
        err::kControlNotFound,
        QStringLiteral("Could not find the control \"%1\" on the page \"%2\".").arg(name, m_name));
}

}  // namespace orlo::host
