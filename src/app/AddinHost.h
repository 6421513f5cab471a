#pragma once
// AddinHost: what the desk shell asks of its add-in loader: the registered
// add-ins for the Add-ins dialog, connecting them at start-up, shutting
// them down when the desk closes (OnBeginShutdown, OnDisconnection(0)) and
// removing one at the user's request (OnDisconnection(1)).

#include <QString>
#include <vector>

#include "platform/core/Result.h"
#include "platform/core/Variant.h"

namespace orlo::desk {

// "Automation error": no connected add-in of that ProgId.
inline constexpr long kAddinNotReachable = 440;

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
    // A method a connected add-in offers to other programs; a host that
    // reaches no add-in objects keeps this default.
    virtual Result<Variant> call(const QString& progId, const QString& /*method*/,
                                 const std::vector<Variant>& /*args*/) {
        return Error{kAddinNotReachable,
                     QStringLiteral("The add-in \"%1\" is not connected.").arg(progId),
                     {}};
    }
};

}  // namespace orlo::desk
