#pragma once
// The vocabulary of the per-user settings store: the predefined roots, the
// value types, a typed value as raw bytes, an open key, and the error numbers
// the store returns (the registry's own numbers, so callers that know them
// can test them).

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

#include "platform/core/Error.h"

namespace orlo {

// The predefined keys, numbered as their handles are. The system itself only
// uses CurrentUser; the others are kept so the file can hold what a tool
// puts there.
enum class RegistryRoot : quint32 {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
};

// "HKEY_CURRENT_USER" and so on; the names the settings file uses.
QString registryRootName(RegistryRoot root);
std::optional<RegistryRoot> registryRootFromName(QStringView name);

// Value types the system reads and writes; any other type is kept as raw
// bytes and handed back unchanged.
inline constexpr quint32 kRegSz = 1;     // text
inline constexpr quint32 kRegDword = 4;  // 32-bit little-endian integer

struct RegistryValue {
    quint32 type = 0;
    QByteArray data;

    bool operator==(const RegistryValue&) const = default;
};

// An open key: the root and the key's path as first created (components
// joined by "\", no leading or trailing backslash; empty for the root).
struct RegistryKey {
    RegistryRoot root = RegistryRoot::CurrentUser;
    QString path;

    bool operator==(const RegistryKey&) const = default;
};

namespace err {
inline constexpr long kRegistryFileNotFound = 2;   // key or value absent
inline constexpr long kRegistryLocked = 33;        // another process holds the store too long
inline constexpr long kRegistryBadParameter = 87;  // unsupported type or malformed data
inline constexpr long kRegistryBadPath = 161;      // empty component in a key path
inline constexpr long kRegistryCorrupt = 1009;     // the settings file does not parse
inline constexpr long kRegistryCantRead = 1012;    // the settings file cannot be read
inline constexpr long kRegistryCantWrite = 1013;   // the settings file cannot be written
}  // namespace err

}  // namespace orlo
