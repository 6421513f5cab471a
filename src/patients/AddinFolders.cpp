#include "patients/AddinFolders.h"

#include "common/AddinContext.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/Folders.h"
#include "host/HostErrors.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"

namespace orlo::patients {

Result<std::shared_ptr<host::Items>> addinFolderItems(const AddinContext& ctx,
                                                      const QString& folderName) {
    if (!ctx.application) {
        return host::err::hostError(err::kObjectNotSet,
                                    QStringLiteral("The add-in is not connected to the desk."));
    }
    const auto ns =
        ctx.application->GetNamespace(QString::fromUtf16(host::Application::kMapiNamespace));
    if (!ns) {
        return ns.error();
    }
    const auto top = (*ns)->Folders()->Item(QString::fromUtf16(kTopFolderName));
    if (!top) {
        return top.error();
    }
    const auto folder = (*top)->Folders()->Item(folderName);
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

}  // namespace orlo::patients
