#include "tools/store/AddinStore.h"

#include "host/store/StoreHeader.h"
#include "records/FieldMaps.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::tools {

using host::FolderId;
using host::FolderKind;
using host::StoreFile;

Result<std::unique_ptr<StoreFile>> createAddinStore(const QString& path) {
    ORLO_TRY_ASSIGN(std::unique_ptr<StoreFile> store,
                    StoreFile::create(path, kAddinTopFolder.toString()));
    const FolderId top = store->topFolder();
    for (const auto& [name, kind, cls] :
         {std::tuple{kPatientsFolder, FolderKind::Contacts, records::kPatientMessageClass},
          std::tuple{kSchedulerFolder, FolderKind::Calendar, records::kAppointmentMessageClass}}) {
        ORLO_TRY(store->createFolder(top, name.toString(), kind, QString::fromUtf16(cls)));
    }
    return store;
}

Result<FolderId> folderByPath(const StoreFile& store, const QString& path) {
    QStringList names = path.split(u'/', Qt::SkipEmptyParts);
    ORLO_TRY_ASSIGN(host::FolderInfo top, store.folder(store.topFolder()));
    if (!names.isEmpty() && names.front().compare(top.name, Qt::CaseInsensitive) == 0) {
        names.removeFirst();
    }
    FolderId current = store.topFolder();
    QString walked = top.name;
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
            return host::storeError(store.path(),
                                    u"has no folder \"%1\" in \"%2\"."_s.arg(name, walked));
        }
        current = *next;
        walked += u'/' + name;
    }
    return current;
}

Result<AddinFolders> addinFolders(const StoreFile& store) {
    AddinFolders f;
    f.top = store.topFolder();
    ORLO_TRY_ASSIGN(FolderId patients, folderByPath(store, kPatientsFolder.toString()));
    ORLO_TRY_ASSIGN(FolderId scheduler, folderByPath(store, kSchedulerFolder.toString()));
    f.patients = patients;
    f.scheduler = scheduler;
    return f;
}

}  // namespace orlo::tools
