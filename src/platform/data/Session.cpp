#include "platform/data/Session.h"

#include "platform/core/ErrorTrap.h"
#include "platform/data/DataErrors.h"
#include "platform/data/JetBridge.h"
#include "platform/pg/PgLocation.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data::detail {

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
            return n != orlo::err::kNone ? n : orlo::err::kCommandError;
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
        return u"23000"_s;
    }
    switch (rc & 0xff) {
        case SQLITE_ERROR:
            return u"42000"_s;
        case SQLITE_MISMATCH:
            return u"22018"_s;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return u"HYT00"_s;
        default:
            return u"HY000"_s;
    }
}

void Session::attach(sqlite::Database db, QString path) {
    m_batch.reset();
    m_db = std::move(db);
    m_path = std::move(path);
    m_pooledFile.reset();
    m_batchWrites = false;
    ++m_openSerial;
}

void Session::attachServer(pg::PgDatabase server, const QString& uri) {
    m_batch.reset();
    m_server = std::move(server);
    m_serverUri = uri;
    m_path = pg::redactedUri(uri);
    m_batchWrites = false;
}

namespace {

// The referential failure's description, around the engine's own words.
QString referencedRecordText(const QString& engineMessage) {
    return u"The record cannot be deleted or changed because a related table "
           "includes related records, or a related record is required ("_s +
           engineMessage + QLatin1Char(')');
}

// The error number of a server's SQLSTATE, as errorNumberFor gives it for
// SQLite's codes: the class decides (23: a constraint, 22: a value, 42: the
// statement), a dialect function's message its own number.
long serverErrorNumber(const QString& state, const QString& message) {
    if (const long n = functionErrorNumber(message); n != orlo::err::kNone) {
        return n;
    }
    if (state == u"23503"_s) {
        return orlo::err::kReferencedRecord;
    }
    if (state.startsWith(u"23"_s)) {
        return err::kIntegrityViolation;
    }
    if (state.startsWith(u"22"_s)) {
        return orlo::err::kTypeMismatch;
    }
    if (state.startsWith(u"42"_s)) {
        return orlo::err::kCommandError;
    }
    // Connection lost, server shutting down, out of resources, a lock or
    // serialisation failure: the provider's general failure.
    return orlo::err::kProviderFailure;
}

}  // namespace

Error Session::serverFailure(const pg::PgError& e, const QString& sql) {
    const long number = serverErrorNumber(e.sqlState, e.message);
    QString message = e.message;
    if (number == orlo::err::kReferencedRecord) {
        message = referencedRecordText(message);
    }
    return recordFailure(number, message, sql, e.sqlState, 0);
}

namespace {

// The savepoint a statement runs under while reads are open on the server:
// on a failure the transaction, and with it the open reads, go on from
// before the statement.
constexpr auto kSavepoint = u"SAVEPOINT orlo_statement";
constexpr auto kReleaseSavepoint = u"RELEASE SAVEPOINT orlo_statement";
constexpr auto kRollBackToSavepoint =
    u"ROLLBACK TO SAVEPOINT orlo_statement; RELEASE SAVEPOINT orlo_statement";

// A server outcome as a Status, for the clean-ups that only log a failure.
Status asStatus(const pg::PgStatus& done) {
    if (!done) {
        return dataError(orlo::err::kProviderFailure, done.error().message);
    }
    return {};
}

}  // namespace

Result<pg::PgRows> Session::serverExec(const QString& sql, const QString& source,
                                       const std::vector<std::optional<QString>>& params) {
    const bool guarded = m_serverCursors > 0;
    if (guarded) {
        if (pg::PgStatus saved = m_server.execScript(QString::fromUtf16(kSavepoint)); !saved) {
            return serverFailure(saved.error(), source);
        }
    }
    pg::PgResult<pg::PgRows> rows = m_server.exec(sql, params);
    if (guarded) {
        // After a failure the transaction, and with it the open reads, go
        // on from before the statement.
        const pg::PgStatus back = m_server.execScript(
            QString::fromUtf16(rows ? kReleaseSavepoint : kRollBackToSavepoint));
        if (!back && rows) {
            return serverFailure(back.error(), source);
        }
    }
    if (!rows) {
        return serverFailure(rows.error(), source);
    }
    return std::move(rows).value();
}

