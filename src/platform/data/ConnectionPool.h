#pragma once
// ConnectionPool: server connections kept open between the reports and forms of
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
#include <optional>
#include <vector>

#include "platform/pg/PgDatabase.h"
#include "platform/sqlite/Database.h"

namespace orlo::data {

class ConnectionPool {
public:
    // At most `keepPerServer` idle connections are kept for each server,
    // and as many handles for each file.
    explicit ConnectionPool(int keepPerServer = 2) : m_keep(keepPerServer) {}
    ConnectionPool(const ConnectionPool&) = delete;
    ConnectionPool& operator=(const ConnectionPool&) = delete;

    // An idle connection to `uri` that still answers, else a new one.
    pg::PgResult<pg::PgDatabase> take(const QString& uri);
    // Keeps `server` for the next take of `uri` when it is idle and there is
    // room; closes it otherwise.
    void giveBack(const QString& uri, pg::PgDatabase server);

    // Which file a path names: its device and inode (none when missing).
    struct FileId {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const FileId&) const = default;
    };
    static std::optional<FileId> fileIdOf(const QString& path);

    // An idle handle on the file at `path` (absolute), opened for reading
    // only or not as `readOnly` says, while the path still names the file
    // it was opened on; else none, and the caller opens its own.
    std::optional<sqlite::Database> takeFile(const QString& path, bool readOnly);
    // Keeps `db`, opened on the file `id` at `path`, when it is idle and
    // there is room.
    void giveBackFile(const QString& path, bool readOnly, FileId id, sqlite::Database db);

    int idleCount() const { return int(m_idle.size() + m_idleFiles.size()); }
    // Server connections made, and those taken from the idle ones.
    int opened() const { return m_opened; }
    int reused() const { return m_reused; }
    // File handles taken from the idle ones.
    int reusedFiles() const { return m_reusedFiles; }

private:
    struct Idle {
        QString uri;  // as given, password included: never shown
        pg::PgDatabase server;
    };
    struct IdleFile {
        QString path;
        bool readOnly = false;
        FileId id;
        sqlite::Database db;
    };
    std::vector<Idle> m_idle;           // the most recently given back last
    std::vector<IdleFile> m_idleFiles;  // likewise
    int m_reusedFiles = 0;
    int m_keep;
    int m_opened = 0;
    int m_reused = 0;
};

}  // namespace orlo::data
