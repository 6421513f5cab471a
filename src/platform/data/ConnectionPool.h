#pragma once
// ConnectionPool: connections kept open between the reports of one
// workstation, to a server and to the shared database file. A connection
// comes back when its Connection closes, only when it is idle (no
// transaction, read or statement left open).
//
// A new server connection costs a process on the server and a first query
// that plans against cold caches (tens of milliseconds); a report that finds
// an idle connection to the same server skips both. One taken out again is
// first asked to answer, so that a connection the server dropped meanwhile
// is closed and a new one made in its place (failing, when the server is
// gone, with the same message as any connection that cannot be made).
//
// A new handle on the file maps the file afresh, and the report then pays a
// page fault for every page of the map it touches; a kept handle keeps its
// map and its page cache, which SQLite checks against the file's change
// counter before each read, so other workstations' writes are seen. A kept
// handle is used again only while the path names the same file (a copy put
// in its place, such as a restored backup, gets a new handle).
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
    // only or not as `readOnly` says, when it was opened on the file `id`
    // the path names now; else none, and the caller opens its own.
    std::optional<sqlite::Database> takeFile(const QString& path, bool readOnly, FileId id);
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
    // Appends `entry` to `idle`, first dropping the longest idle of those
    // `same` picks when they already number m_keep.
    template <typename Entry, typename Same>
    void keep(std::vector<Entry>& idle, Entry entry, Same same) const;

    std::vector<Idle> m_idle;           // the most recently given back last
    std::vector<IdleFile> m_idleFiles;  // likewise
    int m_reusedFiles = 0;
    int m_keep;
    int m_opened = 0;
    int m_reused = 0;
};

}  // namespace orlo::data
