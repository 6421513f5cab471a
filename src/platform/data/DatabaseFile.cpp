#include "platform/data/DatabaseFile.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>

#include "platform/data/DataErrors.h"
#include "platform/data/SqliteStatement.h"

namespace orlo::data {

namespace {

Error failure(const QString& text) {
    return makeError(orlo::err::kProviderFailure, text, QString::fromUtf16(kErrorSource));
}

}  // namespace

Status createDatabaseFile(const QString& path, const QStringList& statements, DatabaseKind kind) {
    if (QFileInfo::exists(path)) {
        return failure(
            QStringLiteral("The file '%1' already exists; it is not overwritten.").arg(path));
    }
    // Built under a temporary name and renamed at the end, so that no
    // half-made database ever carries the real name.
    const QString building = path + QStringLiteral(".creating");
    QFile::remove(building);
    sqlite3* db = nullptr;
    const QByteArray file = building.toUtf8();
    int rc =
        sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    auto abandon = [&](const QString& why) {
        sqlite3_close_v2(db);
        QFile::remove(building);
        return failure(QStringLiteral("Cannot create '%1': %2").arg(path, why));
    };
    if (rc != SQLITE_OK) {
        return abandon(QString::fromUtf8(sqlite3_errstr(rc)));
    }
    // The shared file lives on a share used by several workstations: the
    // rollback journal works wherever byte-range locks work, WAL does not
    // (it needs shared memory on one host).
    QStringList all = {
        QStringLiteral("PRAGMA journal_mode=DELETE"),
        QStringLiteral("PRAGMA application_id=%1")
            .arg(kind == DatabaseKind::Shared ? kSharedApplicationId : kScratchApplicationId),
        QStringLiteral("BEGIN")};
    all << statements << QStringLiteral("COMMIT");
    for (const QString& sql : all) {
        const QByteArray utf8 = sql.toUtf8();
        char* message = nullptr;
        rc = sqlite3_exec(db, utf8.constData(), nullptr, nullptr, &message);
        if (rc != SQLITE_OK) {
            const QString why = QString::fromUtf8(message ? message : sqlite3_errstr(rc));
            sqlite3_free(message);
            return abandon(why);
        }
    }
    sqlite3_close_v2(db);
    // rename() refuses to replace an existing file: a file that appeared in
    // the meantime is kept.
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        return failure(
            QStringLiteral("Cannot create '%1': the name is taken or not writable.").arg(path));
    }
    return {};
}

}  // namespace orlo::data
