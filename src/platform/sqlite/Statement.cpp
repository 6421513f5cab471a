#include "platform/sqlite/Statement.h"

#include <QStringDecoder>

namespace orlo::sqlite {

namespace {

QString utf8Text(const char* text) {
    return text != nullptr ? QString::fromUtf8(text) : QString();
}

}  // namespace

QString storedUtf8Text(const char* text, qsizetype bytes) {
    // QString::fromUtf8 drops a leading byte order mark, which would change
    // a value that starts with U+FEFF between its write and its read.
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes >= 3 && std::string_view(text, 3) == kBom) {
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return decode(QByteArrayView(text, bytes));
    }
    return QString::fromUtf8(text, bytes);
}

QString Statement::sql() const {
    return utf8Text(sqlite3_sql(m_stmt.get()));
}

bool Statement::isReadOnly() const {
    return sqlite3_stmt_readonly(m_stmt.get()) != 0;
}

void Statement::bindInt(int index, std::int64_t value) {
    sqlite3_bind_int64(m_stmt.get(), index, value);
}

void Statement::bindDouble(int index, double value) {
    sqlite3_bind_double(m_stmt.get(), index, value);
}

void Statement::bindText(int index, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    bindUtf8(index, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

void Statement::bindUtf8(int index, std::string_view utf8) {
    sqlite3_bind_text64(m_stmt.get(), index, utf8.data(), static_cast<sqlite3_uint64>(utf8.size()),
                        SQLITE_TRANSIENT, SQLITE_UTF8);
}

void Statement::bindBlob(int index, const void* data, int bytes) {
    sqlite3_bind_blob(m_stmt.get(), index, data, bytes, SQLITE_TRANSIENT);
}

void Statement::bindNull(int index) {
    sqlite3_bind_null(m_stmt.get(), index);
}

SqlResult<bool> Statement::step() {
    const int rc = sqlite3_step(m_stmt.get());
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    return failure(rc);
}

SqlStatus Statement::run() {
    return forEachRow([](const Statement&) {});
}

void Statement::reset() noexcept {
    // The error of the last step is reported by step() already.
    sqlite3_reset(m_stmt.get());
    sqlite3_clear_bindings(m_stmt.get());
}

int Statement::columnCount() const {
    return sqlite3_column_count(m_stmt.get());
}

int Statement::columnType(int column) const {
    return sqlite3_column_type(m_stmt.get(), column);
}

std::int64_t Statement::columnInt(int column) const {
    return sqlite3_column_int64(m_stmt.get(), column);
}

double Statement::columnDouble(int column) const {
    return sqlite3_column_double(m_stmt.get(), column);
}

QString Statement::columnText(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), column));
    if (text == nullptr) {
        return {};
    }
    return storedUtf8Text(text, sqlite3_column_bytes(m_stmt.get(), column));
}

QString Statement::columnUtf16Blob(int column) const {
    const void* data = sqlite3_column_blob(m_stmt.get(), column);
    const int bytes = sqlite3_column_bytes(m_stmt.get(), column);
    return QString(static_cast<const QChar*>(data), bytes / 2);
}

QString Statement::columnName(int column) const {
    return utf8Text(sqlite3_column_name(m_stmt.get(), column));
}

QString Statement::columnTableName(int column) const {
    return utf8Text(sqlite3_column_table_name(m_stmt.get(), column));
}

QString Statement::columnOriginName(int column) const {
    return utf8Text(sqlite3_column_origin_name(m_stmt.get(), column));
}

QString Statement::columnDeclType(int column) const {
    return utf8Text(sqlite3_column_decltype(m_stmt.get(), column));
}

SqliteError Statement::failure(int rc) const {
    sqlite3* db = sqlite3_db_handle(m_stmt.get());
    return SqliteError{rc & 0xff, db != nullptr ? sqlite3_extended_errcode(db) : rc,
                       QString::fromUtf8(db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc)),
                       sql()};
}

}  // namespace orlo::sqlite
