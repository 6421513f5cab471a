#pragma once
// The appointment operations of basOutlook: find an appointment item in
// "Scheduler" by its schedule id, create one from the schedule id and the
// schedule field values, or overwrite one. They are the only way the add-in
// itself writes appointment items. Both writing operations clear
// ApptItemSaveEnabled just before their save, so the appointment Write
// handler leaves that save alone; the caller MUST set it true again as soon
// as the operation returns, before it handles the next record or message.
//
// The finders and UpdateAppointmentItem trap nothing; AddAppointmentItem
// fails only while reaching the folder and passes over everything after.

#include <QString>
#include <QStringList>

#include "platform/core/Result.h"

namespace orlo {
struct AddinContext;
}

namespace orlo::schedule {

// The schedule field values: 55 texts, value n at index n - 1.
using ScheduleFieldValues = QStringList;

inline constexpr char16_t kScheduleIdFilter[] = u"[ScheduleID] = ";
inline constexpr char16_t kMileageFilter[] = u"[Mileage] = ";

Result<bool> AppointmentExists(AddinContext& ctx, const QString& scheduleId);
Result<bool> AppointmentExistsByMileage(AddinContext& ctx, const QString& scheduleId);

// "ScheduleID", then values 1 to 11 and 14 to 55 into the user properties
// of the field map; values 12 and 13 ("Created", "Modified") stay the desk's.
Status AddAppointmentItem(AddinContext& ctx, const QString& scheduleId,
                          const ScheduleFieldValues& values);
// Fails for an item whose last save did not reach the database (left as typed).
Status UpdateAppointmentItem(AddinContext& ctx, const QString& scheduleId,
                             const ScheduleFieldValues& values);

}  // namespace orlo::schedule
