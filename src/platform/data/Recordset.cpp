#include "platform/data/Recordset.h"

#include <QRegularExpression>
#include <limits>

#include "platform/core/ErrorTrap.h"
#include "platform/core/Locale.h"
#include "platform/data/Connection.h"
#include "platform/data/JetBridge.h"
#include "platform/data/PackedRow.h"
#include "platform/data/PendingInsert.h"
#include "platform/data/Session.h"
#include "platform/data/SqliteValues.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

struct Recordset::Column {
    QString name;    // the field's name
    QString table;   // the table the value comes from, or empty
    QString origin;  // the column's name in that table
    bool isDate = false;
    detail::Affinity affinity = detail::Affinity::None;
};

struct Recordset::Row {
    detail::PackedRow cells;  // stored form: Null, Integer, Double or Text
    qint64 rowid = 0;
    bool deleted = false;
};

namespace {

constexpr QStringView kRowidAlias = u"__orlo_rowid";
// A cursor that reads on demand opens with a report page's rows and more,
// and reads on in steps of this many as moves go past the rows read.
constexpr qint64 kFirstRows = 100;
constexpr qint64 kMoreRows = 1000;
// A static or read-only recordset that reads its rows at open takes them
// from the server in pages of this many: the client's memory for the
// server's result stays one page (reused page after page) instead of the
// whole result at once, which for a report of a hundred thousand rows is
// mostly spent mapping fresh memory.
constexpr qint64 kWholeReadPage = 2000;

Error closedError() {
    return dataError(orlo::err::kOperationNotAllowed, kObjectClosedText.toString());
}

Error noCurrentRecord() {
    return dataError(orlo::err::kNoCurrentRecord,
                     u"Either BOF or EOF is True, or the current record has "
                     "been deleted. Requested operation requires a current "
                     "record."_s);
}

Error notInCollection(const QString& what) {
    return dataError(orlo::err::kItemNotInCollection,
                     u"Item cannot be found in the collection corresponding "
                     "to the requested name or ordinal: %1"_s.arg(what));
}

Error notUpdatable(const QString& why) {
    return dataError(err::kNotUpdatable,
                     u"Current Recordset does not support updating: %1"_s.arg(why));
}

QString quoted(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char('"'), u"\"\""_s);
    return QLatin1Char('"') + n + QLatin1Char('"');
}

// A bare table name: one word, or one bracketed name.
std::optional<QString> bareTableName(const QString& source) {
    static const QRegularExpression re(u"^\\s*(?:\\[([^\\]]+)\\]|([A-Za-z_][A-Za-z0-9_]*))\\s*$"_s);
    const QRegularExpressionMatch m = re.match(source);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    return m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
}

bool filterClears(const QString& filter) {
    const QString f = filter.trimmed();
    return f.isEmpty() || f == u"0"_s;
}

}  // namespace

Recordset::Recordset() = default;

Recordset::~Recordset() {
    close();
}

Error Recordset::fail(const Error& e) const {
    if (m_session) {
        return m_session->fail(e);
    }
    return e;
}

const detail::Session* Recordset::liveSession() const {
    return (m_open && m_session && m_session->isOpen()) ? m_session.get() : nullptr;
}

int Recordset::state() const {
    return liveSession() ? kStateOpen : kStateClosed;
}

Status Recordset::ensureOpen() const {
    if (!liveSession()) {
        return fail(closedError());
    }
    return {};
}

Status Recordset::ensureCurrent() const {
    ORLO_TRY(ensureOpen());
    if (m_pending) {
        return {};
    }
    if (m_pos < 0 || m_pos >= qint64(m_rows.size())) {
        return fail(noCurrentRecord());
    }
    if (m_rows[size_t(m_pos)].deleted) {
        return fail(dataError(err::kRecordDeleted, u"Record is deleted."_s));
    }
    return {};
}

