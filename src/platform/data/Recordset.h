#pragma once
// Recordset: the rows of one query or table over an open connection, with a
// current record, fields by name or position, AddNew/Update with the new counter key
// readable before the row is committed, Delete of the current row, Filter
// and Requery.
//
// A recordset fetches every row when it opens. One that was asked to read
// on demand (setFetchOnDemand before open, for a static or read-only
// cursor) opens with its first rows only and reads the rest as moves,
// GetRows or fetchMore ask for them; its statement keeps SQLite's read
// transaction open until the last row, so its rows are one snapshot (other
// connections' writes wait until then). On a server it reads through a
// cursor in a repeatable-read transaction: one snapshot as well, while
// other connections write on. A write through the same
// connection, and Update, AddNew or Delete, first reads the rest. Only a
// reader that goes on to read every row soon asks for it (the report
// preview): a window that kept a half-read recordset open would make every
// other workstation's save wait.
//
// Field names: a column's own name, or "TABLE.COLUMN" for a column whose
// name occurs more than once (a join of PATIENTS.* and SCHEDULED.* names
// PATIENTS.PT_ID and SCHEDULED.PT_ID). Lookup ignores case, and a
// "TABLE.COLUMN" name also finds a unique column of that table.
//
// Date columns read as date values; text assigned to them is read in the
// workstation's locale or ISO 8601 and stored canonically, and a text that
// is no date fails with type mismatch (13) and changes nothing.

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "platform/core/Result.h"
#include "platform/core/Variant.h"
#include "platform/data/DataErrors.h"

namespace orlo::pg {
class PgRows;
}  // namespace orlo::pg

namespace orlo::data {

class Connection;

namespace detail {
class Session;
class PendingInsert;
}  // namespace detail

// What GetRows returns: rows[column][row].
using RowTable = std::vector<std::vector<Variant>>;

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Whether the next open of a static or read-only cursor reads on demand.
    void setFetchOnDemand(bool onDemand) { m_fetchOnDemand = onDemand; }
    // `source` is an SQL text or a bare table name.
    Status open(const QString& source, Connection& connection, int cursorType = kOpenKeyset,
                int lockType = kLockOptimistic, int options = kCmdUnspecified);
    // Closes; an AddNew or edits not yet committed by Update are abandoned.
    void close();
    int state() const;  // kStateOpen or kStateClosed

    // Every row, also those not read yet (counted by the query itself while
    // the read is open).
    Result<qint64> recordCount() const;
    // Rows read so far; all of them once fetchComplete().
    qint64 fetchedCount() const;
    bool fetchComplete() const;
    // Reads up to `rows` more rows of a cursor that reads on demand.
    Status fetchMore(qint64 rows);

    bool eof() const;
    bool bof() const;
    // A move first commits what is pending on the current row (the row an
    // AddNew is building, or edits of the current row), as Update would; when
    // that fails the move does not happen.
    Status moveFirst();
    Status moveLast();
    Status moveNext();
    Status movePrevious();

    int fieldCount() const;
    Result<QString> fieldName(int index) const;
    Result<Variant> field(const QString& name) const;
    Result<Variant> field(int index) const;

    // All rows from the current one to the end; the current record is then
    // past the end (EOF). Commits what is pending first, as a move does.
    Result<RowTable> getRows();

    // Starts a new row: the counter key is assigned at once and readable as
    // a field; the row is committed by update() or a move (or dropped by
    // cancelUpdate, close or destruction). Other writers wait until then.
    // Pending changes are committed first.
    Status addNew();
    // Assigns a field of the row being added, or of the current row (then
    // written by update()).
    Status setField(const QString& name, const Variant& value);
    Status update();
    Status cancelUpdate();
    // Deletes the current row from its table.
    Status deleteCurrent();

    // "[COLUMN] LIKE *text*" and similar; an empty text clears it. The rows
    // are fetched again at once.
    Status setFilter(const QString& filter);
    Status clearFilter() { return setFilter(QString()); }
    QString filter() const { return m_filter; }
    // Runs the query again (with the filter) and moves to the first row.
    // Refused (3219) while an AddNew or edits are pending: Update or
    // CancelUpdate first.
    Status requery();

private:
    struct Column;
    struct Row;
    struct Reader;

    // How the rows of the base table are told apart when one is written.
    enum class RowKey {
        None,       // they are not: the rows are read only
        KeyColumn,  // by the table's INTEGER PRIMARY KEY, at m_keyColumn
        Rowid,      // by the rowid each row was read with (a table without key)
    };
    // What happens to pending changes when the current row is left.
    enum class Leave {
        Commit,   // written as Update writes them (moves, GetRows, AddNew)
        Refuse,   // the operation fails and they stay pending (Requery, Filter)
        Abandon,  // dropped (Close)
    };

    Error fail(const Error& e) const;
    Status ensureOpen() const;
    Status ensureCurrent() const;
    Status fetch();
    Status fetchFromServer();
    std::vector<Column> serverColumns(const pg::PgRows& result, Reader& reader);
    // The rows read at open become the recordset's; `readOn`, when rows
    // remain, reads the rest as they are asked for.
    Status takeRows(std::vector<Column> columns, std::vector<Row> rows,
                    std::unique_ptr<Reader> readOn, bool hasRowid);
    Status writeRow(const QString& sql, const std::vector<Variant>& values);
    // Reads until the row at `index` is there or the rows end.
    Status fetchThrough(qint64 index);
    Status fetchAll();
    void dropReader();
    Result<int> indexOf(const QString& name) const;
    Variant readCell(int column, const Variant& stored) const;
    Result<Variant> storedValue(int column, const Variant& value) const;
    const detail::Session* liveSession() const;
    Status resolveBaseTable();
    // The key column's quoted name (or rowid) and the current row's key.
    Result<std::pair<QString, qint64>> currentKey() const;
    void skipDeletedForward();
    void skipDeletedBackward();
    // The one way off the current row: every move, GetRows, AddNew,
    // Requery and Close goes through it before the position changes.
    Status leaveCurrentRow(Leave how);

    std::shared_ptr<detail::Session> m_session;
    QString m_source;   // as given
    QString m_baseSql;  // translated, without the filter
    QString m_filter;
    int m_cursorType = kOpenKeyset;
    int m_lockType = kLockOptimistic;
    bool m_open = false;
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    std::unique_ptr<Reader> m_reader;       // while rows remain to be read
    mutable std::optional<qint64> m_count;  // counted while the read is open
    qint64 m_deleted = 0;
    qint64 m_pos = -1;  // -1 BOF, size() EOF
    // The one table the rows come from, when they can be updated.
    QString m_baseTable;
    RowKey m_rowKey = RowKey::None;
    int m_keyColumn = 0;  // position of the table's key among the columns
    std::unique_ptr<detail::PendingInsert> m_pending;
    std::vector<std::pair<int, Variant>> m_edits;  // edits of the current row
    bool m_fetchOnDemand = false;
};

}  // namespace orlo::data
