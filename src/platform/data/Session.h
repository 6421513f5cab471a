#pragma once
// The state an open connection shares with the recordsets opened over it:
// the SQLite handle, the errors collection, what the schema says about date
// and key columns, and the pending batch of a scratch connection. Internal
// to the data layer.

#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "platform/core/ProviderError.h"
#include "platform/core/Result.h"
#include "platform/data/ConnectionPool.h"
#include "platform/data/DataContext.h"
#include "platform/pg/PgDatabase.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/StatementUse.h"
#include "platform/sqlite/Transaction.h"

namespace orlo::data::detail {

struct TableInfo {
    QString name;       // as the schema spells it
    QString keyColumn;  // the INTEGER PRIMARY KEY column, or empty
    bool autoIncrement = false;
    QHash<QString, QString> declTypeByColumn;  // upper-case column -> declared type
};

class Session {
public:
    explicit Session(DataContext ctx) : m_ctx(ctx) {}
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const DataContext& context() const { return m_ctx; }
    sqlite::Database& database() { return m_db; }
    const sqlite::Database& database() const { return m_db; }
    bool isOpen() const { return m_db.isOpen() || m_server.isOpen(); }
    const QString& path() const { return m_path; }

    // Takes over an opened database.
    void attach(sqlite::Database db, QString path);
    // The file handle goes back to the context's pool when the session
    // closes (the shared database; never the scratch one, which each
    // resync makes anew), as it was opened on the file `id`.
    void keepInPool(bool readOnly, ConnectionPool::FileId id) {
        m_pooledFile = PooledFile{readOnly, id};
    }
    // Counts the databases taken over: a statement prepared outside the
    // cache knows by it that the database it was made on is still the one
    // open.
    quint64 openSerial() const { return m_openSerial; }

    // A PostgreSQL server instead of the file: every statement goes to
    // server() instead of database(). `uri` is kept without its password
    // for messages; the full one only to give the server connection back to
    // the context's pool when the session closes.
    void attachServer(pg::PgDatabase server, const QString& uri);
    bool isServer() const { return m_server.isOpen(); }
    pg::PgDatabase& server() { return m_server; }
    // The error for the server's failure of `sql`, recorded as failure() does.
    Error serverFailure(const pg::PgError& e, const QString& sql);
    // The rows of `sql` on the server ($1, $2, ... parameters), or the
    // failure recorded against `source` (the text the system wrote).
    Result<pg::PgRows> serverExec(const QString& sql, const QString& source,
                                  const std::vector<std::optional<QString>>& params = {});
    // A column of a server result by its table's oid and position.
    struct ServerColumn {
        QString table;
        QString column;
    };
    std::optional<ServerColumn> serverColumn(unsigned tableOid, int position) const;
    // Reads on demand on the server: each has a cursor of its own, all in
    // one repeatable-read transaction begun by the first and committed when
    // the last one ends, so that every read and count sees one snapshot as
    // on the file. While it is open, each other statement runs under a
    // savepoint, so that its failure does not end the open reads. Writes
    // wait until the reads are finished (finishOpenReads). `readWhole`:
    // the caller reads every row at once, and the plan is made for that.
    // The cursor's name, or the failure recorded against `source`.
    Result<QString> openServerCursor(const QString& sql, const QString& source,
                                     const std::vector<std::optional<QString>>& params,
                                     bool readWhole = false);
    void closeServerCursor(const QString& cursor);
    // Reads an open cursor to its end, `pageRows` rows at a time, handing
    // each page to `onPage`. The next page is asked for before the page in
    // hand is handed over, so that the server sends it while the
    // workstation unpacks this one. One savepoint guards the whole read: on
    // a failure the other open reads go on. The failure is recorded
    // against `source`.
    Status readServerPages(const QString& cursor, int pageRows, const QString& source,
                           const std::function<void(const pg::PgRows&)>& onPage);
    bool serverReadOpen() const { return m_serverCursors > 0; }
    // The server's spelling of a table or column name, or an empty text.
    QString serverName(QStringView name) const { return m_serverNames.value(upper(name)); }
    // Closes the handle; pending batched statements are committed first.
    Status close();

