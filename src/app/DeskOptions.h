#pragma once
// DeskOptions: how one orlo-desk process is set up: its application folder,
// its settings file, the profile (which stores it opens), extra stores, the
// regional settings and whether it is driven by the automation channel.
// Every setting has a command-line option and an environment variable, the
// option winning, so that several workstations can run on one machine.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "platform/core/Result.h"

namespace orlo::desk {

struct DeskOptions {
    static constexpr char kAppDirVariable[] = "ORLO_APPDIR";
    static constexpr char kRegistryVariable[] = "ORLO_REGISTRY_FILE";
    static constexpr char kProfileVariable[] = "ORLO_PROFILE";
    static constexpr char kStoresVariable[] = "ORLO_STORES";
    static constexpr char kLocaleVariable[] = "ORLO_LOCALE";
    // The add-in reads the shared database's location of this start here.
    static constexpr char kDatabaseVariable[] = "ORLO_DB";
    static constexpr char16_t kDefaultProfile[] = u"Orlo";

    // The application folder (PST/, META/, logs/, Help/, Database/).
    QString appDir;
    // The per-user settings file; empty: the settings store's own default.
    QString registryFile;
    // The profile's name in the settings store.
    QString profile;
    // Stores opened at start-up and added to the profile.
    QStringList stores;
    // The shared database for this start only (a file path or a
    // postgresql:// URI) in place of the saved setting; empty: the setting.
    QString database;
    // "uk", "us" or "system".
    QString locale;
    bool automation = false;
    bool help = false;

    // Reads the options after the program name, then fills what they left
    // open from the environment, then the defaults (the current folder,
    // profile "Orlo", the system locale).
    static Result<DeskOptions> parse(const QStringList& arguments,
                                     const QProcessEnvironment& environment);
    static QString usage();
};

}  // namespace orlo::desk
