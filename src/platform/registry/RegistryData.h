#pragma once
// RegistryData: the whole content of one settings file in memory, and the
// file's text form. Keys and value names compare without regard to case, as
// the registry's do, and keep the spelling they were created with.
//
// File form (UTF-8 JSON):
//   {"format": "orlo-registry", "version": 1,
//    "keys": [{"root": "HKEY_CURRENT_USER", "path": "Software\\Orlo",
//              "values": [{"name": "x", "type": 1, "data": "<base64>"}]}]}
// Every key is listed, parents included; data are the value's raw bytes.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>

#include "platform/core/Result.h"
#include "platform/registry/RegistryTypes.h"

namespace orlo {

class RegistryData {
public:
    static constexpr int kVersion = 1;

    // Reads the file's bytes; `fileName` only goes into error texts.
    static Result<RegistryData> parse(const QByteArray& bytes, const QString& fileName);
    QByteArray serialize() const;

    // Splits "A\B\C" (one trailing backslash allowed) into its names; an
    // empty name anywhere else (leading "\", "\\") is an error. "" is the root.
    static Result<QStringList> splitPath(QStringView path);

    // The key as stored (its first spelling), or nothing when absent.
    std::optional<RegistryKey> findKey(RegistryRoot root, const QStringList& names) const;
    // Creates the key and every missing parent; returns it as stored.
    RegistryKey createKey(RegistryRoot root, const QStringList& names);

    const RegistryValue* value(const RegistryKey& key, const QString& name) const;
    QStringList valueNames(const RegistryKey& key) const;
    // The names of the key's direct subkeys, as spelled when created, sorted
    // without regard to case.
    QStringList subkeyNames(const RegistryKey& key) const;
    // Creates the key when it is missing (another process may have rebuilt
    // the file since the key was opened).
    void setValue(const RegistryKey& key, const QString& name, const RegistryValue& value);

private:
    struct NamedValue {
        QString name;
        RegistryValue value;
    };
    struct Key {
        RegistryKey key;
        std::map<QString, NamedValue> values;  // by case-folded name
    };

    static QString id(RegistryRoot root, const QStringList& names);
    Key* keyFor(const RegistryKey& key);
    const Key* keyFor(const RegistryKey& key) const;

    std::map<QString, Key> m_keys;  // by root and case-folded path
};

}  // namespace orlo
