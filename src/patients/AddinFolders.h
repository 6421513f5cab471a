#pragma once
// The add-in's two folders in its own store: "Orlo Networked V.1" with the
// contacts folder "Patients" and the calendar folder "Scheduler", resolved
// by name through the "MAPI" namespace on every use, and the test every item
// handler starts with: does the tracked explorer show the handler's folder?

#include <QString>
#include <QStringView>
#include <memory>

#include "platform/core/Result.h"

namespace orlo {
struct AddinContext;
}
namespace orlo::host {
class Items;
}

namespace orlo::patients {

inline constexpr char16_t kTopFolderName[] = u"Orlo Networked V.1";
inline constexpr char16_t kPatientsFolderName[] = u"Patients";
inline constexpr char16_t kSchedulerFolderName[] = u"Scheduler";

// The items of "Orlo Networked V.1" / `folderName`; fails when the add-in is
// not connected or the store or folder is missing.
Result<std::shared_ptr<host::Items>> addinFolderItems(const AddinContext& ctx,
                                                      const QString& folderName);

// True when the tracked explorer's current folder is named exactly `folderName`.
bool explorerShows(const AddinContext& ctx, QStringView folderName);

}  // namespace orlo::patients