Status Recordset::open(const QString& source, Connection& connection, int cursorType, int lockType,
                       int /*options*/) {
    if (m_open) {
        return fail(dataError(orlo::err::kOperationNotAllowed, kObjectOpenText.toString()));
    }
    m_session = connection.session();
    detail::Session& s = *m_session;
    s.clearErrors();
    if (!s.isOpen()) {
        return s.fail(closedError());
    }
    // A read sees everything executed before it.
    ORLO_TRY(s.flushBatch());
    m_source = source;
    m_cursorType = cursorType;
    m_lockType = lockType;
    m_filter.clear();
    m_baseTable.clear();
    m_rowKey = RowKey::None;
    m_columns.clear();
    m_rows.clear();

    if (std::optional<QString> name = bareTableName(source); name && s.table(*name)) {
        const detail::TableInfo* t = s.table(*name);
        // A table without key is read with each row's address: SQLite's
        // rowid, the server's ctid.
        const QString address = s.isServer() ? u"ctid::text"_s : u"rowid"_s;
        m_baseSql = t->keyColumn.isEmpty()
                        ? u"SELECT *, %1 AS %2 FROM %3"_s.arg(
                              address, quoted(kRowidAlias.toString()), quoted(t->name))
                        : u"SELECT * FROM %1"_s.arg(quoted(t->name));
    } else {
        Result<QString> translated = detail::translateSql(source, s);
        if (!translated) {
            return s.fail(translated.error(), source);
        }
        m_baseSql = *translated;
    }
    m_open = true;
    if (Status f = fetch(); !f) {
        m_open = false;
        m_rows.clear();
        m_columns.clear();
        return f;
    }
    return {};
}

void Recordset::close() {
    // The AddNew's transaction rolls back.
    ignoreError(leaveCurrentRow(Leave::Abandon), "abandoning pending changes cannot fail");
    dropReader();
    m_open = false;
    m_rows.clear();
    m_columns.clear();
    m_deleted = 0;
    m_pos = -1;
    m_session.reset();
}

// The statement a recordset reads its rows from, kept open between reads:
// an SQLite statement, or a cursor on the server.
struct Recordset::Reader {
    Reader() = default;
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    ~Reader() {
        if (server && !cursor.isEmpty()) {
            server->closeServerCursor(cursor);
        }
    }

    sqlite::Statement stmt;
    detail::Session* server = nullptr;  // reading through `cursor`
    QString cursor;
    std::vector<std::optional<QString>> serverParameters;
    std::vector<unsigned> types;  // the server's type of each column
    QString sql;                  // its SQLite text, counted by recordCount
    QStringList parameters;
    QString source;  // the text errors name
    int columns = 0;
    bool hasRowid = false;
    std::vector<sqlite3_value*> scratch;

    // Appends up to `limit` rows (all when negative); true when the
    // statement has run to its end.
    sqlite::SqlResult<bool> read(std::vector<Row>& rows, qint64 limit) {
        for (qint64 n = 0; limit < 0 || n < limit; ++n) {
            ORLO_TRY_ASSIGN(const bool row, stmt.step());
            if (!row) {
                return true;
            }
            Row r;
            r.cells = detail::PackedRow::fromStatement(stmt.handle(), columns, scratch);
            if (hasRowid) {
                r.rowid = stmt.columnInt(columns);
            }
            rows.push_back(std::move(r));
        }
        return false;
    }

    // The server's rows of `page` in their stored form, appended.
    void append(const pg::PgRows& page, std::vector<Row>& rows) const;

    // Up to `limit` more rows from the cursor (all when negative); true
    // when the cursor has run to its end.
    Result<bool> readServer(std::vector<Row>& rows, qint64 limit) {
        const bool all = limit < 0 || limit > std::numeric_limits<int>::max();
        const QString fetch =
            all ? u"FETCH ALL FROM %1"_s.arg(cursor) : u"FETCH %1 FROM %2"_s.arg(limit).arg(cursor);
        ORLO_TRY_ASSIGN(const pg::PgRows page, server->serverExec(fetch, source));
        append(page, rows);
        return all || page.rowCount() < limit;
    }
};

namespace {

// A server value as the stored form the file gives it: whole numbers as
// integers, other numbers as doubles, everything else as text (its bytes
// copied as the server sent them, never through a QString).
detail::PackedRow::Cell serverCell(const pg::PgRows& rows, int row, int column, unsigned type) {
    using Kind = detail::PackedRow::Cell::Kind;
    detail::PackedRow::Cell cell;
    if (rows.isNull(row, column)) {
        return cell;
    }
    const QByteArrayView bytes(rows.raw(row, column), rows.rawLength(row, column));
    switch (type) {
        case 20:  // int8
        case 21:  // int2
        case 23:  // int4
            cell.kind = Kind::Integer;
            cell.integer = bytes.toLongLong();
            break;
        case 700:   // float4
        case 701:   // float8
        case 1700:  // numeric
            cell.kind = Kind::Real;
            cell.real = bytes.toDouble();
            break;
        case 16:  // bool
            cell.kind = Kind::Integer;
            cell.integer = bytes == "t" ? -1 : 0;
            break;
        default:
            cell.kind = Kind::Text;
            cell.text = bytes.data();
            cell.bytes = qint32(bytes.size());
            break;
    }
    return cell;
}

bool isQuery(const QString& sql) {
    const QString s = sql.trimmed();
    return s.startsWith(u"SELECT"_s, Qt::CaseInsensitive) ||
           s.startsWith(u"WITH"_s, Qt::CaseInsensitive) ||
           s.startsWith(u"VALUES"_s, Qt::CaseInsensitive) || s.startsWith(u"("_s);
}

}  // namespace

