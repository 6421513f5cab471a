#pragma once
// Database: one open SQLite connection, owning its handle (the only strong
// reference to it; transactions hold weak ones, so that they can tell a
// connection closed under them). Destroying or closing it closes the handle;
// a statement still prepared keeps the connection alive until it is
// finalized (sqlite3_close_v2), so the order in which owners go never
// crashes. Every failure is a SqliteError carrying the engine's codes and
// message at the moment of the failure.
//
// A connection is used by the one thread that opened it: it is opened
// without SQLite's per-call mutex, and extended result codes are on.

#include <sqlite3.h>

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <memory>

#include "platform/sqlite/SqliteError.h"
#include "platform/sqlite/Statement.h"

namespace orlo::sqlite {

class Database {
public:
    // Closed.
    Database() = default;
    Database(Database&&) noexcept = default;
    Database& operator=(Database&&) noexcept = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens `path` with SQLite's open flags (SQLITE_OPEN_READWRITE,
    // SQLITE_OPEN_CREATE, ...). On failure nothing stays open.
    static SqlResult<Database> open(const QString& path, int flags);

    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db.get(); }
    // Closes the handle now (deferred while statements are prepared).
    void close() noexcept { m_db.reset(); }

    void setBusyTimeout(int ms);

    // Runs one or more statements that return no rows (PRAGMAs, schema).
    SqlStatus exec(QByteArrayView utf8);
    SqlStatus exec(const QString& sql);

    // Prepares the first statement of `sql`. A text of blanks or comments
    // gives an empty Statement. `tail` receives what follows the first
    // statement when asked for.
    SqlResult<Statement> prepare(const QString& sql, QString* tail = nullptr) const;
    // Prepares a statement that will be kept and run many times (a cache).
    SqlResult<Statement> preparePersistent(QByteArrayView utf8) const;

    std::int64_t lastInsertRowid() const;
    std::int64_t changes() const;
    // True while a transaction is open on the connection.
    bool inTransaction() const;

    // The error SQLite reports for a call that returned `rc`, with `sql`.
    SqliteError errorFor(int rc, const QString& sql = {}) const;
    static SqliteError errorOf(sqlite3* db, int rc, const QString& sql);

    // What a transaction keeps of the connection it was begun on.
    std::weak_ptr<sqlite3> weakHandle() const { return m_db; }

private:
    std::shared_ptr<sqlite3> m_db;
};

}  // namespace orlo::sqlite
