#include "host/store/SqliteStatement.h"

#include <sqlite3.h>

#include <utility>

namespace orlo::host {

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_stmt(std::exchange(other.m_stmt, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::bindInt(int index, std::int64_t value) {
    sqlite3_bind_int64(m_stmt, index, value);
}

void SqliteStatement::bindDouble(int index, double value) {
    sqlite3_bind_double(m_stmt, index, value);
}

void SqliteStatement::bindText(int index, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text64(m_stmt, index, utf8.constData(), static_cast<sqlite3_uint64>(utf8.size()),
                        SQLITE_TRANSIENT, SQLITE_UTF8);
}

void SqliteStatement::bindBlob(int index, const void* data, int bytes) {
    sqlite3_bind_blob(m_stmt, index, data, bytes, SQLITE_TRANSIENT);
}

void SqliteStatement::bindNull(int index) {
    sqlite3_bind_null(m_stmt, index);
}

int SqliteStatement::step() {
    return sqlite3_step(m_stmt);
}

void SqliteStatement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int SqliteStatement::columnType(int column) const {
    return sqlite3_column_type(m_stmt, column);
}

std::int64_t SqliteStatement::columnInt(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

double SqliteStatement::columnDouble(int column) const {
    return sqlite3_column_double(m_stmt, column);
}

QString SqliteStatement::columnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
}

QString SqliteStatement::columnUtf16Blob(int column) const {
    const void* data = sqlite3_column_blob(m_stmt, column);
    const int bytes = sqlite3_column_bytes(m_stmt, column);
    return QString(static_cast<const QChar*>(data), bytes / 2);
}

}  // namespace orlo::host
