#pragma once
// The patient contact form (message class "IPM.Contact.Patient"): page
// "General" with one control per patient value that has one, each bound to
// the value's user property, except "Patient ID", which shows the built-in
// field "Customer ID". On every save the form keeps "Customer ID" equal to
// "PatientID", so that a patient is found by either key. A patients
// folder lists name, date of birth, home and work telephone, city and
// patient no.; a patient's window is named "Last, First - Patient".

#include "host/forms/FormDefinition.h"

namespace orlo::host {

class PatientContactForm final : public FormDefinition {
public:
    PatientContactForm();

    QString messageClass() const override;
    const std::vector<PageSpec>& pages() const override { return m_pages; }
    PropertyMap initialProperties() const override;
    std::vector<ListColumn> listColumns() const override;
    TitleRule titleRule() const override;
    void applySaveRules(Item& item) const override;

private:
    std::vector<PageSpec> m_pages;
};

}  // namespace orlo::host
