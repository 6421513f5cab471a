#pragma once
// The appointment form of the Scheduler folder (message class
// "IPM.Appointment.Scheduler"): page "Patient Scheduler" with the labels
// ReasonLabel and StatusLabel and a control per scheduler property, and page
// "Charges" with one control per charge value. The form keeps the built-in
// "Mileage" equal to "ScheduleID" on every save, and shows the recall due
// date "RecallDBFormatted" in "RecallDBFormattedMASK". The Scheduler
// lists start, end, patient, reason and status; an appointment's window is
// named "Last, First - Appointment" after its patient.

#include "host/forms/FormDefinition.h"

namespace orlo::host {

class AppointmentForm final : public FormDefinition {
public:
    AppointmentForm();

    QString messageClass() const override;
    const std::vector<PageSpec>& pages() const override { return m_pages; }
    PropertyMap initialProperties() const override;
    std::vector<ListColumn> listColumns() const override;
    TitleRule titleRule() const override;
    void propertyChanged(Item& item, const QString& name) const override;
    void applySaveRules(Item& item) const override;

    // "None" stands for no recall date, as on the form's masked field.
    static constexpr char16_t kNoRecallDate[] = u"None";

private:
    static void deriveRecallMask(Item& item);

    std::vector<PageSpec> m_pages;
};

}  // namespace orlo::host
