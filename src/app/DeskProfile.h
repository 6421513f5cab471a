#pragma once
// DeskProfile: the list of store files a desk profile opens at start-up,
// kept in the per-user settings store under
// "Software\Orlo\Desk\Profiles\<profile>" as the REG_SZ value "Stores" (one
// path a line, UTF-8). A profile seen for the first time has no value yet;
// the desk then starts it with its personal store.

#include <QString>
#include <QStringList>
#include <optional>

#include "platform/core/Result.h"

namespace orlo {
class RegistryStore;
}

namespace orlo::desk {

class DeskProfile {
public:
    static constexpr char16_t kProfilesKey[] = u"Software\\Orlo\\Desk\\Profiles\\";
    static constexpr char16_t kStoresValue[] = u"Stores";
    // The personal store of a new profile, under the application folder.
    static constexpr char16_t kPersonalStore[] = u"\\PST\\Personal.pst";

    DeskProfile(RegistryStore& settings, QString name);

    // The stores, in order; nothing when the profile was never saved (or
    // the settings cannot be read).
    std::optional<QStringList> stores() const;
    Status save(const QStringList& stores);
    QString keyPath() const;

private:
    RegistryStore& m_settings;
    QString m_name;
};

}  // namespace orlo::desk
