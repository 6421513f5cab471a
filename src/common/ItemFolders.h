#pragma once
// The item handlers' view of the add-in's folders (named in
// common/AddinFolders.h): the items of "Patients" or "Scheduler", resolved
// by name on every use, and the test every item handler starts with: is the
// item one of that folder's? The handlers act on the add-in's own items
// wherever the user opened them (the main window may show any folder, or
// none), and never on a look-alike item of another folder or store.

#include <QString>
#include <memory>

#include "common/AddinFolders.h"
#include "platform/core/Result.h"

namespace orlo::host {
class Item;
class Items;
}  // namespace orlo::host

namespace orlo {

struct AddinContext;

// The items of "Orlo Networked V.1" / `folderName`; fails when the add-in is
// not connected or the store or folder is missing.
Result<std::shared_ptr<host::Items>> addinFolderItems(const AddinContext& ctx,
                                                      const QString& folderName);

// True when `item` lies in the add-in's folder `folderName` itself.
bool isInAddinFolder(const AddinContext& ctx, const host::Item& item, const QString& folderName);

}  // namespace orlo
