#pragma once
// basLocalIP: the workstation's row in CURRENTSESSIONS, by which running
// workstations find each other. RegisterSession writes it at start-up
// (replacing any row of the same address) and keeps the address in
// LocalIP; UnregisterSession deletes it at shut-down. There is no
// heartbeat: a workstation that dies leaves its row until it starts again.
//
// Both report a database failure in a critical box ("Store IP Error",
// "DB Shutdown Errors") with the provider's errors in the error log, and
// return: start-up and shut-down carry on.

#include <QString>

#include "platform/core/Result.h"

namespace orlo {
struct AddinContext;
}

namespace orlo::peer {

inline constexpr char16_t kStoreIpErrorTitle[] = u"Store IP Error";
inline constexpr char16_t kDbShutdownErrorsTitle[] = u"DB Shutdown Errors";

// `localIp` is the listening socket's address (dotted IPv4, checked by the
// listener, so it may stand in SQL as it is).
void RegisterSession(AddinContext& ctx, const QString& connectionString, const QString& localIp);
// Deletes the row of LocalIP; nothing at all when this workstation never
// registered. LocalIP is empty afterwards, so a second shut-down is quiet.
void UnregisterSession(AddinContext& ctx, const QString& connectionString);

// Every other workstation's row, in the table's order.
QString peerListQuery(const QString& localIp);

// Whether `ip` has a row now (the listener asks it of every caller).
Result<bool> isRegistered(AddinContext& ctx, const QString& ip);

}  // namespace orlo::peer
