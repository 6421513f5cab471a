#include "host/store/StoreHeader.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include "host/store/StoreSchema.h"

namespace orlo::host {

namespace {

constexpr qint64 kHeaderSize = 100;
constexpr char kSqliteMagic[] = "SQLite format 3";  // followed by a NUL byte

const QString kSource = QStringLiteral("Orlo Store");

quint32 be32(const QByteArray& h, int offset) {
    return qFromBigEndian<quint32>(h.constData() + offset);
}

bool hasHotJournal(const QString& path) {
    const QFileInfo journal(path + QStringLiteral("-journal"));
    return journal.exists() && journal.size() > 0;
}

}  // namespace

Error storeError(const QString& path, const QString& what) {
    return makeError(err::kProviderFailure,
                     QStringLiteral("The item store file \"%1\" %2").arg(path, what), kSource);
}

Status StoreHeader::check(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return storeError(path, QStringLiteral("does not exist."));
    }
    if (!info.isFile()) {
        return storeError(path, QStringLiteral("is not a file."));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return storeError(path, QStringLiteral("cannot be read: %1").arg(file.errorString()));
    }
    const QByteArray h = file.read(kHeaderSize);
    if (h.size() < kHeaderSize || !h.startsWith(QByteArray(kSqliteMagic, sizeof kSqliteMagic))) {
        return storeError(path, QStringLiteral("is not an item store."));
    }
    if (be32(h, 68) != schema::kApplicationId) {
        return storeError(path,
                          QStringLiteral("is not an item store (another program's database)."));
    }
    const auto version = static_cast<qint32>(be32(h, 60));
    if (version != schema::kSchemaVersion) {
        return storeError(path,
                          QStringLiteral("has store version %1; this program reads version %2.")
                              .arg(version)
                              .arg(schema::kSchemaVersion));
    }
    // Page size at 16 (1 means 65536), page count at 28; the count is valid
    // when the change counter at 24 equals the version-valid-for at 92.
    qint64 pageSize = qFromBigEndian<quint16>(h.constData() + 16);
    if (pageSize == 1) {
        pageSize = 65536;
    }
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) {
        return storeError(path, QStringLiteral("is damaged (bad page size)."));
    }
    const qint64 pages = be32(h, 28);
    if (be32(h, 24) == be32(h, 92) && !hasHotJournal(path) && info.size() < pages * pageSize) {
        return storeError(path, QStringLiteral("is damaged (truncated to %1 of %2 bytes).")
                                    .arg(info.size())
                                    .arg(pages * pageSize));
    }
    return okStatus();
}

}  // namespace orlo::host
