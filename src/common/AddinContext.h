#pragma once
// AddinContext: the world of one loaded add-in. What the original kept in
// module globals (the two save switches, the database location, the local
// address, the application reference) lives here, one set per add-in, so
// that a test can run several workstations in one process. Every subsystem
// receives the context by reference; nothing in the add-in is global.

#include <QString>
#include <memory>

#include "common/mdlLogs.h"
#include "platform/core/AppFolder.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"

namespace orlo::host {
class Application;
}

namespace orlo::data {
class ConnectionPool;
}

namespace orlo {

class basRegistry;
class MessageBoxService;

// Where a save hands its peer notice ("P,1,...", "S,2,..."). The peer mesh
// implements it; while no mesh runs, notices go nowhere.
class PeerNotices {
public:
    virtual ~PeerNotices() = default;
    virtual void SendDataToAll(const QString& line) = 0;
};

struct AddinContext {
    AddinContext(const Clock& clockRef, const Locale& localeRef, MessageBoxService& boxes,
                 AppFolder folder, basRegistry& registryRef)
        : clock(clockRef),
          locale(localeRef),
          messageBoxes(boxes),
          appFolder(std::move(folder)),
          registry(registryRef) {}

    // The workstation's services, owned by whoever loads the add-in.
    const Clock& clock;
    const Locale& locale;
    MessageBoxService& messageBoxes;
    AppFolder appFolder;
    basRegistry& registry;

    // The error log "\logs\error.log" of this add-in's application folder.
    mdlLogs log() const { return mdlLogs(LogContext{appFolder, clock, locale}); }

    // The host application the add-in was connected to ("the module-level
    // application reference"); null before start-up and after shut-down.
    std::shared_ptr<host::Application> application;

    // While false, the Write handler of that item kind writes nothing: the
    // add-in's own fill operations clear them around their saves.
    bool PatientItemSaveEnabled = false;
    bool ApptItemSaveEnabled = false;
    // The shared database's path, fixed at start-up.
    QString DbLocation;
    // How long a save or an open waits for a lock another program holds on
    // the database before it tells the user; 0: the data layer's default.
    int databaseLockWaitMs = 0;
    // This workstation's address as its listening socket reports it.
    QString LocalIP;

    PeerNotices* peers = nullptr;

    // The server connections and file handles the reports keep open
    // between them (set by whoever loads the add-in; none: each report
    // connects afresh).
    std::shared_ptr<data::ConnectionPool> connectionPool;
};

}  // namespace orlo
