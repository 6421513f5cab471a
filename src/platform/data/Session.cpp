#include "platform/data/Session.h"

#include "platform/data/DataErrors.h"
#include "platform/data/JetBridge.h"

namespace orlo::data::detail {

namespace {

QString upper(QStringView s) {
    return s.toString().toUpper();
}

QString columnText(sqlite3_stmt* stmt, int i) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(stmt, i)) : QString();
}

}  // namespace

long errorNumberFor(int rc, int extended, const QString& message) {
    if (extended == SQLITE_CONSTRAINT_FOREIGNKEY) {
        return orlo::err::kReferencedRecord;
    }
    switch (rc & 0xff) {
        case SQLITE_CONSTRAINT:
            return err::kIntegrityViolation;
        case SQLITE_MISMATCH:
            return orlo::err::kTypeMismatch;
        case SQLITE_ERROR: {
            // The dialect's functions report a text that is no date (type
            // mismatch) or a bad argument through their message.
            const long n = functionErrorNumber(message);
            return n != orlo::err::kNone ? n : err::kCommandError;
        }
        default:
            // Busy, locked, cannot open, not a database, I/O, corrupt, full,
            // read-only: the provider's general failure, as callers expect
            // of a file that cannot be opened or is in use.
            return orlo::err::kProviderFailure;
    }
}

QString sqlStateFor(int rc, int extended) {
    if (extended == SQLITE_CONSTRAINT_FOREIGNKEY || (rc & 0xff) == SQLITE_CONSTRAINT) {
        return QStringLiteral("23000");
    }
    switch (rc & 0xff) {
        case SQLITE_ERROR:
            return QStringLiteral("42000");
        case SQLITE_MISMATCH:
            return QStringLiteral("22018");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("HYT00");
        default:
            return QStringLiteral("HY000");
    }
}

void Session::attach(sqlite3* db, QString path) {
    m_db = db;
    m_path = std::move(path);
    m_batchOpen = false;
    m_batchWrites = false;
}

Session::~Session() {
    (void)close();
}

Status Session::close() {
    if (m_db == nullptr) {
        return {};
    }
    Status flushed = flushBatch();
    m_cache.clear();
    m_tables.clear();
    m_dateColumns.clear();
    // close_v2 defers the close until any statement still prepared is done.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    return flushed;
}

Error Session::fail(const Error& e, const QString& sql) {
    ProviderError pe;
    pe.number = e.number;
    pe.description = e.description;
    pe.sql = sql;
    pe.source = e.source.isEmpty() ? QString::fromUtf16(kErrorSource) : e.source;
    pe.sqlState =
        e.number == orlo::err::kTypeMismatch ? QStringLiteral("22018") : QStringLiteral("HY000");
    pe.nativeError = 0;
    m_errors.push_back(pe);
    return e;
}

Error Session::sqliteFailure(int rc, const QString& sql) {
    const int extended = m_db ? sqlite3_extended_errcode(m_db) : rc;
    QString message =
        m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const long number = errorNumberFor(rc, extended, message);
    if (number == orlo::err::kReferencedRecord) {
        message = QStringLiteral(
                      "The record cannot be deleted or changed because a related table "
                      "includes related records, or a related record is required (") +
                  message + QLatin1Char(')');
    } else if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED) {
        message =
            QStringLiteral("Could not use '%1'; file already in use (%2)").arg(m_path, message);
    }
    Error e = makeError(number, message, QString::fromUtf16(kErrorSource));
    ProviderError pe;
    pe.number = number;
    pe.description = message;
    pe.sql = sql;
    pe.source = e.source;
    pe.sqlState =
        number == orlo::err::kTypeMismatch ? QStringLiteral("22018") : sqlStateFor(rc, extended);
    pe.nativeError = extended;
    m_errors.push_back(pe);
    return e;
}

