#pragma once
// RegistryStore: the per-user typed settings store that stands in for the
// registry. One file per user holds every key and value:
//
//   1. the file given to the constructor, else
//   2. the file named by the environment variable ORLO_REGISTRY_FILE, else
//   3. $XDG_CONFIG_HOME/orlo/registry (~/.config/orlo/registry).
//
// Every read reads the file afresh, so values written by another process are
// seen at once. Every write is a read-modify-write under an inter-process
// lock (a lock file beside the settings file), re-reading the file inside
// the lock, and replaces the file atomically: two processes writing at once
// keep each other's values, and a crash leaves the old or the new file,
// never half of one. A file that does not parse is reported with its path
// and is never overwritten: writes refuse until someone repairs or removes it.

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "platform/core/Result.h"
#include "platform/registry/RegistryData.h"
#include "platform/registry/RegistryTypes.h"

namespace orlo {

class RegistryStore {
public:
    static constexpr char kFileVariable[] = "ORLO_REGISTRY_FILE";

    // The file of rules 2 and 3 above.
    static QString defaultFilePath();

    RegistryStore() : RegistryStore(QString()) {}
    // An empty path means defaultFilePath().
    explicit RegistryStore(QString filePath);

    const QString& filePath() const { return m_filePath; }
    // How long a write waits for another process to finish its own.
    void setLockTimeout(std::chrono::milliseconds timeout) { m_lockTimeout = timeout; }

    // Opens an existing key; error 2 when it is absent. "" opens the root.
    Result<RegistryKey> openKey(RegistryRoot root, QStringView path) const;
    // Opens the key, creating it and its parents when missing.
    Result<RegistryKey> createKey(RegistryRoot root, QStringView path);

    // The value's type and raw bytes; nothing when the value is absent.
    Result<std::optional<RegistryValue>> queryValue(const RegistryKey& key,
                                                    const QString& name) const;
    Result<QStringList> valueNames(const RegistryKey& key) const;
    // The key's direct subkeys (RegEnumKey), sorted without regard to case.
    Result<QStringList> subkeyNames(const RegistryKey& key) const;
    Status setValue(const RegistryKey& key, const QString& name, const RegistryValue& value);

    // Whether the file can be read and parses (an absent file is fine).
    Status check() const;

    // A value this process reads in place of the file's own (a location
    // given for one start), never written to the file. Writing the same
    // value through this store ends it, so a choice saved later wins.
    Status setProcessValue(RegistryRoot root, QStringView path, const QString& name,
                           const RegistryValue& value);

private:
    struct ProcessValue {
        RegistryRoot root;
        QStringList names;
        QString name;
        RegistryValue value;
    };

    // The file with this process's values over it; loadFile: the file alone.
    Result<RegistryData> load() const;
    Result<RegistryData> loadFile() const;
    // Runs `change` on the file's current content under the lock and writes
    // the result back.
    Status modify(const std::function<void(RegistryData&)>& change);
    Status save(const RegistryData& data) const;

    QString m_filePath;
    std::vector<ProcessValue> m_processValues;
    std::chrono::milliseconds m_lockTimeout{10000};
};

}  // namespace orlo
