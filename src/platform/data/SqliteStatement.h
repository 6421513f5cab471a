#pragma once
// RAII over the SQLite C API: a prepared statement that is finalized when it
// goes out of scope. It is a grievous error to use a statement after the
// database handle it was prepared on has been closed.

#include <sqlite3.h>

#include <QByteArray>
#include <QString>

namespace orlo::data::detail {

class SqliteStatement {
public:
    SqliteStatement() = default;
    ~SqliteStatement() { finalize(); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    SqliteStatement(SqliteStatement&& o) noexcept : m_stmt(o.m_stmt) { o.m_stmt = nullptr; }
    SqliteStatement& operator=(SqliteStatement&& o) noexcept {
        if (this != &o) {
            finalize();
            m_stmt = o.m_stmt;
            o.m_stmt = nullptr;
        }
        return *this;
    }

    // SQLITE_OK or the error code; `tail` receives what follows the first
    // statement when wanted.
    int prepare(sqlite3* db, const QString& sql, QString* tail = nullptr) {
        finalize();
        const QByteArray utf8 = sql.toUtf8();
        const char* rest = nullptr;
        const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, &rest);
        if (tail != nullptr) {
            *tail =
                rest ? QString::fromUtf8(rest, utf8.constData() + utf8.size() - rest) : QString();
        }
        return rc;
    }

    void finalize() {
        if (m_stmt != nullptr) {
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
        }
    }

    sqlite3_stmt* get() const { return m_stmt; }
    explicit operator bool() const { return m_stmt != nullptr; }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

// Runs one statement that returns no rows; SQLITE_OK or the error code.
inline int execSimple(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

}  // namespace orlo::data::detail
