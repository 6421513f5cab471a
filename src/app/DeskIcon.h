#pragma once
// The desk's own icons, drawn here: the application's (a teal tile with a
// white ring and a cross, the clinic's mark) and the folder tree's (a
// patients folder, a calendar, any other folder).

#include <QIcon>

#include "host/store/StoreFile.h"

namespace orlo::desk {

QIcon deskIcon();
QIcon folderIcon(host::FolderKind kind);

}  // namespace orlo::desk
