#pragma once
// MAPIFolder: one folder of a store: its name, subfolders, items, the
// message class of its default form (which decides what Items.Add makes)
// and its views. One live object per folder, like items.

#include <QString>
#include <memory>

#include "host/Items.h"
#include "host/store/StoreFile.h"

namespace orlo::host {

class Folders;
class StoreSession;
class Views;

class MAPIFolder : public std::enable_shared_from_this<MAPIFolder> {
public:
    MAPIFolder(std::shared_ptr<StoreSession> session, FolderInfo info);

    QString Name() const { return m_info.name; }
    QString DefaultMessageClass() const { return m_info.defaultMessageClass; }
    FolderKind kind() const { return m_info.kind; }
    std::shared_ptr<::orlo::host::Folders> Folders();
    std::shared_ptr<::orlo::host::Items> Items();
    std::shared_ptr<::orlo::host::Views> Views() const;

    FolderId id() const { return m_info.id; }
    bool isTopFolder() const { return m_info.parent == 0; }
    const std::shared_ptr<StoreSession>& session() const { return m_session; }
    // What every Items object of this folder raises (Items::events).
    ::orlo::host::Items::Events& itemEvents() { return m_itemEvents; }

private:
    std::shared_ptr<StoreSession> m_session;
    FolderInfo m_info;
    ::orlo::host::Items::Events m_itemEvents;
};

}  // namespace orlo::host
