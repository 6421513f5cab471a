#include "host/Explorer.h"

#include "host/Explorers.h"
#include "host/HostErrors.h"
#include "host/commandbars/CommandBars.h"

namespace orlo::host {

Explorer::Explorer(std::shared_ptr<MAPIFolder> folder, std::weak_ptr<Explorers> owner)
    : m_folder(std::move(folder)),
      m_owner(std::move(owner)),
      m_commandBars(CommandBars::forExplorer()) {}

Status Explorer::SelectFolder(const std::shared_ptr<MAPIFolder>& folder) {
    if (!folder) {
        return err::hostError(err::kInvalidArgument, QStringLiteral("No folder to show."));
    }
    const auto self = shared_from_this();
    bool cancel = false;
    events.BeforeFolderSwitch.raise(folder, cancel);
    if (cancel) {
        return err::hostError(err::kOperationCancelled,
                              QStringLiteral("The folder switch was cancelled."));
    }
    m_folder = folder;
    events.FolderSwitch.raise();
    return okStatus();
}

void Explorer::Activate() {
    if (const auto owner = m_owner.lock()) {
        owner->activate(shared_from_this());
    }
}

void Explorer::Close() {
    const auto owner = m_owner.lock();
    if (!owner) {
        return;
    }
    const auto self = shared_from_this();
    events.Close.raise();
    owner->remove(this);
    m_owner.reset();
}

}  // namespace orlo::host