void Recordset::Reader::append(const pg::PgRows& page, std::vector<Row>& rows) const {
    std::vector<detail::PackedRow::Cell> cells(size_t(this->columns));
    for (int r = 0; r < page.rowCount(); ++r) {
        for (int c = 0; c < this->columns; ++c) {
            cells[size_t(c)] = serverCell(page, r, c, types[size_t(c)]);
        }
        Row row;
        row.cells = detail::PackedRow::fromCells(cells);
        if (hasRowid) {
            row.rowid = detail::rowidOfCtid(page.text(r, this->columns));
        }
        rows.push_back(std::move(row));
    }
}

// The server's rows are read whole when the recordset opens, a snapshot of
// one statement as the file gives a static cursor; or, for a recordset that
// reads on demand, through a cursor: the first rows at open, the rest as
// they are asked for.
Status Recordset::fetchFromServer() {
    detail::Session& s = *m_session;
    if (!isQuery(m_baseSql)) {
        return s.fail(dataError(orlo::err::kCommandError,
                                u"A recordset opens a query, not a statement that "
                                "changes data; use execute."_s),
                      m_source);
    }
    auto reader = std::make_unique<Reader>();
    reader->sql = m_baseSql;
    reader->source = m_source;
    if (!m_filter.isEmpty()) {
        Result<detail::FilterClause> clause = detail::translateFilterText(m_filter, s);
        if (!clause) {
            return s.fail(clause.error(), m_filter);
        }
        reader->sql = u"SELECT * FROM ("_s + m_baseSql + u") AS filtered WHERE "_s + clause->where;
        for (const QString& p : clause->parameters) {
            reader->serverParameters.emplace_back(p);
        }
        reader->source = m_filter;
    }
    // The previous read ends here, whatever this one does.
    dropReader();
    const bool readOnly = m_cursorType == kOpenStatic || m_lockType == kLockReadOnly;
    const bool onDemand = m_fetchOnDemand && readOnly;
    const bool whole = readOnly && !onDemand;
    std::vector<Column> columns;
    std::vector<Row> rows;
    // The first page gives the columns; every page its rows.
    bool firstPage = true;
    const auto takePage = [&](const pg::PgRows& page) {
        if (std::exchange(firstPage, false)) {
            columns = serverColumns(page, *reader);
            rows.reserve(size_t(page.rowCount()));
        }
        reader->append(page, rows);
    };
    qint64 firstRows = 0;
    if (readOnly) {
        ORLO_TRY_ASSIGN(reader->cursor, s.openServerCursor(reader->sql, reader->source,
                                                           reader->serverParameters, whole));
        reader->server = &s;
    }
    if (whole) {
        // Every page now (on a failure the cursor closes with the reader),
        // then the cursor closes here.
        ORLO_TRY(s.readServerPages(reader->cursor, kWholeReadPage, reader->source, takePage));
        s.closeServerCursor(reader->cursor);
        reader->cursor.clear();
    } else {
        const QString first =
            readOnly ? u"FETCH %1 FROM %2"_s.arg(kFirstRows).arg(reader->cursor) : reader->sql;
        ORLO_TRY_ASSIGN(const pg::PgRows result,
                        s.serverExec(first, reader->source,
                                     readOnly ? std::vector<std::optional<QString>>{}
                                              : reader->serverParameters));
        takePage(result);
        firstRows = result.rowCount();
    }
    const bool hasRowid = reader->hasRowid;
    return takeRows(std::move(columns), std::move(rows),
                    onDemand && firstRows == kFirstRows ? std::move(reader) : nullptr, hasRowid);
}

Status Recordset::takeRows(std::vector<Column> columns, std::vector<Row> rows,
                           std::unique_ptr<Reader> readOn, bool hasRowid) {
    m_columns = std::move(columns);
    m_rows = std::move(rows);
    m_deleted = 0;
    m_pos = 0;
    m_edits.clear();
    if (readOn) {
        m_reader = std::move(readOn);
        m_session->addOpenRead(
            this, [this] { return fetchAll(); }, [this] { dropReader(); });
    }
    ORLO_TRY(resolveBaseTable());
    if (hasRowid && !m_baseTable.isEmpty()) {
        m_rowKey = RowKey::Rowid;
    }
    return {};
}

