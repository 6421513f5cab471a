#pragma once
// The workstation's scratch database "\META\temp.mdb": four key tables
// (tempPatientDB, tempPatientOL, tempScheduleDB, tempScheduleOL, one column
// "ids" each) in which the resync lets the engine work out which database
// keys its folders lack. It is the workstation's own and holds nothing
// between runs, so it is made (with its folder) whenever it is missing, and
// made anew when it is of an older layout or damaged.

#include <QString>

#include "platform/core/AppFolder.h"
#include "platform/core/Result.h"

namespace orlo::sync {

inline constexpr char16_t kScratchDatabaseName[] = u"\\META\\temp.mdb";

// The path of the scratch database, made first when no usable file is there.
Result<QString> ensureScratchDatabase(const AppFolder& folder);

}  // namespace orlo::sync
