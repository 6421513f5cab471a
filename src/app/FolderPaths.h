#pragma once
// Folder paths as the desk shows and the automation channel takes them:
// the names from a store's top folder down, joined by "/"
// ("Orlo Networked V.1/Patients"). Names compare without case.

#include <QString>
#include <memory>
#include <vector>

#include "platform/core/Result.h"

namespace orlo::host {
class MAPIFolder;
class NameSpace;
}  // namespace orlo::host

namespace orlo::desk {

struct FolderEntry {
    QString path;
    int depth = 0;  // 0 for a store's top folder
    std::shared_ptr<host::MAPIFolder> folder;
};

// Every folder of every open store, each parent before its subfolders.
std::vector<FolderEntry> allFolders(const host::NameSpace& ns);
// The folder at `path`; error "object not found" naming the missing part.
Result<std::shared_ptr<host::MAPIFolder>> folderAt(const host::NameSpace& ns, const QString& path);
// The path of a folder of an open store; empty when it is not found.
QString pathOf(const host::NameSpace& ns, const host::MAPIFolder& folder);

}  // namespace orlo::desk
