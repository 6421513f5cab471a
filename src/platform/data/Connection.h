#pragma once
// Connection: one open database of the system. The provider and connection
// string are the system's own (a bare path with the provider set, or a
// "Provider=...;Data Source=..." text); a file path selects SQLite, a
// "postgresql://" URI a PostgreSQL server (isServerLocation). Every
// failure returns an Error and fills the errors collection, which keeps its
// entries until the next operation.
//
//   Connection conn({clock, locale});
//   conn.setProvider(u"Microsoft.JET.OLEDB.4.0"_s);
//   if (Status s = conn.open(dbLocation); !s) report(s.error(), conn.errors());
//   Result<qint64> n = conn.execute(u"DELETE FROM CURRENTSESSIONS WHERE IP = '1.2.3.4'"_s);

#include <QString>
#include <memory>

#include "platform/core/ProviderError.h"
#include "platform/core/Result.h"
#include "platform/data/DataContext.h"

namespace orlo::data {

namespace detail {
class Session;
}

struct ConnectionTarget;

class Connection {
public:
    explicit Connection(DataContext ctx);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString provider() const { return m_provider; }
    void setProvider(const QString& provider) { m_provider = provider; }
    // Before open: as set. After open: the full string the provider reports
    // back, "Provider=...;Data Source=<path>;Mode=Share Deny None".
    QString connectionString() const { return m_connectionString; }
    void setConnectionString(const QString& text) { m_connectionString = text; }

    // Opens the database named by the connection string. A file that does
    // not exist, is no database or cannot be opened fails with the
    // provider's general failure (kProviderFailure); nothing is created.
    Status open();
    Status open(const QString& connectionString);
    // Closes the database; closing a closed connection does nothing.
    Status close();
    int state() const;  // kStateOpen (1) or kStateClosed (0)

    // Runs one statement of the system's SQL; the number of rows it changed.
    Result<qint64> execute(const QString& sql);

    const ProviderErrors& errors() const;
    const DataContext& context() const { return m_ctx; }

    // Shared with the recordsets opened over this connection.
    const std::shared_ptr<detail::Session>& session() const { return m_session; }

private:
    Status openServer(const ConnectionTarget& target);

    DataContext m_ctx;
    QString m_provider;
    QString m_connectionString;
    std::shared_ptr<detail::Session> m_session;
};

}  // namespace orlo::data
