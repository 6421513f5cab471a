#pragma once
// The item class numbers of the object model (an item's Class) and the
// message classes they come from.

#include <QString>

namespace orlo::host {

enum ItemClass : int {
    kAppointmentItem = 26,
    kContactItem = 40,
    kDocumentItem = 41,
    kJournalItem = 42,
    kMailItem = 43,
    kPostItem = 45,
    kTaskItem = 48,
    kDistListItem = 69,
};

inline constexpr char16_t kMailMessageClass[] = u"IPM.Note";
inline constexpr char16_t kContactMessageClass[] = u"IPM.Contact";
inline constexpr char16_t kAppointmentMessageClass[] = u"IPM.Appointment";

// "IPM.Contact.Patient" is a contact (40), "IPM.Appointment.Scheduler" an
// appointment (26); a class the host does not know is a mail item (43).
int itemClassOf(const QString& messageClass);

}  // namespace orlo::host