// The columns of a server result as the recordset shows them, and the
// reader's column types and count.
std::vector<Recordset::Column> Recordset::serverColumns(const pg::PgRows& result, Reader& reader) {
    detail::Session& s = *m_session;
    std::vector<Column> columns;
    QHash<QString, int> seen;
    int count = result.columnCount();
    // A table without key is written back by the row's physical address.
    const bool hasRowid = count > 0 && result.columnName(count - 1) == kRowidAlias;
    if (hasRowid) {
        --count;
    }
    for (int i = 0; i < count; ++i) {
        Column c;
        c.name = result.columnName(i);
        if (const auto origin = s.serverColumn(result.tableOid(i), result.tableColumn(i))) {
            c.table = origin->table;
            c.origin = origin->column;
            const QString decl = s.isDateColumn(c.table, c.origin) ? u"DATETIME"_s : QString();
            c.isDate = !decl.isEmpty();
            c.affinity = detail::affinityOf(
                s.table(c.table) ? s.table(c.table)->declTypeByColumn.value(c.origin.toUpper())
                                 : decl);
        }
        reader.types.push_back(result.typeOid(i));
        seen[c.name.toUpper()] += 1;
        columns.push_back(c);
    }
    for (Column& c : columns) {
        if (seen.value(c.name.toUpper()) > 1 && !c.table.isEmpty()) {
            c.name = c.table + QLatin1Char('.') + c.origin;
        }
    }
    reader.columns = count;
    reader.hasRowid = hasRowid;
    return columns;
}

// Runs a write of the current row (UPDATE or DELETE by key) on either engine.
Status Recordset::writeRow(const QString& sql, const std::vector<Variant>& values) {
    detail::Session& s = *m_session;
    if (s.isServer()) {
        QString text = sql;
        std::vector<std::optional<QString>> params;
        for (const Variant& v : values) {
            params.push_back(detail::serverText(v));
        }
        const bool byRowid = m_rowKey == RowKey::Rowid;
        if (byRowid) {
            // The row's address; an update moves the row to a new one.
            text.replace(u"WHERE rowid = ?"_s, u"WHERE ctid = ?::tid RETURNING ctid::text"_s);
            const qint64* rowid = values.back().asInteger();
            params.back() = detail::ctidOfRowid(rowid ? *rowid : 0);
        }
        for (int n = 1; text.contains(QLatin1Char('?')); ++n) {
            text.replace(text.indexOf(QLatin1Char('?')), 1, u"$"_s + QString::number(n));
        }
        ORLO_TRY_ASSIGN(const pg::PgRows rows, s.serverExec(text, sql, params));
        if (byRowid && rows.rowCount() > 0 && m_pos >= 0 && m_pos < qint64(m_rows.size())) {
            m_rows[size_t(m_pos)].rowid = detail::rowidOfCtid(rows.text(0, 0));
        }
        return {};
    }
    ORLO_TRY_ASSIGN(sqlite::Statement stmt, s.check(s.database().prepare(sql), sql));
    for (int p = 0; p < int(values.size()); ++p) {
        detail::bindStored(stmt, p + 1, values[size_t(p)]);
    }
    ORLO_TRY(s.check(stmt.run(), sql));
    return {};
}

