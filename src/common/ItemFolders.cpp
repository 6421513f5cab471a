#include "common/ItemFolders.h"

#include "common/AddinContext.h"
#include "host/Explorer.h"
#include "host/HostErrors.h"
#include "host/MAPIFolder.h"

namespace orlo {

Result<std::shared_ptr<host::Items>> addinFolderItems(const AddinContext& ctx,
                                                      const QString& folderName) {
    if (!ctx.application) {
        return host::err::hostError(err::kObjectNotSet,
                                    QStringLiteral("The add-in is not connected to the desk."));
    }
    const auto folder = addinFolder(ctx.application, folderName);
    if (!folder) {
        return folder.error();
    }
    return (*folder)->Items();
}

bool explorerShows(const AddinContext& ctx, QStringView folderName) {
    if (!ctx.trackedExplorer) {
        return false;
    }
    const auto folder = ctx.trackedExplorer->CurrentFolder();
    return folder && folder->Name() == folderName;
}

}  // namespace orlo
