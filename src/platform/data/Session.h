#pragma once
// The state an open connection shares with the recordsets opened over it:
// the SQLite handle, the errors collection, what the schema says about date
// and key columns, and the pending batch of a scratch connection. Internal
// to the data layer.

#include <sqlite3.h>

#include <QHash>
#include <QSet>
#include <QString>
#include <memory>

#include "platform/core/ProviderError.h"
#include "platform/core/Result.h"
#include "platform/data/DataContext.h"
#include "platform/data/SqliteStatement.h"

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
    sqlite3* db() const { return m_db; }
    bool isOpen() const { return m_db != nullptr; }
    const QString& path() const { return m_path; }

    // Takes over an opened handle.
    void attach(sqlite3* db, QString path);
    // Closes the handle; pending batched statements are committed first.
    Status close();

    // The errors collection: cleared at the start of every operation that
    // may fail, filled on every failure.
    ProviderErrors& errors() { return m_errors; }
    void clearErrors() { m_errors.clear(); }
    // Records `e` in the errors collection and returns it.
    Error fail(const Error& e, const QString& sql = {});
    // The error for an SQLite failure `rc` of `sql`, recorded.
    Error sqliteFailure(int rc, const QString& sql);

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
    bool batchOpen() const { return m_batchOpen; }
    void batchLost() { m_batchOpen = false; }

    // Cached prepared statements for statements run again and again
    // with different literal keys (the resync's key inserts).
    SqliteStatement* cachedStatement(const QString& sql, int* rc);

private:
    DataContext m_ctx;
    sqlite3* m_db = nullptr;
    QString m_path;
    ProviderErrors m_errors;
    QHash<QString, TableInfo> m_tables;  // by upper-case name
    QSet<QString> m_dateColumns;         // upper-case column names
    bool m_batchWrites = false;
    bool m_batchOpen = false;
    QHash<QString, std::shared_ptr<SqliteStatement>> m_cache;
};

// Maps an SQLite result code to the error number callers test.
long errorNumberFor(int rc, int extended, const QString& message);
QString sqlStateFor(int rc, int extended);

}  // namespace orlo::data::detail
