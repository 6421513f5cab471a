#include "platform/data/PendingInsert.h"

#include "platform/data/DataErrors.h"
#include "platform/data/Session.h"
#include "platform/data/SqliteValues.h"

namespace orlo::data::detail {

namespace {

QString quoted(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

}  // namespace

Result<std::unique_ptr<PendingInsert>> PendingInsert::begin(Session& session,
                                                            const QString& table) {
    const TableInfo* info = session.table(table);
    if (!info) {
        return session.fail(makeError(err::kCommandError,
                                      QStringLiteral("The table '%1' does not exist.").arg(table),
                                      QString::fromUtf16(kErrorSource)));
    }
    std::unique_ptr<PendingInsert> p(new PendingInsert(session, info->name));
    // IMMEDIATE takes the write lock now (waiting out other writers up to
    // the busy timeout), so that no other workstation can take the key.
    int rc = execSimple(session.db(), "BEGIN IMMEDIATE");
    if (rc != SQLITE_OK) {
        return session.sqliteFailure(rc, QStringLiteral("BEGIN IMMEDIATE"));
    }
    p->m_inTransaction = true;
    if (!info->keyColumn.isEmpty()) {
        p->m_keyColumn = info->keyColumn;
        // A counter never hands out a number twice, even after deletes.
        const QString sql = info->autoIncrement
                                ? QStringLiteral(
                                      "SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE "
                                      "name = ?1), 0), coalesce((SELECT max(%1) FROM %2), 0)) + 1")
                                      .arg(quoted(info->keyColumn), quoted(info->name))
                                : QStringLiteral("SELECT coalesce((SELECT max(%1) FROM %2), 0) + 1")
                                      .arg(quoted(info->keyColumn), quoted(info->name));
        SqliteStatement stmt;
        rc = stmt.prepare(session.db(), sql);
        if (rc == SQLITE_OK) {
            if (info->autoIncrement) {
                const QByteArray name = info->name.toUtf8();
                sqlite3_bind_text(stmt.get(), 1, name.constData(), int(name.size()),
                                  SQLITE_TRANSIENT);
            }
            rc = sqlite3_step(stmt.get());
        }
        if (rc != SQLITE_ROW) {
            return session.sqliteFailure(rc, sql);  // p's destructor rolls back
        }
        p->m_key = sqlite3_column_int64(stmt.get(), 0);
    }
    return p;
}

PendingInsert::~PendingInsert() {
    if (m_inTransaction && m_session.isOpen()) {
        execSimple(m_session.db(), "ROLLBACK");
    }
}

Variant PendingInsert::valueOf(const QString& column) const {
    if (!m_keyColumn.isEmpty() && column.compare(m_keyColumn, Qt::CaseInsensitive) == 0) {
        return Variant(m_key);
    }
    return m_values.value(column.toUpper(), Variant::null());
}

Status PendingInsert::set(const QString& column, const Variant& stored) {
    if (!m_keyColumn.isEmpty() && column.compare(m_keyColumn, Qt::CaseInsensitive) == 0) {
        return m_session.fail(makeError(err::kNotUpdatable,
                                        QStringLiteral("Field '%1' cannot be updated: the "
                                                       "database assigns it.")
                                            .arg(column),
                                        QString::fromUtf16(kErrorSource)));
    }
    const QString key = column.toUpper();
    if (!m_values.contains(key)) {
        m_order << column;
    }
    m_values.insert(key, stored);
    return {};
}

Result<qint64> PendingInsert::commit() {
    if (!m_session.isOpen() || !m_inTransaction) {
        return m_session.fail(makeError(orlo::err::kOperationNotAllowed,
                                        QStringLiteral("Operation is not allowed when the "
                                                       "object is closed."),
                                        QString::fromUtf16(kErrorSource)));
    }
    QStringList columns;
    QStringList marks;
    if (!m_keyColumn.isEmpty()) {
        columns << quoted(m_keyColumn);
        marks << QStringLiteral("?");
    }
    for (const QString& c : m_order) {
        columns << quoted(c);
        marks << QStringLiteral("?");
    }
    const QString sql = columns.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_table))
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(quoted(m_table), columns.join(QStringLiteral(", ")),
                                       marks.join(QStringLiteral(", ")));
    SqliteStatement stmt;
    int rc = stmt.prepare(m_session.db(), sql);
    if (rc != SQLITE_OK) {
        return m_session.sqliteFailure(rc, sql);
    }
    int index = 1;
    if (!m_keyColumn.isEmpty()) {
        sqlite3_bind_int64(stmt.get(), index++, m_key);
    }
    for (const QString& c : m_order) {
        bindStored(stmt.get(), index++, m_values.value(c.toUpper()));
    }
    rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_DONE) {
        return m_session.sqliteFailure(rc, sql);
    }
    const qint64 rowid = sqlite3_last_insert_rowid(m_session.db());
    stmt.finalize();
    rc = execSimple(m_session.db(), "COMMIT");
    if (rc != SQLITE_OK) {
        return m_session.sqliteFailure(rc, QStringLiteral("COMMIT"));
    }
    m_inTransaction = false;
    return rowid;
}

}  // namespace orlo::data::detail