Status Recordset::fetch() {
    detail::Session& s = *m_session;
    if (s.isServer()) {
        return fetchFromServer();
    }
    sqlite::Database& db = s.database();
    QString tail;
    ORLO_TRY_ASSIGN(sqlite::Statement base, s.check(db.prepare(m_baseSql, &tail), m_source));
    if (!base || !tail.trimmed().isEmpty()) {
        return s.fail(dataError(orlo::err::kCommandError, kTrailingTextText.toString()), m_source);
    }
    if (!base.isReadOnly()) {
        return s.fail(dataError(orlo::err::kCommandError,
                                u"A recordset opens a query, not a statement that "
                                "changes data; use execute."_s),
                      m_source);
    }

    // Columns and their names come from the query itself, filtered or not.
    std::vector<Column> columns;
    int count = base.columnCount();
    bool hasRowid = false;
    if (count > 0 && base.columnName(count - 1) == kRowidAlias) {
        hasRowid = true;
        --count;
    }
    QHash<QString, int> seen;
    for (int i = 0; i < count; ++i) {
        Column c;
        c.name = base.columnName(i);
        c.table = base.columnTableName(i);
        c.origin = base.columnOriginName(i);
        const QString decl = base.columnDeclType(i);
        c.isDate = decl.compare(u"DATETIME"_s, Qt::CaseInsensitive) == 0;
        c.affinity = detail::affinityOf(decl);
        seen[c.name.toUpper()] += 1;
        columns.push_back(c);
    }
    for (Column& c : columns) {
        if (seen.value(c.name.toUpper()) > 1 && !c.table.isEmpty()) {
            c.name = c.table + QLatin1Char('.') + c.origin;
        }
    }

    auto reader = std::make_unique<Reader>();
    reader->columns = count;
    reader->hasRowid = hasRowid;
    reader->sql = m_baseSql;
    reader->source = m_source;
    if (m_filter.isEmpty()) {
        reader->stmt = std::move(base);
    } else {
        Result<detail::FilterClause> clause = detail::translateFilterText(m_filter, *m_session);
        if (!clause) {
            return s.fail(clause.error(), m_filter);
        }
        // The filter keeps the query's own order: the query runs as a
        // subquery and the outer select adds no order of its own.
        reader->sql = u"SELECT * FROM ("_s + m_baseSql + u") WHERE "_s + clause->where;
        reader->parameters = clause->parameters;
        reader->source = m_filter;
        ORLO_TRY_ASSIGN(reader->stmt, s.check(db.prepare(reader->sql), m_filter));
        for (int p = 0; p < clause->parameters.size(); ++p) {
            reader->stmt.bindText(p + 1, clause->parameters[p]);
        }
    }

    // The previous read ends here, whatever this one does.
    dropReader();
    const bool onDemand =
        m_fetchOnDemand && (m_cursorType == kOpenStatic || m_lockType == kLockReadOnly);
    std::vector<Row> rows;
    ORLO_TRY_ASSIGN(const bool done,
                    s.check(reader->read(rows, onDemand ? kFirstRows : -1), reader->source));
    return takeRows(std::move(columns), std::move(rows), done ? nullptr : std::move(reader),
                    hasRowid);
}

void Recordset::dropReader() {
    if (m_reader) {
        m_reader.reset();
        m_count.reset();
        if (m_session) {
            m_session->removeOpenRead(this);
        }
    }
}

Status Recordset::fetchMore(qint64 rows) {
    ORLO_TRY(ensureOpen());
    if (!m_reader || rows <= 0) {
        return {};
    }
    if (m_reader->server) {
        const Result<bool> read = m_reader->readServer(m_rows, rows);
        if (!read || *read) {
            // Failed (the rows read so far stay) or read to the end.
            dropReader();
        }
        return read ? Status() : Status(read.error());
    }
    const sqlite::SqlResult<bool> done = m_reader->read(m_rows, rows);
    if (!done) {
        // The rows read so far stay; the rest cannot be had.
        const QString source = m_reader->source;
        dropReader();
        return m_session->failure(done.error(), source);
    }
    if (*done) {
        dropReader();
    }
    return {};
}

Status Recordset::fetchThrough(qint64 index) {
    while (m_reader && index >= qint64(m_rows.size())) {
        ORLO_TRY(fetchMore(kMoreRows));
    }
    return {};
}

Status Recordset::fetchAll() {
    return fetchMore(std::numeric_limits<qint64>::max());
}

qint64 Recordset::fetchedCount() const {
    return liveSession() ? qint64(m_rows.size()) - m_deleted : 0;
}

bool Recordset::fetchComplete() const {
    return !m_reader;
}

Status Recordset::resolveBaseTable() {
    m_baseTable.clear();
    m_rowKey = RowKey::None;
    QString table;
    for (const Column& c : m_columns) {
        if (c.table.isEmpty()) {
            continue;  // an expression: not written back
        }
        if (table.isEmpty()) {
            table = c.table;
        } else if (table.compare(c.table, Qt::CaseInsensitive) != 0) {
            return {};  // a join: read only
        }
    }
    const detail::TableInfo* info = table.isEmpty() ? nullptr : m_session->table(table);
    if (!info) {
        return {};
    }
    m_baseTable = info->name;
    for (int i = 0; i < int(m_columns.size()); ++i) {
        if (!info->keyColumn.isEmpty() &&
            m_columns[size_t(i)].origin.compare(info->keyColumn, Qt::CaseInsensitive) == 0) {
            m_rowKey = RowKey::KeyColumn;
            m_keyColumn = i;
        }
    }
    return {};
}

