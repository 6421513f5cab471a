#pragma once
// AddinHost: what the desk shell asks of its add-in loader: the registered
// add-ins for the Add-ins dialog, connecting them at start-up, shutting
// them down when the desk closes (OnBeginShutdown, OnDisconnection(0)) and
// removing one at the user's request (OnDisconnection(1)).

#include <QString>
#include <vector>

#include "platform/core/Result.h"

namespace orlo::desk {

struct AddinEntry {
    QString progId;
    QString description;
    QString library;
    bool connected = false;
    // Why loading failed, when it did.
    QString problem;
};

class AddinHost {
public:
    virtual ~AddinHost() = default;
    virtual std::vector<AddinEntry> addins() const = 0;
    // OnConnection then OnStartupComplete of every add-in set to load at start.
    virtual void startup() = 0;
    // OnBeginShutdown then OnDisconnection(0) of every connected add-in.
    virtual void shutdown() = 0;
    // OnDisconnection(1): the user removed the add-in in the Add-ins dialog.
    virtual Status remove(const QString& progId) = 0;
};

}  // namespace orlo::desk
