#include "platform/sqlite/Database.h"

#include <QFile>

namespace orlo::sqlite {

SqlResult<Database> Database::open(const QString& path, int flags) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                   flags | SQLITE_OPEN_NOMUTEX, nullptr);
    // Owned at once, so that a failed open closes the handle too.
    Database db;
    db.m_db.reset(raw, [](sqlite3* handle) { sqlite3_close_v2(handle); });
    if (rc != SQLITE_OK) {
        return db.errorFor(rc);
    }
    sqlite3_extended_result_codes(raw, 1);
    return db;
}

void Database::setBusyTimeout(int ms) {
    sqlite3_busy_timeout(m_db.get(), ms);
}

SqlStatus Database::exec(QByteArrayView utf8) {
    // sqlite3_exec wants a terminated text.
    const QByteArray text = utf8.toByteArray();
    const int rc = sqlite3_exec(m_db.get(), text.constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        return errorFor(rc, QString::fromUtf8(text));
    }
    return {};
}

SqlStatus Database::exec(const QString& sql) {
    return exec(QByteArrayView(sql.toUtf8()));
}

SqlResult<Statement> Database::prepare(const QString& sql, QString* tail) const {
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const char* rest = nullptr;
    const int rc = sqlite3_prepare_v2(m_db.get(), utf8.constData(), static_cast<int>(utf8.size()),
                                      &stmt, &rest);
    if (rc != SQLITE_OK) {
        return errorFor(rc, sql);
    }
    if (tail != nullptr) {
        *tail = rest != nullptr ? QString::fromUtf8(rest, utf8.constData() + utf8.size() - rest)
                                : QString();
    }
    return Statement(stmt);
}

SqlResult<Statement> Database::preparePersistent(QByteArrayView utf8) const {
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(m_db.get(), utf8.data(), static_cast<int>(utf8.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        return errorFor(rc, QString::fromUtf8(utf8));
    }
    return Statement(stmt);
}

std::int64_t Database::lastInsertRowid() const {
    return sqlite3_last_insert_rowid(m_db.get());
}

std::int64_t Database::changes() const {
    return sqlite3_changes64(m_db.get());
}

bool Database::inTransaction() const {
    return m_db != nullptr && sqlite3_get_autocommit(m_db.get()) == 0;
}

SqliteError Database::errorFor(int rc, const QString& sql) const {
    return errorOf(m_db.get(), rc, sql);
}

SqliteError Database::errorOf(sqlite3* db, int rc, const QString& sql) {
    if (db == nullptr) {
        return SqliteError{rc & 0xff, rc, QString::fromUtf8(sqlite3_errstr(rc)), sql};
    }
    return SqliteError{rc & 0xff, sqlite3_extended_errcode(db),
                       QString::fromUtf8(sqlite3_errmsg(db)), sql};
}

}  // namespace orlo::sqlite
