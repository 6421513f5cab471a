#include "sync/ScratchDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/data/DatabaseFile.h"
#include "records/Schema.h"

namespace orlo::sync {

namespace {
// Another desk of this workstation may be committing to the file.
constexpr int kScratchLockWaitMs = 2000;
}  // namespace

Result<QString> ensureScratchDatabase(const AppFolder& folder) {
    const QString path = folder.path(QString::fromUtf16(kScratchDatabaseName));
    if (QFileInfo::exists(path)) {
        // A file of an older layout still holds the tables the statements
        // name, but not the keys as rowids the difference is fast with; a
        // damaged one fails every run. Either is made anew: it holds nothing
        // between runs. (Another desk of this workstation that still has the
        // old file open goes on with it until its run ends.)
        const Result<int> version = data::databaseFileVersion(path, kScratchLockWaitMs);
        if (version && *version == records::kScratchSchemaVersion) {
            return path;
        }
        if (!QFile::remove(path)) {
            return makeError(
                err::kPathFileAccessError,
                QStringLiteral("The scratch database %1 cannot be replaced.").arg(path),
                QStringLiteral("Orlo"));
        }
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
