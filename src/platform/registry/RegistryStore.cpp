#include "platform/registry/RegistryStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QThread>

using namespace Qt::Literals::StringLiterals;

namespace orlo {

namespace {

constexpr QStringView kSource = u"Registry";

Error fileError(long number, const QString& what, const QString& path, const QString& why) {
    return makeError(number, what + QLatin1Char(' ') + path + u": "_s + why, kSource.toString());
}

}  // namespace

QString RegistryStore::defaultFilePath() {
    const QString explicitFile = qEnvironmentVariable(kFileVariable);
    if (!explicitFile.isEmpty()) {
        return explicitFile;
    }
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // The base-directory rules ignore a relative XDG_CONFIG_HOME.
    if (config.isEmpty() || QDir::isRelativePath(config)) {
        config = QDir::homePath() + u"/.config"_s;
    }
    return config + u"/orlo/registry"_s;
}

RegistryStore::RegistryStore(QString filePath)
    : m_filePath(filePath.isEmpty() ? defaultFilePath() : std::move(filePath)) {}

Result<RegistryData> RegistryStore::load() const {
    ORLO_TRY_ASSIGN(RegistryData data, loadFile());
    for (const ProcessValue& v : m_processValues) {
        data.setValue(data.createKey(v.root, v.names), v.name, v.value);
    }
    return data;
}

Result<RegistryData> RegistryStore::loadFile() const {
    QFile file(m_filePath);
    if (!file.exists()) {
        return RegistryData();
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return fileError(err::kRegistryCantRead, u"Cannot read the settings file"_s, m_filePath,
                         file.errorString());
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return fileError(err::kRegistryCantRead, u"Cannot read the settings file"_s, m_filePath,
                         file.errorString());
    }
    return RegistryData::parse(bytes, m_filePath);
}

Status RegistryStore::save(const RegistryData& data) const {
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly)) {
        return fileError(err::kRegistryCantWrite, u"Cannot write the settings file"_s, m_filePath,
                         file.errorString());
    }
    const QByteArray bytes = data.serialize();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        return fileError(err::kRegistryCantWrite, u"Cannot write the settings file"_s, m_filePath,
                         file.errorString());
    }
    return okStatus();
}

Status RegistryStore::modify(const std::function<void(RegistryData&)>& change) {
    const QFileInfo info(m_filePath);
    if (!QDir().mkpath(info.absolutePath())) {
        return fileError(err::kRegistryCantWrite, u"Cannot create the folder of"_s, m_filePath,
                         u"mkdir failed"_s);
    }
    const QString lockPath = m_filePath + u".lock"_s;
    if (QFileInfo(lockPath).isDir()) {
        // A folder of that name can never be taken as a lock: waiting for it
        // would only stall the caller. (One stat: asking "exists" and then
        // "is a file" races with another process releasing its lock file.)
        return fileError(err::kRegistryCantWrite, u"Cannot lock the settings file"_s, m_filePath,
                         lockPath + u" is not a file; remove it or move it away"_s);
    }
    QLockFile lock(lockPath);
    // A lock left by a process that died is taken over at once (its owner is
    // gone); one older than this is taken over even if the owner lives on.
    lock.setStaleLockTime(30000);
    // QLockFile's own waiting backs off to seconds between tries; a write
    // holds the lock for a millisecond or two, so poll briskly instead.
    const QDeadlineTimer deadline(m_lockTimeout);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError) {
            return fileError(
                err::kRegistryCantWrite, u"Cannot lock the settings file"_s, m_filePath,
                u"lock file error "_s + QString::number(static_cast<int>(lock.error())));
        }
        if (deadline.hasExpired()) {
            return fileError(err::kRegistryLocked, u"The settings file"_s, m_filePath,
                             u"is locked by another process"_s);
        }
        QThread::msleep(2);
    }
    ORLO_TRY_ASSIGN(RegistryData data, loadFile());
    change(data);
    return save(data);
}

Result<RegistryKey> RegistryStore::openKey(RegistryRoot root, QStringView path) const {
    ORLO_TRY_ASSIGN(const QStringList names, RegistryData::splitPath(path));
    ORLO_TRY_ASSIGN(const RegistryData data, load());
    const std::optional<RegistryKey> key = data.findKey(root, names);
    if (!key) {
        return makeError(err::kRegistryFileNotFound, u"No such key: "_s + path.toString(),
                         kSource.toString());
    }
    return *key;
}

Result<RegistryKey> RegistryStore::createKey(RegistryRoot root, QStringView path) {
    ORLO_TRY_ASSIGN(const QStringList names, RegistryData::splitPath(path));
    {
        // Most opens find the key; they need no lock and no write.
        ORLO_TRY_ASSIGN(const RegistryData data, load());
        if (const std::optional<RegistryKey> key = data.findKey(root, names)) {
            return *key;
        }
    }
    RegistryKey created;
    ORLO_TRY(modify([&](RegistryData& d) { created = d.createKey(root, names); }));
    return created;
}

Result<std::optional<RegistryValue>> RegistryStore::queryValue(const RegistryKey& key,
                                                               const QString& name) const {
    ORLO_TRY_ASSIGN(const RegistryData data, load());
    const RegistryValue* v = data.value(key, name);
    return v ? std::optional<RegistryValue>(*v) : std::nullopt;
}

Result<QStringList> RegistryStore::valueNames(const RegistryKey& key) const {
    ORLO_TRY_ASSIGN(const RegistryData data, load());
    return data.valueNames(key);
}

Result<QStringList> RegistryStore::subkeyNames(const RegistryKey& key) const {
    ORLO_TRY_ASSIGN(const RegistryData data, load());
    return data.subkeyNames(key);
}

Status RegistryStore::setValue(const RegistryKey& key, const QString& name,
                               const RegistryValue& value) {
    ORLO_TRY(modify([&](RegistryData& d) { d.setValue(key, name, value); }));
    std::erase_if(m_processValues, [&](const ProcessValue& v) {
        return v.root == key.root && v.name.compare(name, Qt::CaseInsensitive) == 0 &&
               v.names.join(u'\\').compare(key.path, Qt::CaseInsensitive) == 0;
    });
    return okStatus();
}

Status RegistryStore::setProcessValue(RegistryRoot root, QStringView path, const QString& name,
                                      const RegistryValue& value) {
    ORLO_TRY_ASSIGN(const QStringList names, RegistryData::splitPath(path));
    m_processValues.push_back({root, names, name, value});
    return okStatus();
}

Status RegistryStore::check() const {
    const Result<RegistryData> data = load();
    return data.ok() ? okStatus() : Status(data.error());
}

}  // namespace orlo
