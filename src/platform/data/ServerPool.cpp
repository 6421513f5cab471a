#include "platform/data/ServerPool.h"

#include <algorithm>

namespace orlo::data {

pg::PgResult<pg::PgDatabase> ServerPool::take(const QString& uri) {
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

void ServerPool::giveBack(const QString& uri, pg::PgDatabase server) {
    if (!server.isIdle() || m_keep <= 0) {
        return;  // closed as it goes out of scope
    }
    const auto same =
        std::count_if(m_idle.begin(), m_idle.end(), [&](const Idle& i) { return i.uri == uri; });
    if (same >= m_keep) {
        // The longest idle of this server makes room.
        const auto oldest =
            std::find_if(m_idle.begin(), m_idle.end(), [&](const Idle& i) { return i.uri == uri; });
        m_idle.erase(oldest);
    }
    m_idle.push_back(Idle{uri, std::move(server)});
}

}  // namespace orlo::data
