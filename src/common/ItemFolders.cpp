#include "common/ItemFolders.h"

#include "common/AddinContext.h"
#include "host/HostErrors.h"
#include "host/Item.h"
#include "host/MAPIFolder.h"

namespace orlo {

Result<std::shared_ptr<host::Items>> addinFolderItems(const AddinContext& ctx,
                                                      const QString& folderName) {
    if (!ctx.application) {
        return host::err::hostError(err::kObjectNotSet,
                                    QStringLiteral("The add-in is not connected to the desk."));
    }
    ORLO_TRY_ASSIGN(const auto folder, addinFolder(ctx.application, folderName));
    return folder->Items();
}

bool isInAddinFolder(const AddinContext& ctx, const host::Item& item, const QString& folderName) {
    const std::shared_ptr<host::MAPIFolder> parent = item.Parent();
    if (!parent || parent->Name() != folderName) {
        return false;
    }
    // Folders are live objects, one per folder: the same folder is the same object.
    const auto folder = addinFolder(ctx.application, folderName);
    return folder && *folder == parent;
}

}  // namespace orlo
