#include "platform/data/PendingInsert.h"

#include "platform/data/DataErrors.h"
#include "platform/data/Session.h"
#include "platform/data/SqliteValues.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data::detail {

namespace {

QString quoted(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char('"'), u"\"\""_s);
    return QLatin1Char('"') + n + QLatin1Char('"');
}

}  // namespace

Result<std::unique_ptr<PendingInsert>> PendingInsert::begin(Session& session,
                                                            const QString& table) {
    const TableInfo* info = session.table(table);
    if (!info) {
        return session.fail(
            dataError(orlo::err::kCommandError, u"The table '%1' does not exist."_s.arg(table)));
    }
    std::unique_ptr<PendingInsert> p(new PendingInsert(session, info->name));
    if (session.isServer()) {
        if (!info->keyColumn.isEmpty()) {
            p->m_keyColumn = info->keyColumn;
            // The identity's sequence hands the key out at once, so no lock
            // is held until Update; rows put in with their own keys (a copy
            // from a file) may have left it behind, then it moves past them.
            const QString sql =
                u"SELECT CASE WHEN n > m THEN n ELSE setval(s, m + 1) END FROM (SELECT s, "
                "nextval(s) AS n, (SELECT coalesce(max(%1), 0) FROM %2) AS m FROM (SELECT "
                "pg_get_serial_sequence($1, $2) AS s) AS q) AS x"_s.arg(quoted(info->keyColumn),
                                                                        quoted(info->name));
            ORLO_TRY_ASSIGN(const pg::PgRows rows,
                            session.serverExec(sql, sql, {quoted(info->name), info->keyColumn}));
            p->m_key = rows.rowCount() > 0 ? rows.text(0, 0).toLongLong() : 0;
        }
        return p;
    }
    // IMMEDIATE takes the write lock now (waiting out other writers up to
    // the busy timeout), so that no other workstation can take the key.
    sqlite::SqlResult<sqlite::Transaction> t =
        sqlite::Transaction::begin(session.database(), sqlite::Transaction::Mode::Immediate);
    if (!t) {
        return session.failure(t.error(), u"BEGIN IMMEDIATE"_s);
    }
    p->m_transaction.emplace(std::move(t).value());
    if (!info->keyColumn.isEmpty()) {
        p->m_keyColumn = info->keyColumn;
        // A counter never hands out a number twice, even after deletes.
        const QString sql =
            info->autoIncrement
                ? u"SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE "
                  "name = ?1), 0), coalesce((SELECT max(%1) FROM %2), 0)) + 1"_s.arg(
                      quoted(info->keyColumn), quoted(info->name))
                : u"SELECT coalesce((SELECT max(%1) FROM %2), 0) + 1"_s.arg(quoted(info->keyColumn),
                                                                            quoted(info->name));
        // A failure below leaves p to roll the transaction back.
        ORLO_TRY_ASSIGN(sqlite::Statement stmt,
                        session.check(session.database().prepare(sql), sql));
        if (info->autoIncrement) {
            stmt.bindText(1, info->name);
        }
        ORLO_TRY_ASSIGN(const bool row, session.check(stmt.step(), sql));
        p->m_key = row ? stmt.columnInt(0) : 1;
    }
    return p;
}

Variant PendingInsert::valueOf(const QString& column) const {
    if (!m_keyColumn.isEmpty() && column.compare(m_keyColumn, Qt::CaseInsensitive) == 0) {
        return Variant(m_key);
    }
    return m_values.value(column.toUpper(), Variant::null());
}

Status PendingInsert::set(const QString& column, const Variant& stored) {
    if (!m_keyColumn.isEmpty() && column.compare(m_keyColumn, Qt::CaseInsensitive) == 0) {
        return m_session.fail(dataError(err::kNotUpdatable,
                                        u"Field '%1' cannot be updated: the "
                                        "database assigns it."_s.arg(column)));
    }
    const QString key = column.toUpper();
    if (!m_values.contains(key)) {
        m_order << column;
    }
    m_values.insert(key, stored);
    return {};
}

Result<qint64> PendingInsert::commit() {
    if (m_session.isServer()) {
        return commitOnServer();
    }
    if (!m_session.isOpen() || !m_transaction || !m_transaction->isActive()) {
        return m_session.fail(
            dataError(orlo::err::kOperationNotAllowed, kObjectClosedText.toString()));
    }
    QStringList columns;
    QStringList marks;
    if (!m_keyColumn.isEmpty()) {
        columns << quoted(m_keyColumn);
        marks << u"?"_s;
    }
    for (const QString& c : m_order) {
        columns << quoted(c);
        marks << u"?"_s;
    }
    const QString sql = columns.isEmpty()
                            ? u"INSERT INTO %1 DEFAULT VALUES"_s.arg(quoted(m_table))
                            : u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(
                                  quoted(m_table), columns.join(u", "_s), marks.join(u", "_s));
    sqlite::Database& db = m_session.database();
    qint64 rowid = 0;
    {
        ORLO_TRY_ASSIGN(sqlite::Statement stmt, m_session.check(db.prepare(sql), sql));
        int index = 1;
        if (!m_keyColumn.isEmpty()) {
            stmt.bindInt(index++, m_key);
        }
        for (const QString& c : m_order) {
            bindStored(stmt, index++, m_values.value(c.toUpper()));
        }
        ORLO_TRY(m_session.check(stmt.run(), sql));
        rowid = db.lastInsertRowid();
    }
    if (sqlite::SqlStatus committed = m_transaction->commit(); !committed) {
        // Still pending: cancelUpdate or closing the recordset rolls it back.
        return m_session.failure(committed.error(), u"COMMIT"_s);
    }
    m_transaction.reset();
    return rowid;
}

Result<qint64> PendingInsert::commitOnServer() {
    QStringList columns;
    QStringList marks;
    std::vector<std::optional<QString>> params;
    if (!m_keyColumn.isEmpty()) {
        columns << quoted(m_keyColumn);
        params.emplace_back(QString::number(m_key));
        marks << u"$%1"_s.arg(params.size());
    }
    for (const QString& c : m_order) {
        columns << quoted(c);
        params.push_back(serverText(m_values.value(c.toUpper())));
        marks << u"$%1"_s.arg(params.size());
    }
    const QString sql = columns.isEmpty()
                            ? u"INSERT INTO %1 DEFAULT VALUES"_s.arg(quoted(m_table))
                            : u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(
                                  quoted(m_table), columns.join(u", "_s), marks.join(u", "_s));
    // A table without key knows the new row by its address.
    const bool byAddress = m_keyColumn.isEmpty();
    ORLO_TRY_ASSIGN(
        const pg::PgRows rows,
        m_session.serverExec(byAddress ? sql + u" RETURNING ctid::text"_s : sql, sql, params));
    return byAddress && rows.rowCount() > 0 ? rowidOfCtid(rows.text(0, 0)) : m_key;
}

}  // namespace orlo::data::detail
