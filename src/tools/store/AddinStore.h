#pragma once
// The add-in's own item store: its file name under the application folder
// and its folder tree, "Orlo Networked V.1" with the contacts folder
// "Patients" and the calendar folder "Scheduler", whose items take the
// patient and appointment forms (records::kPatientMessageClass and
// records::kAppointmentMessageClass).

#include <QString>
#include <QStringView>

#include "host/store/StoreFile.h"

namespace orlo::tools {

inline constexpr QStringView kAddinStoreFile = u"PST/12-27Orlonetv1.pst";
inline constexpr QStringView kAddinTopFolder = u"Orlo Networked V.1";
inline constexpr QStringView kPatientsFolder = u"Patients";
inline constexpr QStringView kSchedulerFolder = u"Scheduler";

struct AddinFolders {
    host::FolderId top = 0;
    host::FolderId patients = 0;
    host::FolderId scheduler = 0;
};

// Creates the store with its tree; refuses an existing file.
Result<std::unique_ptr<host::StoreFile>> createAddinStore(const QString& path);
// The tree of an open add-in store; an error naming the file when a folder
// is missing.
Result<AddinFolders> addinFolders(const host::StoreFile& store);
// A folder by its path of names below the store ("Orlo Networked V.1/Patients",
// or "Patients" starting under the top folder); names compare without case.
Result<host::FolderId> folderByPath(const host::StoreFile& store, const QString& path);

}  // namespace orlo::tools
