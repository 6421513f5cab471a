#include "host/store/StoreHeader.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include "host/store/StoreSchema.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::host {

namespace {

constexpr qint64 kHeaderSize = 100;
constexpr char kSqliteMagic[] = "SQLite format 3";  // followed by a NUL byte

constexpr QStringView kSource = u"Orlo Store";

quint32 be32(const QByteArray& h, int offset) {
    return qFromBigEndian<quint32>(h.constData() + offset);
}

bool hasHotJournal(const QString& path) {
    const QFileInfo journal(path + u"-journal"_s);
    return journal.exists() && journal.size() > 0;
}

}  // namespace

Error storeError(const QString& path, const QString& what) {
    return makeError(err::kProviderFailure, u"The item store file \"%1\" %2"_s.arg(path, what),
                     kSource.toString());
}

Status StoreHeader::check(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return storeError(path, u"does not exist."_s);
    }
    if (!info.isFile()) {
        return storeError(path, u"is not a file."_s);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return storeError(path, u"cannot be read: %1"_s.arg(file.errorString()));
    }
    const QByteArray h = file.read(kHeaderSize);
    if (h.size() < kHeaderSize || !h.startsWith(QByteArray(kSqliteMagic, sizeof kSqliteMagic))) {
        return storeError(path, u"is not an item store."_s);
    }
    if (be32(h, 68) != schema::kApplicationId) {
        return storeError(path, u"is not an item store (another program's database)."_s);
    }
    const auto version = static_cast<qint32>(be32(h, 60));
    if (version != schema::kSchemaVersion) {
        return storeError(
            path, u"has store version %1; this program reads version %2."_s.arg(version).arg(
                      schema::kSchemaVersion));
    }
    // Page size at 16 (1 means 65536), page count at 28; the count is valid
    // when the change counter at 24 equals the version-valid-for at 92.
    qint64 pageSize = qFromBigEndian<quint16>(h.constData() + 16);
    if (pageSize == 1) {
        pageSize = 65536;
    }
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) {
        return storeError(path, u"is damaged (bad page size)."_s);
    }
    const qint64 pages = be32(h, 28);
    if (be32(h, 24) == be32(h, 92) && !hasHotJournal(path) && info.size() < pages * pageSize) {
        return storeError(
            path,
            u"is damaged (truncated to %1 of %2 bytes)."_s.arg(info.size()).arg(pages * pageSize));
    }
    return okStatus();
}

Status StoreHeader::checkWritable(const QString& path) {
    const auto anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    const QFileInfo info(path);
    if (!(info.permissions() & anyWrite) ||
        !(QFileInfo(info.absolutePath()).permissions() & anyWrite)) {
        return storeError(path, u"cannot be written: the file or its folder is read-only."_s);
    }
    return okStatus();
}

}  // namespace orlo::host
