#pragma once
// Statement: one prepared SQLite statement, finalized when the object goes.
// Binding and reading follow SQLite's numbering: parameters from 1, columns
// from 0. step() and forEachRow() report a failure as a SqliteError carrying
// the statement's text.
//
// It is a grievous error to use a statement after the Database it was
// prepared on has been destroyed.

#include <sqlite3.h>

#include <QString>
#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>

#include "platform/sqlite/SqliteError.h"

namespace orlo::sqlite {

class Statement {
public:
    // No statement: what preparing a text of blanks or comments gives.
    Statement() = default;
    explicit Statement(sqlite3_stmt* stmt) : m_stmt(stmt) {}

    bool isValid() const { return m_stmt != nullptr; }
    explicit operator bool() const { return isValid(); }
    sqlite3_stmt* handle() const { return m_stmt.get(); }
    // The text it was prepared from.
    QString sql() const;
    // True when running it changes nothing (a SELECT, most PRAGMAs).
    bool isReadOnly() const;

    // Text and blobs are copied: the caller's buffer may go at once.
    void bindInt(int index, std::int64_t value);
    void bindDouble(int index, double value);
    void bindText(int index, const QString& value);
    void bindUtf8(int index, std::string_view utf8);
    void bindBlob(int index, const void* data, int bytes);
    void bindNull(int index);

    // One step: true when a row is ready to read, false when the statement
    // has run to its end.
    SqlResult<bool> step();
    // Runs the statement to its end; rows it returns are passed over.
    SqlStatus run();
    // Calls f(const Statement&) for each row. When f returns bool, false
    // stops the walk (and is no error).
    template <typename F>
    SqlStatus forEachRow(F&& f);
    // Ready to run again from the start, bindings cleared.
    void reset() noexcept;

    int columnCount() const;
    int columnType(int column) const;
    std::int64_t columnInt(int column) const;
    double columnDouble(int column) const;
    QString columnText(int column) const;  // a NULL reads as a null QString
    QString columnUtf16Blob(int column) const;
    QString columnName(int column) const;
    QString columnTableName(int column) const;   // the table a result column comes from
    QString columnOriginName(int column) const;  // its name in that table
    QString columnDeclType(int column) const;

private:
    SqliteError failure(int rc) const;

    struct Finalizer {
        void operator()(sqlite3_stmt* stmt) const noexcept { sqlite3_finalize(stmt); }
    };
    std::unique_ptr<sqlite3_stmt, Finalizer> m_stmt;
};

// A stored UTF-8 text as it was written: unlike QString::fromUtf8, a
// leading byte order mark stays part of the text.
QString storedUtf8Text(const char* text, qsizetype bytes);

template <typename F>
SqlStatus Statement::forEachRow(F&& f) {
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(m_stmt.get())) == SQLITE_ROW) {
        if constexpr (std::is_same_v<std::invoke_result_t<F&, const Statement&>, bool>) {
            if (!f(static_cast<const Statement&>(*this))) {
                return {};
            }
        } else {
            f(static_cast<const Statement&>(*this));
        }
    }
    if (rc != SQLITE_DONE) {
        return failure(rc);
    }
    return {};
}

}  // namespace orlo::sqlite