Result<qint64> Recordset::recordCount() const {
    ORLO_TRY(ensureOpen());
    if (!m_reader) {
        return qint64(m_rows.size()) - m_deleted;
    }
    if (!m_count) {
        // Counted inside the open read's transaction: the same rows the read
        // goes on to return, without reading them.
        detail::Session& s = *m_session;
        if (m_reader->server) {
            ORLO_TRY_ASSIGN(
                const pg::PgRows n,
                s.serverExec(u"SELECT count(*) FROM ("_s + m_reader->sql + u") AS counted"_s,
                             m_reader->source, m_reader->serverParameters));
            m_count = n.rowCount() > 0 ? n.text(0, 0).toLongLong() : 0;
            return *m_count;
        }
        const QString sql = u"SELECT COUNT(*) FROM ("_s + m_reader->sql + u")"_s;
        ORLO_TRY_ASSIGN(sqlite::Statement stmt,
                        s.check(s.database().prepare(sql), m_reader->source));
        for (int p = 0; p < m_reader->parameters.size(); ++p) {
            stmt.bindText(p + 1, m_reader->parameters[p]);
        }
        ORLO_TRY_ASSIGN(const bool row, s.check(stmt.step(), m_reader->source));
        m_count = row ? stmt.columnInt(0) : 0;
    }
    return *m_count;
}

bool Recordset::eof() const {
    return !liveSession() || qint64(m_rows.size()) == m_deleted || m_pos >= qint64(m_rows.size());
}

bool Recordset::bof() const {
    return !liveSession() || qint64(m_rows.size()) == m_deleted || m_pos < 0;
}

void Recordset::skipDeletedForward() {
    while (m_pos >= 0 && m_pos < qint64(m_rows.size()) && m_rows[size_t(m_pos)].deleted) {
        ++m_pos;
    }
}

void Recordset::skipDeletedBackward() {
    while (m_pos >= 0 && m_pos < qint64(m_rows.size()) && m_rows[size_t(m_pos)].deleted) {
        --m_pos;
    }
}

Status Recordset::leaveCurrentRow(Leave how) {
    if (!m_pending && m_edits.empty()) {
        return {};
    }
    switch (how) {
        case Leave::Commit:
            // Still on the row the changes were made on: Update writes them
            // there (or commits the new row).
            return update();
        case Leave::Refuse:
            return fail(dataError(orlo::err::kOperationNotAllowed,
                                  m_pending
                                      ? u"Operation is not allowed in this context: a new row "
                                        "is being added; call Update or CancelUpdate first."_s
                                      : u"Operation is not allowed in this context: the "
                                        "current row has changes; call Update or "
                                        "CancelUpdate first."_s));
        case Leave::Abandon:
            m_pending.reset();  // rolls back the AddNew's transaction
            m_edits.clear();
            return {};
    }
    return {};
}

Status Recordset::moveFirst() {
    ORLO_TRY(ensureOpen());
    ORLO_TRY(leaveCurrentRow(Leave::Commit));
    m_pos = 0;
    skipDeletedForward();
    return {};
}

Status Recordset::moveLast() {
    ORLO_TRY(ensureOpen());
    ORLO_TRY(leaveCurrentRow(Leave::Commit));
    ORLO_TRY(fetchAll());
    m_pos = qint64(m_rows.size()) - 1;
    skipDeletedBackward();
    if (m_pos < 0) {
        m_pos = qint64(m_rows.size());  // empty: both ends at once
    }
    return {};
}

Status Recordset::moveNext() {
    ORLO_TRY(ensureOpen());
    ORLO_TRY(leaveCurrentRow(Leave::Commit));
    if (eof()) {
        return fail(noCurrentRecord());
    }
    ++m_pos;
    // A row past those read is read first: EOF only where the rows end.
    ORLO_TRY(fetchThrough(m_pos));
    skipDeletedForward();
    return {};
}

Status Recordset::movePrevious() {
    ORLO_TRY(ensureOpen());
    ORLO_TRY(leaveCurrentRow(Leave::Commit));
    if (bof()) {
        return fail(noCurrentRecord());
    }
    --m_pos;
    skipDeletedBackward();
    return {};
}

int Recordset::fieldCount() const {
    return liveSession() ? int(m_columns.size()) : 0;
}

Result<QString> Recordset::fieldName(int index) const {
    ORLO_TRY(ensureOpen());
    if (index < 0 || index >= int(m_columns.size())) {
        return fail(notInCollection(QString::number(index)));
    }
    return m_columns[size_t(index)].name;
}

