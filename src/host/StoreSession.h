#pragma once
// StoreSession: one open store file as the object model sees it. It owns the
// file, and keeps the identity of folders and items: a weak cache per store
// hands out the one live object of a stored item (or folder) as long as
// anyone holds it, so that Find, iteration and inspectors all share it.
// Removing the store from the profile closes the file; objects still held
// then fail with "item deleted".

#include <QString>
#include <QStringList>
#include <memory>
#include <unordered_map>

#include "host/HostServices.h"
#include "host/store/StoreFile.h"
#include "platform/core/Result.h"

namespace orlo::host {

class Application;
class Item;
class MAPIFolder;

class StoreSession : public std::enable_shared_from_this<StoreSession> {
public:
    StoreSession(std::unique_ptr<StoreFile> file, std::shared_ptr<const HostServices> services,
                 std::weak_ptr<Application> application);

    bool isOpen() const { return m_file != nullptr; }
    // The file, or an error once the store was removed.
    Result<StoreFile*> file() const;
    QString path() const { return m_path; }
    const HostServices& services() const { return *m_services; }
    std::shared_ptr<Application> application() const { return m_application.lock(); }
    void close();

    Result<std::shared_ptr<MAPIFolder>> topFolder();
    std::shared_ptr<MAPIFolder> folderObject(const FolderInfo& info);
    // The live object of a folder, or nothing when no one holds it.
    std::shared_ptr<MAPIFolder> liveFolder(FolderId id) const;

    // The live object of a stored item, or nothing.
    std::shared_ptr<Item> liveItem(ItemId id) const;
    // The live object, or the item loaded from the file.
    Result<std::shared_ptr<Item>> itemObject(ItemId id);
    // The live object, or an item holding only the given column values.
    std::shared_ptr<Item> itemWithColumns(ItemId id, FolderId folder, PropertyMap values,
                                          const QStringList& columns);
    void registerItem(const std::shared_ptr<Item>& item);
    // Drops an item whose object died or which was deleted.
    void forgetItem(ItemId id);
    // Drops a deleted item, live or not.
    void dropItem(ItemId id) { m_items.erase(id); }
    std::size_t liveItemCount() const { return m_items.size(); }

private:
    std::unique_ptr<StoreFile> m_file;
    QString m_path;
    std::shared_ptr<const HostServices> m_services;
    std::weak_ptr<Application> m_application;
    std::unordered_map<ItemId, std::weak_ptr<Item>> m_items;
    std::unordered_map<FolderId, std::weak_ptr<MAPIFolder>> m_folders;
};

}  // namespace orlo::host
