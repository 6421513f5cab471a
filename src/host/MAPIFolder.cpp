#include "host/MAPIFolder.h"

#include "host/Folders.h"
#include "host/Items.h"
#include "host/StoreSession.h"
#include "host/Views.h"

namespace orlo::host {

MAPIFolder::MAPIFolder(std::shared_ptr<StoreSession> session, FolderInfo info)
    : m_session(std::move(session)), m_info(std::move(info)) {}

std::shared_ptr<Folders> MAPIFolder::Folders() {
    std::vector<std::shared_ptr<MAPIFolder>> children;
    // A folder whose subfolders cannot be read shows none; reading its
    // items reports the store's error.
    if (const Result<StoreFile*> file = m_session->file()) {
        for (const FolderInfo& info : (*file)->subfolders(m_info.id).valueOr({})) {
            children.push_back(m_session->folderObject(info));
        }
    }
    return std::make_shared<::orlo::host::Folders>(std::move(children), shared_from_this());
}

std::shared_ptr<Items> MAPIFolder::Items() {
    return std::make_shared<::orlo::host::Items>(shared_from_this());
}

std::shared_ptr<Views> MAPIFolder::Views() const {
    return std::make_shared<::orlo::host::Views>(m_info.name);
}

}  // namespace orlo::host
