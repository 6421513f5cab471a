#include "host/forms/PatientContactForm.h"

#include "host/BuiltInFields.h"
#include "host/Item.h"
#include "platform/core/ErrorTrap.h"
#include "records/FieldMaps.h"

namespace orlo::host {

namespace {

constexpr int kPatientIdPosition = 1;
constexpr int kLastName = 2;
constexpr int kFirstName = 3;
constexpr int kDateOfBirth = 4;
constexpr int kWorkTel = 18;
constexpr int kHomeTel = 19;
constexpr int kCity = 15;

ListColumn nameColumn() {
    return {QStringLiteral("Name"),
            {records::patientProperty(kLastName), records::patientProperty(kFirstName)},
            ListColumn::Join::Name};
}

}  // namespace

PatientContactForm::PatientContactForm() {
    PageSpec general{records::str(records::kPatientPage), {}};
    for (const records::PatientField& f : records::patientFields()) {
        if (f.control == nullptr) {
            continue;
        }
        const QString control = records::str(f.control);
        // "Patient ID" shows the built-in "Customer ID"; every other control
        // shows the user property of its own value.
        const QString bound = control == records::str(records::kPatientIdControl)
                                  ? records::str(kCustomerIdField)
                                  : records::str(f.property);
        general.controls.push_back({control, ControlKind::TextBox, bound});
    }
    m_pages.push_back(std::move(general));
}

QString PatientContactForm::messageClass() const {
    return records::str(records::kPatientMessageClass);
}

PropertyMap PatientContactForm::initialProperties() const {
    PropertyMap props;
    for (const records::PatientField& f : records::patientFields()) {
        if (f.property != nullptr && !isBuiltInField(f.property)) {
            props.emplace(records::str(f.property), Variant(QString()));
        }
    }
    return props;
}

std::vector<ListColumn> PatientContactForm::listColumns() const {
    using J = ListColumn::Join;
    return {
        nameColumn(),
        {QStringLiteral("Date of birth"),
         {records::patientProperty(kDateOfBirth)},
         J::FirstNonBlank},
        {QStringLiteral("Home telephone"), {records::patientProperty(kHomeTel)}, J::FirstNonBlank},
        {QStringLiteral("Work telephone"), {records::patientProperty(kWorkTel)}, J::FirstNonBlank},
        {QStringLiteral("City"), {records::patientProperty(kCity)}, J::FirstNonBlank},
        {QStringLiteral("Patient no."),
         {records::patientProperty(kPatientIdPosition)},
         J::FirstNonBlank},
    };
}

TitleRule PatientContactForm::titleRule() const {
    return {QStringLiteral("Patient"), nameColumn()};
}

void PatientContactForm::applySaveRules(Item& item) const {
    const QString patientId =
        item.propertyText(records::str(records::patientField(kPatientIdPosition).property));
    const QString customerIdName = records::str(kCustomerIdField);
    if (item.propertyText(customerIdName) != patientId) {
        ignoreError(item.setBoundValue(customerIdName, Variant(patientId)),
                    "an item that refuses a value refuses the save that follows");
    }
}

}  // namespace orlo::host