Result<QString> Session::openServerCursor(const QString& sql, const QString& source,
                                          const std::vector<std::optional<QString>>& params,
                                          bool readWhole) {
    if (m_serverCursors == 0) {
        if (pg::PgStatus begun = m_server.execScript(u"BEGIN ISOLATION LEVEL REPEATABLE READ"_s);
            !begun) {
            return serverFailure(begun.error(), source);
        }
    }
    // The server plans a cursor for its first tenth of rows; one read to
    // its end is planned for the whole, as a plain query is.
    if (readWhole) {
        if (pg::PgStatus set = m_server.execScript(u"SET LOCAL cursor_tuple_fraction = 1"_s);
            !set) {
            return serverFailure(set.error(), source);
        }
    }
    const QString cursor = u"orlo_read_%1"_s.arg(++m_cursorSerial);
    Result<pg::PgRows> declared =
        serverExec(u"DECLARE %1 NO SCROLL CURSOR FOR "_s.arg(cursor) + sql, source, params);
    if (readWhole) {
        ignoreError(asStatus(m_server.execScript(u"SET LOCAL cursor_tuple_fraction TO DEFAULT"_s)),
                    "a failed transaction ends with its settings");
    }
    if (!declared) {
        if (m_serverCursors == 0) {
            ignoreError(asStatus(m_server.execScript(u"COMMIT"_s)),
                        "the transaction holds no reads and no writes");
        }
        return declared.error();
    }
    ++m_serverCursors;
    return cursor;
}

void Session::closeServerCursor(const QString& cursor) {
    if (m_serverCursors == 0 || !m_server.isOpen()) {
        return;
    }
    ignoreError(asStatus(m_server.execScript(u"CLOSE "_s + cursor)),
                "a cursor that failed is closed with its transaction");
    if (--m_serverCursors == 0) {
        // Reads only: nothing is written, and a failed read has nothing to keep.
        ignoreError(asStatus(m_server.execScript(u"COMMIT"_s)), "the transaction holds no writes");
    }
}

Status Session::readServerPages(const QString& cursor, int pageRows, const QString& source,
                                const std::function<void(const pg::PgRows&)>& onPage) {
    if (pg::PgStatus saved = m_server.execScript(QString::fromUtf16(kSavepoint)); !saved) {
        return serverFailure(saved.error(), source);
    }
    const QString fetch = u"FETCH %1 FROM %2"_s.arg(pageRows).arg(cursor);
    pg::PgStatus sent = m_server.send(fetch);
    while (sent) {
        pg::PgResult<pg::PgRows> page = m_server.receive();
        if (!page) {
            sent = page.error();
            break;
        }
        const bool last = page->rowCount() < pageRows;
        if (!last) {
            sent = m_server.send(fetch);
        }
        onPage(*page);
        if (last) {
            break;
        }
    }
    if (!sent) {
        // Nothing is pending after a failure: a failed send has sent
        // nothing, a failed page was the last answer.
        ignoreError(asStatus(m_server.execScript(QString::fromUtf16(kRollBackToSavepoint))),
                    "a broken connection ends the transaction with the reads");
        return serverFailure(sent.error(), source);
    }
    if (pg::PgStatus released = m_server.execScript(QString::fromUtf16(kReleaseSavepoint));
        !released) {
        return serverFailure(released.error(), source);
    }
    return {};
}

std::optional<Session::ServerColumn> Session::serverColumn(unsigned tableOid, int position) const {
    const auto it = m_serverColumns.constFind((quint64(tableOid) << 16) | quint64(position));
    if (it == m_serverColumns.constEnd()) {
        return std::nullopt;
    }
    return *it;
}

