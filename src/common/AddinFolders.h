#pragma once
// The add-in's own store and folder tree: the store file
// "\PST\12-27Orlonetv1.pst" in the application folder, whose top folder
// "Orlo Networked V.1" holds the contacts folder "Patients" and the calendar
// folder "Scheduler". Every routine resolves the folders by these names
// from the "MAPI" namespace on every use, so a store added or removed while
// the desk runs is seen at once.

#include <QString>
#include <memory>

#include "platform/core/AppFolder.h"
#include "platform/core/Result.h"

namespace orlo::host {
class Application;
class MAPIFolder;
class NameSpace;
}  // namespace orlo::host

namespace orlo {

inline constexpr char16_t kAddinPstName[] = u"\\PST\\12-27Orlonetv1.pst";
inline constexpr char16_t kAddinTopFolderName[] = u"Orlo Networked V.1";
inline constexpr char16_t kPatientsFolderName[] = u"Patients";
inline constexpr char16_t kSchedulerFolderName[] = u"Scheduler";

// AddinPstPath: the application folder & "\PST\12-27Orlonetv1.pst".
QString AddinPstPath(const AppFolder& folder);

// The namespace "MAPI" of the application; error 91 when there is none
// (the add-in was stopped).
Result<std::shared_ptr<host::NameSpace>> addinNamespace(
    const std::shared_ptr<host::Application>& application);
// The top folder "Orlo Networked V.1" among the namespace's top folders.
Result<std::shared_ptr<host::MAPIFolder>> addinTopFolder(
    const std::shared_ptr<host::Application>& application);
// Its subfolder `name` ("Patients" or "Scheduler").
Result<std::shared_ptr<host::MAPIFolder>> addinFolder(
    const std::shared_ptr<host::Application>& application, const QString& name);

}  // namespace orlo