Result<int> Recordset::indexOf(const QString& name) const {
    QString n = name.trimmed();
    if (n.startsWith(QLatin1Char('[')) && n.endsWith(QLatin1Char(']'))) {
        n = n.mid(1, n.size() - 2);
    }
    for (int i = 0; i < int(m_columns.size()); ++i) {
        if (m_columns[size_t(i)].name.compare(n, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    // "TABLE.COLUMN" also finds a column that is unique under its own name.
    const qsizetype dot = n.indexOf(QLatin1Char('.'));
    if (dot > 0) {
        const QString table = n.left(dot);
        const QString column = n.mid(dot + 1);
        int found = -1;
        for (int i = 0; i < int(m_columns.size()); ++i) {
            const Column& c = m_columns[size_t(i)];
            if (c.table.compare(table, Qt::CaseInsensitive) == 0 &&
                c.name.compare(column, Qt::CaseInsensitive) == 0) {
                if (found >= 0) {
                    return fail(notInCollection(name));
                }
                found = i;
            }
        }
        if (found >= 0) {
            return found;
        }
    }
    return fail(notInCollection(name));
}

Variant Recordset::readCell(int column, const Variant& stored) const {
    const Column& c = m_columns[size_t(column)];
    if (c.isDate) {
        if (const QString* t = stored.asText()) {
            if (std::optional<QDateTime> d = detail::parseCanonicalDateText(*t)) {
                return Variant(*d);
            }
        }
    }
    return stored;
}

Result<Variant> Recordset::field(int index) const {
    ORLO_TRY(ensureOpen());
    if (index < 0 || index >= int(m_columns.size())) {
        return fail(notInCollection(QString::number(index)));
    }
    ORLO_TRY(ensureCurrent());
    if (m_pending) {
        return readCell(index, m_pending->valueOf(m_columns[size_t(index)].origin));
    }
    for (const auto& [col, value] : m_edits) {
        if (col == index) {
            return readCell(index, value);
        }
    }
    return readCell(index, m_rows[size_t(m_pos)].cells.value(index));
}

Result<Variant> Recordset::field(const QString& name) const {
    ORLO_TRY(ensureOpen());
    ORLO_TRY_ASSIGN(int i, indexOf(name));
    return field(i);
}

Result<RowTable> Recordset::getRows() {
    ORLO_TRY(ensureCurrent());
    ORLO_TRY(leaveCurrentRow(Leave::Commit));
    ORLO_TRY(fetchAll());
    RowTable table(m_columns.size());
    for (; m_pos < qint64(m_rows.size()); ++m_pos) {
        const Row& r = m_rows[size_t(m_pos)];
        if (r.deleted) {
            continue;
        }
        for (size_t c = 0; c < m_columns.size(); ++c) {
            table[c].push_back(readCell(int(c), r.cells.value(int(c))));
        }
    }
    return table;
}

Result<Variant> Recordset::storedValue(int column, const Variant& value) const {
    const Column& c = m_columns[size_t(column)];
    return detail::toStored(value, c.isDate, c.affinity, m_session->context().locale);
}

Status Recordset::addNew() {
    ORLO_TRY(ensureOpen());
    m_session->clearErrors();
    if (m_lockType == kLockReadOnly) {
        return fail(notUpdatable(u"the recordset is read-only"_s));
    }
    if (m_baseTable.isEmpty()) {
        return fail(notUpdatable(u"its rows do not come from one table"_s));
    }
    ORLO_TRY(leaveCurrentRow(Leave::Commit));
    ORLO_TRY(m_session->finishOpenReads());
    ORLO_TRY(m_session->flushBatch());
    ORLO_TRY_ASSIGN(std::unique_ptr<detail::PendingInsert> p,
                    detail::PendingInsert::begin(*m_session, m_baseTable));
    m_pending = std::move(p);
    return {};
}

Status Recordset::setField(const QString& name, const Variant& value) {
    ORLO_TRY(ensureOpen());
    m_session->clearErrors();
    ORLO_TRY_ASSIGN(int i, indexOf(name));
    const Column& c = m_columns[size_t(i)];
    Result<Variant> stored = storedValue(i, value);
    if (!stored) {
        return fail(stored.error());
    }
    if (m_pending) {
        if (c.table.isEmpty() || c.table.compare(m_baseTable, Qt::CaseInsensitive) != 0) {
            return fail(notUpdatable(u"the field %1 is not a column"_s.arg(name)));
        }
        return m_pending->set(c.origin, *stored);
    }
    ORLO_TRY(ensureCurrent());
    if (m_lockType == kLockReadOnly || m_baseTable.isEmpty() || c.table.isEmpty()) {
        return fail(notUpdatable(u"the field %1 cannot be written"_s.arg(name)));
    }
    for (auto& [col, v] : m_edits) {
        if (col == i) {
            v = *stored;
            return {};
        }
    }
    m_edits.emplace_back(i, *stored);
    return {};
}

Status Recordset::update() {
    ORLO_TRY(ensureOpen());
    m_session->clearErrors();
    if (m_pending) {
        // A failed commit leaves the row pending; cancelUpdate drops it.
        ORLO_TRY_ASSIGN(const qint64 key, m_pending->commit());
        std::vector<Variant> cells;
        for (const Column& c : m_columns) {
            cells.push_back(c.table.compare(m_baseTable, Qt::CaseInsensitive) == 0
                                ? m_pending->valueOf(c.origin)
                                : Variant::null());
        }
        Row r;
        r.cells = detail::PackedRow::fromValues(cells);
        r.rowid = key;
        m_pending.reset();
        m_rows.push_back(std::move(r));
        m_pos = qint64(m_rows.size()) - 1;
        return {};
    }
    if (m_edits.empty()) {
        return {};
    }
    ORLO_TRY(ensureCurrent());
    ORLO_TRY(m_session->finishOpenReads());
    Row& row = m_rows[size_t(m_pos)];
    QStringList sets;
    for (const auto& edit : m_edits) {
        sets << quoted(m_columns[size_t(edit.first)].origin) + u" = ?"_s;
    }
    ORLO_TRY_ASSIGN(const auto key, currentKey());
    const QString keyName = key.first;
    const QString sql =
        u"UPDATE %1 SET %2 WHERE %3 = ?"_s.arg(quoted(m_baseTable), sets.join(u", "_s), keyName);
    std::vector<Variant> values;
    for (const auto& edit : m_edits) {
        values.push_back(edit.second);
    }
    values.emplace_back(key.second);
    ORLO_TRY(writeRow(sql, values));
    for (const auto& edit : m_edits) {
        row.cells.setValue(edit.first, edit.second);
    }
    m_edits.clear();
    return {};
}

Result<std::pair<QString, qint64>> Recordset::currentKey() const {
    if (m_baseTable.isEmpty() || m_rowKey == RowKey::None) {
        return fail(notUpdatable(u"its rows have no key of one table"_s));
    }
    const Row& row = m_rows[size_t(m_pos)];
    if (m_rowKey == RowKey::Rowid) {
        return std::pair<QString, qint64>(u"rowid"_s, row.rowid);
    }
    const Variant keyValue = row.cells.value(m_keyColumn);
    const qint64* k = keyValue.asInteger();
    if (!k) {
        return fail(notUpdatable(u"the row has no key"_s));
    }
    return std::pair<QString, qint64>(quoted(m_columns[size_t(m_keyColumn)].origin), *k);
}

Status Recordset::cancelUpdate() {
    ORLO_TRY(ensureOpen());
    m_pending.reset();
    m_edits.clear();
    return {};
}

Status Recordset::deleteCurrent() {
    ORLO_TRY(ensureCurrent());
    m_session->clearErrors();
    if (m_pending) {
        m_pending.reset();  // deleting the row being added drops it
        return {};
    }
    if (m_lockType == kLockReadOnly) {
        return fail(notUpdatable(u"the recordset is read-only"_s));
    }
    ORLO_TRY(m_session->finishOpenReads());
    Row& row = m_rows[size_t(m_pos)];
    ORLO_TRY_ASSIGN(const auto key, currentKey());
    ORLO_TRY(m_session->flushBatch());
    const QString sql = u"DELETE FROM %1 WHERE %2 = ?"_s.arg(quoted(m_baseTable), key.first);
    ORLO_TRY(writeRow(sql, {Variant(key.second)}));
    row.deleted = true;
    ++m_deleted;
    m_edits.clear();
    return {};
}

Status Recordset::setFilter(const QString& filter) {
    ORLO_TRY(ensureOpen());
    m_session->clearErrors();
    const QString previous = m_filter;
    m_filter = filterClears(filter) ? QString() : filter;
    if (Status f = requery(); !f) {
        m_filter = previous;
        return f;
    }
    return {};
}

Status Recordset::requery() {
    ORLO_TRY(ensureOpen());
    ORLO_TRY(leaveCurrentRow(Leave::Refuse));
    ORLO_TRY(m_session->flushBatch());
    return fetch();
}

}  // namespace orlo::data