Status Session::loadServerSchema() {
    // Every column of every table of the public schema, with its type as
    // the file's schema would declare it.
    const QString sql =
        u"SELECT c.oid, c.relname, a.attnum, a.attname, "
        "CASE WHEN a.attidentity <> '' THEN 'KEY' WHEN t.typname = 'orlo_datetime' THEN "
        "'DATETIME' WHEN t.typname IN ('int2', 'int4', 'int8') THEN 'INTEGER' ELSE 'TEXT' END "
        "FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
        "JOIN pg_type t ON t.oid = a.atttypid "
        "WHERE c.relnamespace = 'public'::regnamespace AND c.relkind = 'r' AND a.attnum > 0 "
        "AND NOT a.attisdropped ORDER BY c.relname, a.attnum"_s;
    ORLO_TRY_ASSIGN(const pg::PgRows rows, serverExec(sql, sql));
    for (int r = 0; r < rows.rowCount(); ++r) {
        const QString tableName = rows.text(r, 1);
        const QString column = rows.text(r, 3);
        QString type = rows.text(r, 4);
        TableInfo& t = m_tables[upper(tableName)];
        t.name = tableName;
        if (type == u"KEY"_s) {
            t.keyColumn = column;
            t.autoIncrement = true;
            type = u"INTEGER"_s;
        }
        t.declTypeByColumn.insert(upper(column), type);
        m_serverNames.insert(upper(tableName), tableName);
        m_serverNames.insert(upper(column), column);
        if (type == u"DATETIME"_s) {
            m_dateColumns.insert(upper(column));
        }
        m_serverColumns.insert(
            (rows.text(r, 0).toULongLong() << 16) | rows.text(r, 2).toULongLong(),
            ServerColumn{tableName, column});
    }
    return {};
}

Session::~Session() {
    ignoreError(close(), "a session going away has no caller left to tell");
}

Status Session::close() {
    // A recordset of a closed connection is closed: its rows are not read on.
    const std::vector<OpenRead> reads = std::move(m_openReads);
    m_openReads.clear();
    for (const OpenRead& r : reads) {
        r.drop();
    }
    if (m_server.isOpen()) {
        if (m_ctx.connectionPool) {
            m_ctx.connectionPool->giveBack(m_serverUri, std::move(m_server));
        }
        m_server.close();
        m_serverUri.clear();
        m_serverCursors = 0;
        m_tables.clear();
        m_dateColumns.clear();
        m_serverColumns.clear();
        m_serverNames.clear();
        return {};
    }
    if (!m_db.isOpen()) {
        return {};
    }
    Status flushed = flushBatch();
    m_cache.clear();
    m_keyInsertPrefix.clear();
    m_keyInsertText.clear();
    m_tables.clear();
    m_dateColumns.clear();
    if (m_pooledFile && m_ctx.connectionPool && flushed) {
        m_ctx.connectionPool->giveBackFile(m_path, m_pooledFile->readOnly, m_pooledFile->id,
                                           std::move(m_db));
        m_pooledFile.reset();
    }
    m_db.close();
    return flushed;
}

void Session::addOpenRead(const void* owner, std::function<Status()> finish,
                          std::function<void()> drop) {
    removeOpenRead(owner);
    m_openReads.push_back({owner, std::move(finish), std::move(drop)});
}

void Session::removeOpenRead(const void* owner) {
    std::erase_if(m_openReads, [owner](const OpenRead& r) { return r.owner == owner; });
}

Status Session::runKeyInsert(sqlite::Statement& stmt, qint64 key, const QString& sql) {
    ORLO_TRY(finishOpenReads());
    if (m_batchWrites) {
        ORLO_TRY(beginBatch());
    }
    stmt.bindInt(1, key);
    const sqlite::SqlStatus ran = stmt.run();
    stmt.reset();
    if (!ran) {
        if (batchOpen() && !database().inTransaction()) {
            batchLost();
        }
        return failure(ran.error(), sql);
    }
    return okStatus();
}

Status Session::finishOpenReads() {
    // Each finish removes its own entry when its read ends.
    while (!m_openReads.empty()) {
        const OpenRead read = m_openReads.back();
        if (Status s = read.finish(); !s) {
            // A read that fails is over as well: its recordset keeps the
            // rows it had and reads no further.
            removeOpenRead(read.owner);
            return s;
        }
        removeOpenRead(read.owner);
    }
    return {};
}

Error Session::fail(const Error& e, const QString& sql) {
    ProviderError pe;
    pe.number = e.number;
    pe.description = e.description;
    pe.sql = sql;
    pe.source = e.source.isEmpty() ? kErrorSource.toString() : e.source;
    pe.sqlState = e.number == orlo::err::kTypeMismatch ? u"22018"_s : u"HY000"_s;
    pe.nativeError = 0;
    m_errors.push_back(pe);
    return e;
}

