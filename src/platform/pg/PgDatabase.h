#pragma once
// PgDatabase: one open connection to a PostgreSQL server, owning its libpq
// handle. Statements run with their parameters sent apart from the text
// (never spliced in), every value comes back as text, and every failure is
// a PgError with the server's SQLSTATE and message. Messages never carry
// the connection's password.
//
// A connection is used by the one thread that opened it.

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "platform/core/Result.h"

struct pg_conn;
struct pg_result;

namespace orlo::pg {

struct PgError {
    QString sqlState;  // "23503" (foreign key), "08001" (cannot connect), ...
    QString message;   // the server's or libpq's primary message
    bool operator==(const PgError&) const = default;
};

template <typename T>
using PgResult = Result<T, PgError>;
using PgStatus = PgResult<void>;

// SQLSTATE of a connection that could not be made.
inline constexpr char16_t kCannotConnect[] = u"08001";

// The rows of a statement, every value as text (or null).
class PgRows {
public:
    PgRows() = default;
    explicit PgRows(pg_result* result);
    int rowCount() const;
    int columnCount() const;
    QString columnName(int column) const;
    // The table a column comes from (its oid, 0 for an expression) and its
    // position in that table (1-based, 0 for an expression).
    unsigned tableOid(int column) const;
    int tableColumn(int column) const;
    // The column's type oid (20 int8, 23 int4, 701 float8, 1700 numeric, ...).
    unsigned typeOid(int column) const;
    bool isNull(int row, int column) const;
    QString text(int row, int column) const;
    // The value's UTF-8 bytes as the server sent them (valid while the rows
    // are), and their number.
    const char* raw(int row, int column) const;
    int rawLength(int row, int column) const;
    // Rows a write changed (INSERT, UPDATE, DELETE), 0 for a query.
    qint64 changed() const;

private:
    std::shared_ptr<pg_result> m_result;
};

class PgDatabase {
public:
    PgDatabase() = default;
    PgDatabase(PgDatabase&&) noexcept = default;
    PgDatabase& operator=(PgDatabase&&) noexcept = default;

    // Connects to the server the URI names; nothing stays open on failure.
    // The error's message is libpq's, with any password removed.
    static PgResult<PgDatabase> connect(const QString& uri);

    bool isOpen() const { return m_conn != nullptr; }
    void close() { m_conn.reset(); }
    // Whether the connection is usable as far as the client knows, with no
    // transaction open (nothing sent that has not been committed or rolled
    // back).
    bool isIdle() const;
    // One round trip with an empty statement: fails when the server closed
    // the connection or went away since its last answer.
    PgStatus ping();

    // Runs one statement with $1, $2, ... parameters (nullopt: NULL).
    PgResult<PgRows> exec(const QString& sql,
                          const std::vector<std::optional<QString>>& params = {});
    // Runs statements that take no parameters, several separated by ";".
    PgStatus execScript(const QString& sql);
    // Sends one statement without parameters and returns at once; its rows
    // come with receive(), and nothing else may run on the connection until
    // then. The server works on it while the caller does other work.
    PgStatus send(const QString& sql);
    PgResult<PgRows> receive();

private:
    // The rows of a finished statement, or its failure.
    PgResult<PgRows> checked(pg_result* result) const;

    std::shared_ptr<pg_conn> m_conn;
    QString m_password;  // removed from every message
};

}  // namespace orlo::pg
