#pragma once
// ServerPool: server connections kept open between the reports and forms of
// one workstation. A new server connection costs a process on the server and
// a first query that plans against cold caches (tens of milliseconds); a
// report that finds an idle connection to the same server skips both. A
// connection comes back when its Connection closes, only when it is idle (no
// transaction or read left open); one taken out again is first asked to
// answer, so that a connection the server dropped meanwhile is closed and a
// new one made in its place (failing, when the server is gone, with the
// same message as any connection that cannot be made).
//
// The pool belongs to whoever makes the connections (one per workstation
// process, or per test) and is handed to them in their DataContext; it is
// used from the one thread that opens them.

#include <QString>
#include <vector>

#include "platform/pg/PgDatabase.h"

namespace orlo::data {

class ServerPool {
public:
    // At most `keepPerServer` idle connections are kept for each server.
    explicit ServerPool(int keepPerServer = 2) : m_keep(keepPerServer) {}
    ServerPool(const ServerPool&) = delete;
    ServerPool& operator=(const ServerPool&) = delete;

    // An idle connection to `uri` that still answers, else a new one.
    pg::PgResult<pg::PgDatabase> take(const QString& uri);
    // Keeps `server` for the next take of `uri` when it is idle and there is
    // room; closes it otherwise.
    void giveBack(const QString& uri, pg::PgDatabase server);

    int idleCount() const { return int(m_idle.size()); }
    // Connections made, and connections taken from the idle ones.
    int opened() const { return m_opened; }
    int reused() const { return m_reused; }

private:
    struct Idle {
        QString uri;  // as given, password included: never shown
        pg::PgDatabase server;
    };
    std::vector<Idle> m_idle;  // the most recently given back last
    int m_keep;
    int m_opened = 0;
    int m_reused = 0;
};

}  // namespace orlo::data