Error Session::failure(const sqlite::SqliteError& e, const QString& sql) {
    QString message = e.message;
    const long number = errorNumberFor(e.code, e.extendedCode, message);
    if (number == orlo::err::kReferencedRecord) {
        message = referencedRecordText(message);
    } else if (e.code == SQLITE_BUSY || e.code == SQLITE_LOCKED) {
        message =
            u"Could not use '%1'; file already in use: another program holds it (%2). Try again in a moment."_s
                .arg(m_path, message);
    } else if (e.code == SQLITE_READONLY) {
        message =
            u"Cannot update '%1'; database or object is read-only (%2)."_s.arg(m_path, message);
    }
    return recordFailure(
        number, message, sql,
        number == orlo::err::kTypeMismatch ? u"22018"_s : sqlStateFor(e.code, e.extendedCode),
        e.extendedCode);
}

Error Session::recordFailure(long number, const QString& message, const QString& sql,
                             const QString& sqlState, long nativeError) {
    Error error = dataError(number, message);
    ProviderError pe;
    pe.number = number;
    pe.description = message;
    pe.sql = sql;
    pe.source = error.source;
    pe.sqlState = sqlState;
    pe.nativeError = nativeError;
    m_errors.push_back(pe);
    return error;
}

Status Session::loadSchema() {
    m_tables.clear();
    m_dateColumns.clear();
    m_serverColumns.clear();
    m_serverNames.clear();
    if (isServer()) {
        return loadServerSchema();
    }
    const QString listSql =
        u"SELECT name, sql FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"_s;
    ORLO_TRY_ASSIGN(sqlite::Statement tables, check(m_db.prepare(listSql), listSql));
    QList<TableInfo> found;
    ORLO_TRY(check(tables.forEachRow([&](const sqlite::Statement& row) {
        TableInfo t;
        t.name = row.columnText(0);
        t.autoIncrement = row.columnText(1).contains(u"AUTOINCREMENT"_s, Qt::CaseInsensitive);
        found << t;
    }),
                   listSql));
    const QString infoSql = u"SELECT name, type, pk FROM pragma_table_info(?1)"_s;
    ORLO_TRY_ASSIGN(sqlite::Statement info, check(m_db.prepare(infoSql), infoSql));
    for (TableInfo& t : found) {
        info.reset();
        info.bindText(1, t.name);
        int pkColumns = 0;
        QString pkName;
        QString pkType;
        ORLO_TRY(check(info.forEachRow([&](const sqlite::Statement& row) {
            const QString column = row.columnText(0);
            const QString type = row.columnText(1);
            t.declTypeByColumn.insert(upper(column), type);
            if (type.compare(u"DATETIME"_s, Qt::CaseInsensitive) == 0) {
                m_dateColumns.insert(upper(column));
            }
            if (row.columnInt(2) > 0) {
                ++pkColumns;
                pkName = column;
                pkType = type;
            }
        }),
                       infoSql));
        // Only an INTEGER PRIMARY KEY is the row's own key (the rowid).
        if (pkColumns == 1 && pkType.compare(u"INTEGER"_s, Qt::CaseInsensitive) == 0) {
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
            return t->declTypeByColumn.value(upper(c)).compare(u"DATETIME"_s,
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
    if (isServer() || m_batch || m_db.inTransaction()) {
        return {};
    }
    sqlite::SqlResult<sqlite::Transaction> batch = sqlite::Transaction::begin(m_db);
    if (!batch) {
        return failure(batch.error(), u"BEGIN"_s);
    }
    m_batch.emplace(std::move(batch).value());
    return {};
}

Status Session::flushBatch() {
    if (!m_batch) {
        return {};
    }
    sqlite::Transaction batch = std::move(*m_batch);
    m_batch.reset();
    if (!m_db.inTransaction()) {
        return {};  // the engine already ended it
    }
    if (sqlite::SqlStatus committed = batch.commit(); !committed) {
        return failure(committed.error(), u"COMMIT"_s);  // batch rolls back
    }
    return {};
}

sqlite::SqlResult<sqlite::StatementUse> Session::cachedStatement(const QString& sql) {
    auto it = m_cache.find(sql);
    if (it == m_cache.end()) {
        ORLO_TRY_ASSIGN(sqlite::Statement made,
                        m_db.preparePersistent(QByteArrayView(sql.toUtf8())));
        it = m_cache.emplace(sql, std::move(made)).first;
    }
    return sqlite::StatementUse(it->second);
}

void Session::rememberKeyInsert(QStringView prefix, const QString& sqliteText) {
    if (m_keyInsertPrefix != prefix) {
        m_keyInsertPrefix = prefix.toString();
    }
    if (m_keyInsertText != sqliteText) {
        m_keyInsertText = sqliteText;
    }
}

}  // namespace orlo::data::detail
