#pragma once
// SqliteStatement: one prepared statement of a store's connection, with the
// binding and reading the store needs. Move-only; finalizes itself.

#include <QString>
#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

namespace orlo::host {

class SqliteStatement {
public:
    SqliteStatement() = default;
    explicit SqliteStatement(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement();

    bool isValid() const { return m_stmt != nullptr; }
    sqlite3_stmt* handle() const { return m_stmt; }

    // Parameters count from 1, columns from 0, as in SQLite.
    void bindInt(int index, std::int64_t value);
    void bindDouble(int index, double value);
    void bindText(int index, const QString& value);
    void bindBlob(int index, const void* data, int bytes);
    void bindNull(int index);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // Ready to run again, bindings cleared.
    void reset();

    int columnType(int column) const;
    std::int64_t columnInt(int column) const;
    double columnDouble(int column) const;
    QString columnText(int column) const;
    QString columnUtf16Blob(int column) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
};

}  // namespace orlo::host
