#pragma once
// DeskLayout: what the desk keeps of its windows per workstation (sizes,
// splitter positions) in the settings file, under
// HKEY_CURRENT_USER\Software\Orlo\Desk\Layout, and the database the add-in
// is set to use, for the status bar. A value that cannot be read is
// nothing: the window then opens at its default size.

#include <QByteArray>
#include <QString>

#include "platform/core/Result.h"

namespace orlo {
class RegistryStore;
}

namespace orlo::desk {

class DeskLayout {
public:
    static constexpr char16_t kLayoutKey[] = u"Software\\Orlo\\Desk\\Layout";

    explicit DeskLayout(RegistryStore& settings) : m_settings(settings) {}

    QByteArray value(const QString& name) const;
    Status setValue(const QString& name, const QByteArray& value);

    // The add-in's "defaultDBlocation", a server's password shown as "***";
    // empty when none is set.
    QString databaseInUse() const;
    // Points the add-in's database at `location` for this process only; the
    // settings file keeps its value.
    Status useDatabaseForThisStart(const QString& location);

private:
    RegistryStore& m_settings;
};

}  // namespace orlo::desk
