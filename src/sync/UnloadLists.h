#pragma once
// The unload lists: when the main window closes, the add-in writes down
// which patients and appointments its folders hold, so that the resync at
// the next start finds the database rows missing from the folders without
// searching the folders item by item.
//
//   "\META\UNLOADP.log"  the "PatientID" of every item of "Patients"
//   "\META\UNLOADS.log"  the "Mileage" (the schedule id) of every item of
//                        "Scheduler"
//
// One value a line, lines ended by CR LF, in the folder's own item order; an
// item without a value (or without the property at all) gives an empty line.
// Both files are laid out at installation and never created here: a missing
// file is reported (box and error log) and the list is not written.
//
// A list is replaced whole: it is written to a temporary file in "META" and
// renamed over the old one, so a crash or a failed write leaves the old
// list, never half of a new one that the resync would take for a folder
// with items missing (and fill up with duplicates).

#include "platform/core/Result.h"

namespace orlo {
struct AddinContext;
}

namespace orlo::sync {

inline constexpr char16_t kPatientUnloadList[] = u"\\META\\UNLOADP.log";
inline constexpr char16_t kScheduleUnloadList[] = u"\\META\\UNLOADS.log";

inline constexpr char16_t kPatientIdProperty[] = u"PatientID";
inline constexpr char16_t kMileageProperty[] = u"Mileage";

inline constexpr char16_t kUnloadListErrorTitle[] = u"Error";
inline constexpr char16_t kPatientUnloadMissingText[] =
    u"Cannot Load Patient Unload File. Please recreate.";
inline constexpr char16_t kScheduleUnloadMissingText[] =
    u"Cannot Load Schedule Unload File. Please recreate.";
inline constexpr char16_t kPatientUnloadMissingLog[] = u"[ERROR] Cannot Load Patient Unload File.";
inline constexpr char16_t kScheduleUnloadMissingLog[] =
    u"[ERROR] Cannot Load Schedule Unload File.";
// A list that cannot be written is logged (followed by why): the resync
// would read a stale one.
inline constexpr char16_t kPatientUnloadWriteLog[] = u"[ERROR] Cannot Write Patient Unload File. ";
inline constexpr char16_t kScheduleUnloadWriteLog[] =
    u"[ERROR] Cannot Write Schedule Unload File. ";

// Each writes its list from the folder as it is now. A missing list file is
// reported and comes back as error 53 (file not found); a folder that cannot
// be reached or a file that cannot be written is logged and comes back as
// the error, with the old list left in place.
Status WritePatientUnloadList(AddinContext& context);
Status WriteScheduleUnloadList(AddinContext& context);

}  // namespace orlo::sync
