#include "host/Folders.h"

#include "host/HostErrors.h"
#include "host/ItemClass.h"
#include "host/MAPIFolder.h"
#include "host/StoreSession.h"

namespace orlo::host {

namespace {

Error notFound(const QString& what) {
    return err::hostError(
        err::kObjectNotFound,
        QStringLiteral("The operation failed. An object could not be found: %1").arg(what));
}

QString standardClass(FolderKind kind) {
    switch (kind) {
        case FolderKind::Contacts:
            return QString::fromUtf16(kContactMessageClass);
        case FolderKind::Calendar:
            return QString::fromUtf16(kAppointmentMessageClass);
        case FolderKind::Mail:
            break;
    }
    return QString::fromUtf16(kMailMessageClass);
}

}  // namespace

Folders::Folders(std::vector<std::shared_ptr<MAPIFolder>> folders,
                 std::shared_ptr<MAPIFolder> parent)
    : m_folders(std::move(folders)), m_parent(std::move(parent)) {}

Result<std::shared_ptr<MAPIFolder>> Folders::Item(const QString& name) const {
    for (const auto& f : m_folders) {
        if (f->Name().compare(name, Qt::CaseInsensitive) == 0) {
            return f;
        }
    }
    return notFound(name);
}

Result<std::shared_ptr<MAPIFolder>> Folders::Item(int index) const {
    if (index < 1 || index > Count()) {
        return notFound(QString::number(index));
    }
    return m_folders[static_cast<std::size_t>(index - 1)];
}

Result<std::shared_ptr<MAPIFolder>> Folders::Add(const QString& name, FolderKind kind,
                                                 const QString& defaultMessageClass) {
    if (!m_parent) {
        return err::hostError(err::kInvalidArgument,
                              QStringLiteral("A top folder comes only with a store (AddStore)."));
    }
    if (name.trimmed().isEmpty() || Item(name).ok()) {
        return err::hostError(err::kInvalidArgument,
                              QStringLiteral("Cannot create the folder \"%1\".").arg(name));
    }
    const auto session = m_parent->session();
    ORLO_TRY_ASSIGN(StoreFile* const file, session->file());
    const QString cls = defaultMessageClass.isEmpty() ? standardClass(kind) : defaultMessageClass;
    ORLO_TRY_ASSIGN(const FolderId id, file->createFolder(m_parent->id(), name, kind, cls));
    ORLO_TRY_ASSIGN(const FolderInfo info, file->folder(id));
    auto folder = session->folderObject(info);
    m_folders.push_back(folder);
    return folder;
}

}  // namespace orlo::host