    // The errors collection: cleared at the start of every operation that
    // may fail, filled on every failure.
    ProviderErrors& errors() { return m_errors; }
    void clearErrors() { m_errors.clear(); }
    // Records `e` in the errors collection and returns it.
    Error fail(const Error& e, const QString& sql = {});
    // The error for SQLite's failure of `sql` (the text as the system wrote
    // it, which the errors collection shows), recorded.
    Error failure(const sqlite::SqliteError& e, const QString& sql);
    // Adds one entry to the errors collection; the matching error.
    Error recordFailure(long number, const QString& message, const QString& sql,
                        const QString& sqlState, long nativeError);
    // The value of an SQLite call, or its failure recorded as above.
    template <typename T>
    Result<T> check(sqlite::SqlResult<T> r, const QString& sql) {
        if (!r) {
            return failure(r.error(), sql);
        }
        if constexpr (std::is_void_v<T>) {
            return {};
        } else {
            return std::move(r).value();
        }
    }

    // Schema knowledge, read once at open.
    Status loadSchema();
    // Whether a column holds dates: of `table` when given, else of any table.
    bool isDateColumn(QStringView table, QStringView column) const;
    const TableInfo* table(const QString& name) const;

    // Scratch databases batch executed statements in one implicit
    // transaction, committed before any read and on close.
    bool batchesWrites() const { return m_batchWrites; }
    void setBatchesWrites(bool on) { m_batchWrites = on; }
    Status beginBatch();
    Status flushBatch();
    bool batchOpen() const { return m_batch.has_value(); }
    // The engine ended the batch's transaction itself (after an error).
    void batchLost() { m_batch.reset(); }

    // Recordsets still reading their rows keep their statement, and with it
    // SQLite's read transaction, open until the last row. A write on this
    // connection first lets every such read run to its end, so that no
    // recordset holds rows from before a write and rows from after it;
    // closing the connection drops the reads. `owner` names the reader.
    void addOpenRead(const void* owner, std::function<Status()> finish, std::function<void()> drop);
    void removeOpenRead(const void* owner);
    Status finishOpenReads();

    // Prepared statements run again and again with different literal keys
    // (the resync's key inserts), by their SQLite text.
    sqlite::SqlResult<sqlite::StatementUse> cachedStatement(const QString& sql);
    // Runs a prepared key insert with `key` bound, after the open reads and
    // inside the batch when this connection batches; `sql` names it in errors.
    Status runKeyInsert(sqlite::Statement& stmt, qint64 key, const QString& sql);
    // The last key insert run through the cache: the text up to its number
    // and its statement, so that the next one of a run of thousands is
    // recognised by that prefix alone.
    void rememberKeyInsert(QStringView prefix, const QString& sqliteText);
    const QString& keyInsertPrefix() const { return m_keyInsertPrefix; }
    QString keyInsertText() const { return m_keyInsertText; }

private:
    Status loadServerSchema();

    DataContext m_ctx;
    sqlite::Database m_db;
    struct PooledFile {
        bool readOnly = false;
        ConnectionPool::FileId id;
    };
    std::optional<PooledFile> m_pooledFile;
    pg::PgDatabase m_server;
    QString m_serverUri;  // password included: never shown
    QHash<quint64, ServerColumn> m_serverColumns;
    QHash<QString, QString> m_serverNames;  // upper-case name -> as spelt
    int m_serverCursors = 0;                // open, in the read transaction
    quint64 m_cursorSerial = 0;
    static QString upper(QStringView s) {
        return s.toString().toUpper();
    }  // by table oid << 16 | position
    QString m_path;
    ProviderErrors m_errors;
    QHash<QString, TableInfo> m_tables;  // by upper-case name
    QSet<QString> m_dateColumns;         // upper-case column names
    bool m_batchWrites = false;
    quint64 m_openSerial = 0;
    std::optional<sqlite::Transaction> m_batch;
    std::unordered_map<QString, sqlite::Statement> m_cache;
    QString m_keyInsertPrefix;
    QString m_keyInsertText;
    struct OpenRead {
        const void* owner;
        std::function<Status()> finish;
        std::function<void()> drop;
    };
    std::vector<OpenRead> m_openReads;
};

// Maps an SQLite result code to the error number callers test.
long errorNumberFor(int rc, int extended, const QString& message);
QString sqlStateFor(int rc, int extended);

}  // namespace orlo::data::detail
