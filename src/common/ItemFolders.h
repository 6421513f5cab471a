#pragma once
// The item handlers' view of the add-in's folders (named in
// common/AddinFolders.h): the items of "Patients" or "Scheduler", resolved
// by name on every use, and the test every item handler starts with: does
// the tracked explorer show the handler's folder?

#include <QString>
#include <QStringView>
#include <memory>

#include "common/AddinFolders.h"
#include "platform/core/Result.h"

namespace orlo::host {
class Items;
}

namespace orlo {

struct AddinContext;

// The items of "Orlo Networked V.1" / `folderName`; fails when the add-in is
// not connected or the store or folder is missing.
Result<std::shared_ptr<host::Items>> addinFolderItems(const AddinContext& ctx,
                                                      const QString& folderName);

// True when the tracked explorer's current folder is named exactly `folderName`.
bool explorerShows(const AddinContext& ctx, QStringView folderName);

}  // namespace orlo
