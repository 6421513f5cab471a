#include "tools/store/AddinStore.h"

#include "host/store/StoreHeader.h"

namespace orlo::tools {

using host::FolderId;
using host::FolderKind;
using host::StoreFile;

Result<std::unique_ptr<StoreFile>> createAddinStore(const QString& path) {
    auto created = StoreFile::create(path, QString::fromUtf16(kAddinTopFolder));
    if (!created) {
        return created.error();
    }
    std::unique_ptr<StoreFile> store = std::move(created).value();
    const FolderId top = store->topFolder();
    for (const auto& [name, kind, cls] :
         {std::tuple{kPatientsFolder, FolderKind::Contacts, kPatientClass},
          std::tuple{kSchedulerFolder, FolderKind::Calendar, kSchedulerClass}}) {
        if (auto f =
                store->createFolder(top, QString::fromUtf16(name), kind, QString::fromUtf16(cls));
            !f) {
            return f.error();
        }
    }
    return store;
}

Result<FolderId> folderByPath(const StoreFile& store, const QString& path) {
    QStringList names = path.split(u'/', Qt::SkipEmptyParts);
    Result<host::FolderInfo> top = store.folder(store.topFolder());
    if (!top) {
        return top.error();
    }
    if (!names.isEmpty() && names.front().compare(top->name, Qt::CaseInsensitive) == 0) {
        names.removeFirst();
    }
    FolderId current = store.topFolder();
    QString walked = top->name;
    for (const QString& name : names) {
        std::optional<FolderId> next;
        ORLO_TRY_ASSIGN(const std::vector<host::FolderInfo> subs, store.subfolders(current));
        for (const host::FolderInfo& sub : subs) {
            if (sub.name.compare(name, Qt::CaseInsensitive) == 0) {
                next = sub.id;
                break;
            }
        }
        if (!next) {
            return host::storeError(
                store.path(), QStringLiteral("has no folder \"%1\" in \"%2\".").arg(name, walked));
        }
        current = *next;
        walked += u'/' + name;
    }
    return current;
}

Result<AddinFolders> addinFolders(const StoreFile& store) {
    AddinFolders f;
    f.top = store.topFolder();
    Result<FolderId> patients = folderByPath(store, QString::fromUtf16(kPatientsFolder));
    if (!patients) {
        return patients.error();
    }
    Result<FolderId> scheduler = folderByPath(store, QString::fromUtf16(kSchedulerFolder));
    if (!scheduler) {
        return scheduler.error();
    }
    f.patients = *patients;
    f.scheduler = *scheduler;
    return f;
}

}  // namespace orlo::tools
