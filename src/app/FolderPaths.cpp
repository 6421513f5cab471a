#include "app/FolderPaths.h"

#include "host/Folders.h"
#include "host/HostErrors.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"

namespace orlo::desk {

namespace {

void walk(const std::shared_ptr<host::MAPIFolder>& folder, const QString& path, int depth,
          std::vector<FolderEntry>& out) {
    out.push_back({path, depth, folder});
    const auto subs = folder->Folders();
    for (const auto& sub : *subs) {
        walk(sub, path + u'/' + sub->Name(), depth + 1, out);
    }
}

}  // namespace

std::vector<FolderEntry> allFolders(const host::NameSpace& ns) {
    std::vector<FolderEntry> out;
    const auto tops = ns.Folders();
    for (const auto& top : *tops) {
        walk(top, top->Name(), 0, out);
    }
    return out;
}

Result<std::shared_ptr<host::MAPIFolder>> folderAt(const host::NameSpace& ns, const QString& path) {
    const QStringList names = path.split(u'/', Qt::SkipEmptyParts);
    if (names.isEmpty()) {
        return host::err::hostError(host::err::kInvalidArgument,
                                    QStringLiteral("No folder path given."));
    }
    Result<std::shared_ptr<host::MAPIFolder>> current = ns.Folders()->Item(names.front());
    for (qsizetype i = 1; current && i < names.size(); ++i) {
        current = (*current)->Folders()->Item(names[i]);
    }
    if (!current) {
        return host::err::hostError(host::err::kObjectNotFound,
                                    QStringLiteral("There is no folder \"%1\".").arg(path));
    }
    return current;
}

QString pathOf(const host::NameSpace& ns, const host::MAPIFolder& folder) {
    for (const FolderEntry& e : allFolders(ns)) {
        if (e.folder->session() == folder.session() && e.folder->id() == folder.id()) {
            return e.path;
        }
    }
    return {};
}

}  // namespace orlo::desk
