#include "sync/ScratchDatabase.h"

#include <QDir>
#include <QFileInfo>

#include "platform/data/DatabaseFile.h"
#include "records/Schema.h"

namespace orlo::sync {

Result<QString> ensureScratchDatabase(const AppFolder& folder) {
    const QString path = folder.path(QString::fromUtf16(kScratchDatabaseName));
    if (QFileInfo::exists(path)) {
        return path;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return makeError(err::kPathNotFound,
                         QStringLiteral("The folder of %1 cannot be made.").arg(path),
                         QStringLiteral("Orlo"));
    }
    ORLO_TRY(data::createDatabaseFile(path, records::scratchSchemaStatements(),
                                      data::DatabaseKind::Scratch));
    return path;
}

}  // namespace orlo::sync
