#pragma once
// AddinList: the desk's list of add-ins in the per-user settings store. Each
// add-in has a key named by its ProgId under
//
//   HKEY_CURRENT_USER\Software\Microsoft\Office\Outlook\Addins\<ProgId>
//
// with the values
//
//   "Path"          REG_SZ     absolute path of the add-in library
//   "LoadBehavior"  REG_DWORD  bit 1: load at start-up, bit 0: connected;
//                              3 loads the add-in when the desk starts,
//                              2 keeps it listed but unloaded
//   "FriendlyName"  REG_SZ     the name the add-in list shows (optional)
//
// The add-in may keep its own settings as further values of the same key.

#include <QString>
#include <vector>

#include "platform/core/Result.h"
#include "platform/registry/RegistryStore.h"

namespace orlo::host {

struct AddinRegistration {
    QString progId;
    QString path;
    quint32 loadBehavior = 0;
    QString friendlyName;

    bool loadsAtStartup() const;
};

class AddinList {
public:
    static constexpr char16_t kAddinsKey[] = u"Software\\Microsoft\\Office\\Outlook\\Addins";
    static constexpr char16_t kPathValue[] = u"Path";
    static constexpr char16_t kLoadBehaviorValue[] = u"LoadBehavior";
    static constexpr char16_t kFriendlyNameValue[] = u"FriendlyName";

    static constexpr quint32 kConnectedBit = 1;
    static constexpr quint32 kStartupBit = 2;
    static constexpr quint32 kLoadAtStartup = kStartupBit | kConnectedBit;
    static constexpr quint32 kNotLoaded = kStartupBit;

    // The store must outlive the list.
    explicit AddinList(RegistryStore& store) : m_store(store) {}

    // Every add-in of the list, ordered by ProgId without regard to case;
    // no list at all is an empty one.
    Result<std::vector<AddinRegistration>> registrations() const;
    // One add-in; error 429 when it is not listed.
    Result<AddinRegistration> registration(const QString& progId) const;

    // Lists the add-in, or updates its entry, leaving its other values alone.
    Status registerAddin(const AddinRegistration& addin);
    Status setLoadBehavior(const QString& progId, quint32 loadBehavior);

private:
    RegistryStore& m_store;
};

}  // namespace orlo::host
