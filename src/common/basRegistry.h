#pragma once
// basRegistry: every access of the add-in to its settings. The routines read
// and write typed values of the per-user settings store under a root key;
// every caller in the system passes HKEY_CURRENT_USER and AddinRegistryKey.
//
// Text values are stored as UTF-8 (the code page of this platform), as
// many bytes as the text needs and no terminating NUL; readers drop one
// trailing NUL, so a value another tool wrote with one reads the same.

#include <QStringView>

#include "platform/core/Locale.h"
#include "platform/core/Result.h"
#include "platform/core/Variant.h"
#include "platform/registry/RegistryStore.h"

namespace orlo {

inline constexpr RegistryRoot HKEY_CURRENT_USER = RegistryRoot::CurrentUser;
inline constexpr quint32 REG_SZ = kRegSz;
inline constexpr quint32 REG_DWORD = kRegDword;

// The add-in's own registration key and its three values.
inline constexpr char16_t AddinRegistryKey[] =
    u"Software\\Microsoft\\Office\\Outlook\\Addins\\OrlonetPROv1.Connect\\";
inline constexpr char16_t kDefaultDbLocationValue[] = u"defaultDBlocation";
inline constexpr char16_t kManualIpValue[] = u"ManualIP";
inline constexpr char16_t kManualIpEnabledValue[] = u"ManualIPEnabled";

class basRegistry {
public:
    // `locale` turns non-text values into text for REG_SZ and reads numbers
    // from text for REG_DWORD.
    explicit basRegistry(RegistryStore& store, Locale locale = Locale::system());

    // The value of root\keyPath\valueName: text for REG_SZ (one trailing NUL
    // dropped), a 32-bit integer for REG_DWORD; Empty when the key or value
    // is absent, has another type or the store cannot be read.
    Variant RegReadValue(RegistryRoot root, QStringView keyPath, QStringView valueName) const;

    // Writes the value, creating the key. One leading "\" of keyPath is
    // dropped; False without writing when the path is then empty. False also
    // when the write fails (see writeKeyValue for the reason).
    bool RegWriteKeyValue(RegistryRoot root, QStringView keyPath, QStringView valueName,
                          const Variant& value, quint32 valueType);
    // The same write, saying why it failed.
    Status writeKeyValue(RegistryRoot root, QStringView keyPath, QStringView valueName,
                         const Variant& value, quint32 valueType);

    // REG_SZ: the stored text, every byte of it; REG_DWORD: the integer. Any
    // other type, a malformed DWORD or an absent value: a failure status and
    // `value` left Empty.
    Status RegQueryTypedValue(const RegistryKey& key, QStringView valueName, Variant& value) const;
    // REG_SZ: the value's text without a NUL; REG_DWORD: its 4 bytes. Other
    // types are refused (error 87).
    Status RegSetTypedValue(const RegistryKey& key, QStringView valueName, quint32 valueType,
                            const Variant& value);

    RegistryStore& store() const { return m_store; }

private:
    RegistryStore& m_store;
    Locale m_locale;
};

}  // namespace orlo
