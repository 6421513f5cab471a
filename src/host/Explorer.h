#pragma once
// Explorer: a main window of the desk, showing one folder at a time, with
// the desk's command bars. Switching folders raises BeforeFolderSwitch (a
// handler may cancel) and then FolderSwitch.

#include <memory>

#include "host/events/Event.h"
#include "platform/core/Result.h"

namespace orlo::host {

class CommandBars;
class Explorers;
class MAPIFolder;

class Explorer : public std::enable_shared_from_this<Explorer> {
public:
    struct Events {
        Event<const std::shared_ptr<MAPIFolder>&, bool&> BeforeFolderSwitch;
        Event<> FolderSwitch;
        // The window is closing; it still counts among the Explorers.
        Event<> Close;
    };
    Events events;

    Explorer(std::shared_ptr<MAPIFolder> folder, std::weak_ptr<Explorers> owner);

    std::shared_ptr<MAPIFolder> CurrentFolder() const { return m_folder; }
    // Shows another folder; error "cancelled" when a handler refused.
    Status SelectFolder(const std::shared_ptr<MAPIFolder>& folder);
    std::shared_ptr<::orlo::host::CommandBars> CommandBars() const { return m_commandBars; }
    void Activate();
    // Raises Close, then leaves the Explorers. Closing twice does nothing.
    void Close();
    bool isOpen() const { return !m_owner.expired(); }

private:
    std::shared_ptr<MAPIFolder> m_folder;
    std::weak_ptr<Explorers> m_owner;
    std::shared_ptr<::orlo::host::CommandBars> m_commandBars;
};

}  // namespace orlo::host
