#pragma once
// A scratch workstation for the desk's tests: an application folder, a
// settings file and the add-in's store ("Orlo Networked V.1" with
// "Patients" and "Scheduler") made with the store API, optionally seeded;
// for the roads through a real orlo-desk, the add-in library listed to load
// at start-up and an empty shared database.

#include <QString>
#include <QTemporaryDir>
#include <cstdint>

namespace orlo::desk::test {

inline constexpr char16_t kTop[] = u"Orlo Networked V.1";
inline constexpr char16_t kPatients[] = u"Orlo Networked V.1/Patients";
inline constexpr char16_t kScheduler[] = u"Orlo Networked V.1/Scheduler";

struct DeskTestStore {
    // Creates the folder, PST/ and the store; false when any step failed.
    bool create(std::int64_t contacts = 0, std::int64_t appointments = 0);
    // Copies the add-in library into the application folder and lists it to
    // load at start-up; false when a step failed.
    bool listAddin(const QString& library);
    // The folders the started add-in uses (META, logs, Database, Help) and
    // an empty shared database: its path, or "" when a step failed.
    QString addDatabase();
    // create(), addDatabase() and listAddin(library): a workstation the
    // desk starts with the add-in on an empty shared database; its path,
    // or "" when a step failed.
    QString createWithAddin(const QString& library);

    QTemporaryDir dir;
    QString appDir;
    QString registryFile;
    QString storePath;
};

}  // namespace orlo::desk::test
