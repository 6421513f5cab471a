#pragma once
// AddinManager: loads the desk's add-ins and drives their lifecycle. The
// desk shell uses it like this:
//
//   AddinManager addins(settings, application);
//   // open the main window first: an add-in connected while the desk has
//   // no window at all may decide not to start
//   for (const AddinLoadError& e : addins.connectStartupAddins()) show(e.error);
//   addins.startupComplete();
//   ...                                   // the desk runs
//   addins.removeAddin(progId);           // the user unticks it in the list
//   addins.connectAddin(progId);          // the user ticks it again
//   ...
//   addins.shutdown();                    // the desk closes
//
// Loading an add-in: read its entry (AddinList), load its library with
// QLibrary, resolve orlo_create_addin, make the add-in object and call
// OnConnection. A library that is missing, cannot be loaded or lacks the
// factory, and an add-in that refuses to connect, is an error for the
// shell to show; the other add-ins load all the same.
//
// Libraries stay loaded until the process ends, even after their add-in
// was removed: objects and code of a library (event handlers, Qt meta
// objects) may still be referenced by the desk, and unloading under them
// would crash.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "host/addins/AddinList.h"
#include "host/addins/IDTExtensibility2.h"
#include "platform/core/Result.h"

namespace orlo::host {

class Application;

struct AddinLoadError {
    QString progId;
    Error error;
};

class AddinManager {
public:
    // The store and the application must outlive the manager.
    AddinManager(RegistryStore& settings, std::shared_ptr<Application> application);
    ~AddinManager();
    AddinManager(const AddinManager&) = delete;
    AddinManager& operator=(const AddinManager&) = delete;

    // Connects every listed add-in whose LoadBehavior is 3, ordered by
    // ProgId, with ConnectMode::Startup. One entry per add-in that failed
    // (or for the list itself when it cannot be read).
    std::vector<AddinLoadError> connectStartupAddins();
    // Loads and connects one listed add-in (ConnectMode::AfterStartup when
    // the user ticks it), marks it 3 in the list and tells the others
    // (OnAddInsUpdate). An add-in already connected is left as it is.
    Status connectAddin(const QString& progId, ConnectMode mode = ConnectMode::AfterStartup);
    // OnStartupComplete to every connected add-in.
    void startupComplete();
    // The user removed the add-in: OnDisconnection(UserClosed), the object
    // released, the entry marked not loaded (2), the others told.
    Status removeAddin(const QString& progId);
    // The desk closes: OnBeginShutdown to every add-in, then
    // OnDisconnection(HostShutdown) to each, the last connected first.
    void shutdown();

    QStringList connectedAddins() const;
    // The connected add-in object, or null.
    IDTExtensibility2* addin(const QString& progId) const;
    AddinList& list() { return m_list; }

private:
    struct Loaded;

    Status connect(const AddinRegistration& registration, ConnectMode mode);
    void addinsUpdated();
    std::vector<std::unique_ptr<Loaded>>::const_iterator find(const QString& progId) const;

    AddinList m_list;
    std::shared_ptr<Application> m_application;
    // In the order they were connected.
    std::vector<std::unique_ptr<Loaded>> m_connected;
};

}  // namespace orlo::host