Status Session::loadSchema() {
    m_tables.clear();
    m_dateColumns.clear();
    SqliteStatement tables;
    const QString listSql = QStringLiteral(
        "SELECT name, sql FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite_%'");
    int rc = tables.prepare(m_db, listSql);
    if (rc != SQLITE_OK) {
        return sqliteFailure(rc, listSql);
    }
    QList<TableInfo> found;
    while ((rc = sqlite3_step(tables.get())) == SQLITE_ROW) {
        TableInfo t;
        t.name = columnText(tables.get(), 0);
        t.autoIncrement = columnText(tables.get(), 1)
                              .contains(QStringLiteral("AUTOINCREMENT"), Qt::CaseInsensitive);
        found << t;
    }
    if (rc != SQLITE_DONE) {
        return sqliteFailure(rc, listSql);
    }
    for (TableInfo& t : found) {
        SqliteStatement info;
        const QString infoSql = QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?1)");
        rc = info.prepare(m_db, infoSql);
        if (rc != SQLITE_OK) {
            return sqliteFailure(rc, infoSql);
        }
        const QByteArray name = t.name.toUtf8();
        sqlite3_bind_text(info.get(), 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        int pkColumns = 0;
        QString pkName;
        QString pkType;
        while ((rc = sqlite3_step(info.get())) == SQLITE_ROW) {
            const QString column = columnText(info.get(), 0);
            const QString type = columnText(info.get(), 1);
            t.declTypeByColumn.insert(upper(column), type);
            if (type.compare(QStringLiteral("DATETIME"), Qt::CaseInsensitive) == 0) {
                m_dateColumns.insert(upper(column));
            }
            if (sqlite3_column_int(info.get(), 2) > 0) {
                ++pkColumns;
                pkName = column;
                pkType = type;
            }
        }
        if (rc != SQLITE_DONE) {
            return sqliteFailure(rc, infoSql);
        }
        // Only an INTEGER PRIMARY KEY is the row's own key (the rowid).
        if (pkColumns == 1 && pkType.compare(QStringLiteral("INTEGER"), Qt::CaseInsensitive) == 0) {
            t.keyColumn = pkName;
        }
        m_tables.insert(upper(t.name), t);
    }
    return {};
}

bool Session::isDateColumn(QStringView table, QStringView column) const {
    QStringView c = column;
    const qsizetype dot = c.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        c = c.mid(dot + 1);
    }
    if (c.startsWith(QLatin1Char('[')) && c.endsWith(QLatin1Char(']'))) {
        c = c.mid(1, c.size() - 2);
    }
    if (!table.isEmpty()) {
        if (const TableInfo* t = this->table(table.toString())) {
            return t->declTypeByColumn.value(upper(c)).compare(QStringLiteral("DATETIME"),
                                                               Qt::CaseInsensitive) == 0;
        }
    }
    return m_dateColumns.contains(upper(c));
}

const TableInfo* Session::table(const QString& name) const {
    auto it = m_tables.constFind(upper(name));
    return it == m_tables.constEnd() ? nullptr : &*it;
}

Status Session::beginBatch() {
    if (m_batchOpen || !sqlite3_get_autocommit(m_db)) {
        return {};
    }
    const int rc = execSimple(m_db, "BEGIN");
    if (rc != SQLITE_OK) {
        return sqliteFailure(rc, QStringLiteral("BEGIN"));
    }
    m_batchOpen = true;
    return {};
}

Status Session::flushBatch() {
    if (!m_batchOpen) {
        return {};
    }
    m_batchOpen = false;
    if (sqlite3_get_autocommit(m_db)) {
        return {};  // the engine already ended it
    }
    const int rc = execSimple(m_db, "COMMIT");
    if (rc != SQLITE_OK) {
        Error e = sqliteFailure(rc, QStringLiteral("COMMIT"));
        execSimple(m_db, "ROLLBACK");
        return e;
    }
    return {};
}

SqliteStatement* Session::cachedStatement(const QString& sql, int* rc) {
    auto it = m_cache.find(sql);
    if (it != m_cache.end()) {
        *rc = SQLITE_OK;
        sqlite3_reset(it.value()->get());
        sqlite3_clear_bindings(it.value()->get());
        return it.value().get();
    }
    auto stmt = std::make_shared<SqliteStatement>();
    *rc = stmt->prepare(m_db, sql);
    if (*rc != SQLITE_OK) {
        return nullptr;
    }
    m_cache.insert(sql, stmt);
    return stmt.get();
}

}  // namespace orlo::data::detail
