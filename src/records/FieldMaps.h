#pragma once
// The record layouts shared by the database, the item forms and the add-in:
// for every patient and appointment value, its position in the field values
// that travel between workstations, its table column, the item's user
// property and the form control that shows it. Every other piece of the
// system takes names from here instead of listing them again.

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace orlo::records {

// One patient value. `position` is 1..50 in the patient field values;
// `column` is the column's position in PATIENTS (DOB and MID_IN stand in
// the opposite order there). `property` or `control` is null where the
// value has none ("LAST_UPDATED" has no user property; only values 1 to 29
// have a control on the page "General").
struct PatientField {
    int position;
    int column;
    const char16_t* columnName;
    const char16_t* property;
    const char16_t* control;
};

// One appointment value. `position` is both the column's position in
// SCHEDULED and the position in the schedule field values (0 is the key).
// `control` names the control on the page "Charges", where there is one.
struct ScheduleField {
    int position;
    const char16_t* columnName;
    const char16_t* property;
    const char16_t* control;
};

inline constexpr int kPatientValueCount = 50;
inline constexpr int kScheduleValueCount = 55;

// Positions 1..50, in order (patientFields()[i].position == i + 1).
const std::array<PatientField, kPatientValueCount>& patientFields();
// Positions 0..55, in order (scheduleFields()[i].position == i).
const std::array<ScheduleField, kScheduleValueCount + 1>& scheduleFields();

const PatientField& patientField(int position);
const ScheduleField& scheduleField(int position);
// The user property that carries a field's value on an item.
QString patientProperty(int position);
QString scheduleProperty(int position);
// The patient value shown in table column `column` (0..49).
const PatientField& patientFieldAtColumn(int column);

std::optional<int> patientPositionOfProperty(QStringView property);
std::optional<int> schedulePositionOfProperty(QStringView property);

// The form page names and the names the forms and handlers share.
inline constexpr char16_t kPatientPage[] = u"General";
inline constexpr char16_t kSchedulerPage[] = u"Patient Scheduler";
inline constexpr char16_t kChargesPage[] = u"Charges";
inline constexpr char16_t kReasonLabel[] = u"ReasonLabel";
inline constexpr char16_t kStatusLabel[] = u"StatusLabel";
inline constexpr char16_t kPatientIdControl[] = u"Patient ID";
inline constexpr char16_t kRecallDueProperty[] = u"RecallDBFormatted";
inline constexpr char16_t kRecallDueMaskProperty[] = u"RecallDBFormattedMASK";
inline constexpr char16_t kPatientMessageClass[] = u"IPM.Contact.Patient";
inline constexpr char16_t kAppointmentMessageClass[] = u"IPM.Appointment.Scheduler";

inline QString str(const char16_t* s) {
    return s ? QString::fromUtf16(s) : QString();
}

}  // namespace orlo::records
