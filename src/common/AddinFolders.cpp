#include "common/AddinFolders.h"

#include "host/Application.h"
#include "host/Folders.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"

namespace orlo {

QString AddinPstPath(const AppFolder& folder) {
    return folder.path(QString::fromUtf16(kAddinPstName));
}

Result<std::shared_ptr<host::NameSpace>> addinNamespace(
    const std::shared_ptr<host::Application>& application) {
    if (!application) {
        return makeError(err::kObjectNotSet,
                         QStringLiteral("Object variable or With block variable not set"));
    }
    return application->GetNamespace(QString::fromUtf16(host::Application::kMapiNamespace));
}

Result<std::shared_ptr<host::MAPIFolder>> addinTopFolder(
    const std::shared_ptr<host::Application>& application) {
    ORLO_TRY_ASSIGN(const std::shared_ptr<host::NameSpace> ns, addinNamespace(application));
    return ns->Folders()->Item(QString::fromUtf16(kAddinTopFolderName));
}

Result<std::shared_ptr<host::MAPIFolder>> addinFolder(
    const std::shared_ptr<host::Application>& application, const QString& name) {
    ORLO_TRY_ASSIGN(const std::shared_ptr<host::MAPIFolder> top, addinTopFolder(application));
    return top->Folders()->Item(name);
}

}  // namespace orlo
