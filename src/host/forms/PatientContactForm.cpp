#include "host/forms/PatientContactForm.h"

#include "host/BuiltInFields.h"
#include "host/Item.h"
#include "platform/core/ErrorTrap.h"
#include "records/FieldMaps.h"
#include "records/FieldPositions.h"

namespace orlo::host {

namespace {

namespace pos = records::patient;

ListColumn nameColumn() {
    return {QStringLiteral("Name"),
            {records::patientProperty(pos::kLastName), records::patientProperty(pos::kFirstName)},
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
        {QStringLiteral("Date of birth"), {records::patientProperty(pos::kDob)}, J::FirstNonBlank},
        {QStringLiteral("Home telephone"),
         {records::patientProperty(pos::kHomeTel)},
         J::FirstNonBlank},
        {QStringLiteral("Work telephone"),
         {records::patientProperty(pos::kWorkTel)},
         J::FirstNonBlank},
        {QStringLiteral("City"), {records::patientProperty(pos::kCity)}, J::FirstNonBlank},
        {QStringLiteral("Patient no."),
         {records::patientProperty(pos::kPatientId)},
         J::FirstNonBlank},
    };
}

TitleRule PatientContactForm::titleRule() const {
    return {QStringLiteral("Patient"), nameColumn()};
}

void PatientContactForm::applySaveRules(Item& item) const {
    const QString patientId =
        item.propertyText(records::str(records::patientField(pos::kPatientId).property));
    const QString customerIdName = records::str(kCustomerIdField);
    if (item.propertyText(customerIdName) != patientId) {
        ignoreError(item.setBoundValue(customerIdName, Variant(patientId)),
                    "an item that refuses a value refuses the save that follows");
    }
}

}  // namespace orlo::host
