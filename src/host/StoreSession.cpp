#include "host/StoreSession.h"

#include "host/HostErrors.h"
#include "host/Item.h"
#include "host/MAPIFolder.h"

namespace orlo::host {

StoreSession::StoreSession(std::unique_ptr<StoreFile> file,
                           std::shared_ptr<const HostServices> services,
                           std::weak_ptr<Application> application)
    : m_file(std::move(file)),
      m_path(m_file->path()),
      m_services(std::move(services)),
      m_application(std::move(application)) {}

Result<StoreFile*> StoreSession::file() const {
    if (!m_file) {
        return err::hostError(
            err::kItemDeleted,
            QStringLiteral("The store \"%1\" has been removed from the profile.").arg(m_path));
    }
    return m_file.get();
}

void StoreSession::close() {
    m_file.reset();
}

Result<std::shared_ptr<MAPIFolder>> StoreSession::topFolder() {
    ORLO_TRY_ASSIGN(StoreFile* const f, file());
    ORLO_TRY_ASSIGN(const FolderInfo info, f->folder(f->topFolder()));
    return folderObject(info);
}

std::shared_ptr<MAPIFolder> StoreSession::folderObject(const FolderInfo& info) {
    auto& slot = m_folders[info.id];
    if (auto live = slot.lock()) {
        return live;
    }
    auto folder = std::make_shared<MAPIFolder>(shared_from_this(), info);
    slot = folder;
    return folder;
}

std::shared_ptr<MAPIFolder> StoreSession::liveFolder(FolderId id) const {
    const auto it = m_folders.find(id);
    return it == m_folders.end() ? nullptr : it->second.lock();
}

std::shared_ptr<Item> StoreSession::liveItem(ItemId id) const {
    const auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : it->second.lock();
}

Result<std::shared_ptr<Item>> StoreSession::itemObject(ItemId id) {
    if (auto live = liveItem(id)) {
        return live;
    }
    ORLO_TRY_ASSIGN(StoreFile* const f, file());
    ORLO_TRY_ASSIGN(ItemRecord record, f->load(id));
    ItemRecord& r = record;
    auto item = std::make_shared<Item>(Item::Init{shared_from_this(), r.folder, r.id,
                                                  std::move(r.messageClass),
                                                  std::move(r.properties), std::nullopt});
    m_items[id] = item;
    return item;
}

std::shared_ptr<Item> StoreSession::itemWithColumns(ItemId id, FolderId folder, PropertyMap values,
                                                    const QStringList& columns) {
    if (auto live = liveItem(id)) {
        return live;
    }
    auto item = std::make_shared<Item>(
        Item::Init{shared_from_this(), folder, id, QString(), std::move(values), columns});
    m_items[id] = item;
    return item;
}

void StoreSession::registerItem(const std::shared_ptr<Item>& item) {
    m_items[item->entryId()] = item;
}

void StoreSession::forgetItem(ItemId id) {
    const auto it = m_items.find(id);
    if (it != m_items.end() && it->second.expired()) {
        m_items.erase(it);
    }
}

}  // namespace orlo::host
