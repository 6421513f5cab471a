#include "platform/data/ConnectionPool.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>

namespace orlo::data {

pg::PgResult<pg::PgDatabase> ConnectionPool::take(const QString& uri) {
    while (true) {
        const auto it = std::find_if(m_idle.rbegin(), m_idle.rend(),
                                     [&](const Idle& i) { return i.uri == uri; });
        if (it == m_idle.rend()) {
            break;
        }
        pg::PgDatabase server = std::move(it->server);
        m_idle.erase(std::next(it).base());
        // A connection the server ended (a restart, an idle timeout, an
        // administrator) fails here and is closed; the next one is tried.
        if (server.isIdle() && server.ping()) {
            ++m_reused;
            return server;
        }
    }
    pg::PgResult<pg::PgDatabase> made = pg::PgDatabase::connect(uri);
    if (made) {
        ++m_opened;
    }
    return made;
}

template <typename Entry, typename Same>
void ConnectionPool::keep(std::vector<Entry>& idle, Entry entry, Same same) const {
    if (std::count_if(idle.begin(), idle.end(), same) >= m_keep) {
        idle.erase(std::find_if(idle.begin(), idle.end(), same));
    }
    idle.push_back(std::move(entry));
}

void ConnectionPool::giveBack(const QString& uri, pg::PgDatabase server) {
    if (!server.isIdle() || m_keep <= 0) {
        return;  // closed as it goes out of scope
    }
    keep(m_idle, Idle{uri, std::move(server)}, [&](const Idle& i) { return i.uri == uri; });
}

std::optional<ConnectionPool::FileId> ConnectionPool::fileIdOf(const QString& path) {
    struct stat st {};
    if (::stat(path.toLocal8Bit().constData(), &st) != 0) {
        return std::nullopt;
    }
    return FileId{quint64(st.st_dev), quint64(st.st_ino)};
}

std::optional<sqlite::Database> ConnectionPool::takeFile(const QString& path, bool readOnly,
                                                         FileId id) {
    const auto it = std::find_if(m_idleFiles.rbegin(), m_idleFiles.rend(), [&](const IdleFile& i) {
        return i.path == path && i.readOnly == readOnly;
    });
    if (it == m_idleFiles.rend()) {
        return std::nullopt;
    }
    IdleFile idle = std::move(*it);
    m_idleFiles.erase(std::next(it).base());
    if (idle.id != id) {
        return std::nullopt;  // another file now (or none): the old handle closes here
    }
    ++m_reusedFiles;
    return std::move(idle.db);
}

void ConnectionPool::giveBackFile(const QString& path, bool readOnly, FileId id,
                                  sqlite::Database db) {
    sqlite3* h = db.handle();
    if (!h || m_keep <= 0 || !sqlite3_get_autocommit(h) ||
        sqlite3_next_stmt(h, nullptr) != nullptr) {
        return;  // closed as it goes out of scope
    }
    keep(m_idleFiles, IdleFile{path, readOnly, id, std::move(db)},
         [&](const IdleFile& i) { return i.path == path && i.readOnly == readOnly; });
}

}  // namespace orlo::data
