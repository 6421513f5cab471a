#pragma once
// Folders: the folders below a folder (or the top folders of the open
// stores), by name and by 1-based index, in the store's order.

#include <QString>
#include <memory>
#include <vector>

#include "host/store/StoreFile.h"
#include "platform/core/Result.h"

namespace orlo::host {

class MAPIFolder;

class Folders {
public:
    // parent is nothing for the namespace's top folders.
    Folders(std::vector<std::shared_ptr<MAPIFolder>> folders, std::shared_ptr<MAPIFolder> parent);

    int Count() const { return static_cast<int>(m_folders.size()); }
    // By name, ignoring case as the desk does; error "object not found".
    Result<std::shared_ptr<MAPIFolder>> Item(const QString& name) const;
    Result<std::shared_ptr<MAPIFolder>> Item(int index) const;
    // Creates a subfolder; its default form is the kind's standard class
    // unless one is given. Not possible among the top folders (AddStore).
    Result<std::shared_ptr<MAPIFolder>> Add(const QString& name, FolderKind kind,
                                            const QString& defaultMessageClass = {});

    auto begin() const { return m_folders.begin(); }
    auto end() const { return m_folders.end(); }

private:
    std::vector<std::shared_ptr<MAPIFolder>> m_folders;
    std::shared_ptr<MAPIFolder> m_parent;
};

}  // namespace orlo::host
