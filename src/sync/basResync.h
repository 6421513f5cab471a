#pragma once
// basResync: brings the folders "Patients" and "Scheduler" up to date with
// the shared database. Every row that has no item gets one; nothing is
// changed or deleted, and nothing is written to the shared database.
//
// Which rows lack an item is worked out in the workstation's scratch
// database "\META\temp.mdb" (made here when it is missing):
//   - the difference: the unload list written when the main window last
//     closed names the items the folder holds; the database's keys that it
//     does not name are looked up in the folder and created when missing;
//   - the full check, when the list is empty or missing (a missing list is
//     logged): every database key is looked up in the folder.
//
// Both scratch tables are emptied at the start and the end of a run, so a
// run that ended on an error leaves nothing that hides a missing item from
// the next one. Key lists of any length work. A Null column becomes empty
// text on the item; a row deleted while the run works is skipped. The items
// are built by column name through the field maps, the same layout the
// items' Open handlers read.
//
// Each routine yields to pending events while it works (at most one pass of
// the event loop every few milliseconds) and reports its own failure: a
// critical box under its title and the errors of both connections in the
// error log. It then returns; the caller goes on.

#include <QString>

#include "platform/core/Result.h"

namespace orlo {
struct AddinContext;
}

namespace orlo::sync {

inline constexpr char16_t kPatientResyncErrorTitle[] = u"Software Error - Patients Resync";
inline constexpr char16_t kScheduleResyncErrorTitle[] = u"ReSync Schedule Software Error";
// Logged when an unload list is missing and the full check runs instead.
inline constexpr char16_t kPatientListMissingLog[] =
    u"[ERROR] Patient Unload File missing: every patient is checked.";
inline constexpr char16_t kScheduleListMissingLog[] =
    u"[ERROR] Schedule Unload File missing: every appointment is checked.";

// Both report their failure themselves; the Status tells a caller (a test,
// the settings dialog) whether the run completed.
Status ResyncPatients(AddinContext& ctx, const QString& dbLocation);
Status ResyncSchedules(AddinContext& ctx, const QString& dbLocation);

}  // namespace orlo::sync
