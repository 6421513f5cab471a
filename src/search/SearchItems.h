#pragma once
// What the search windows do with the desk's items: show a patient's
// contact or an appointment found by its key, start a new patient contact,
// and copy a chosen patient into the appointment being edited.

#include <QString>
#include <QStringList>

#include "platform/core/Result.h"

namespace orlo {
struct AddinContext;
}

namespace orlo::search {

// FindaContact: the item of "Patients" with "[PatientID] = " and the id,
// displayed. FindaAppointment: the same in "Scheduler" by "[ScheduleID] = ".
// An id with no item fails (91) with a description that names it.
Status FindaContact(AddinContext& ctx, const QString& patientId);
Status FindaAppointment(AddinContext& ctx, const QString& scheduleId);

// A new, unsaved patient contact in its window; the contact's own save
// writes the patient's row.
Status addPatientContact(AddinContext& ctx);

// The appointment user properties a chosen patient fills, in the order
// they are set, and the patient columns they come from.
inline constexpr const char16_t* kSelectionProperties[] = {u"sPTID", u"LNAME", u"FNAME",
                                                           u"MI",    u"DOB",   u"TELNUMBER"};
inline constexpr const char16_t* kSelectionColumns[] = {u"PT_ID",  u"LAST NAME", u"FIRST NAME",
                                                        u"MID_IN", u"DOB",       u"HOME_TEL"};

// HelloWorld: sets the six properties of the appointment in the active item
// window to `values` (in the order above), without saving it; a property
// the appointment lacks is passed over. Fails when no item window is
// active or its item is not an appointment, having set nothing.
Status HelloWorld(AddinContext& ctx, const QStringList& values);

}  // namespace orlo::search
