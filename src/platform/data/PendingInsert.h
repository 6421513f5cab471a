#pragma once
// The row a recordset's AddNew is building. Its counter key is taken when
// the row is started, inside a write transaction held until the row is
// committed or dropped, so the key read before Update is the key the row
// gets, whoever else writes. Internal.

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "platform/core/Result.h"
#include "platform/core/Variant.h"
#include "platform/sqlite/Transaction.h"

namespace orlo::data::detail {

class Session;

class PendingInsert {
public:
    static Result<std::unique_ptr<PendingInsert>> begin(Session& session, const QString& table);
    // Rolls back unless committed.
    ~PendingInsert() = default;
    PendingInsert(const PendingInsert&) = delete;
    PendingInsert& operator=(const PendingInsert&) = delete;

    // Stored values by column; the key column reads the new key.
    Variant valueOf(const QString& column) const;
    Status set(const QString& column, const Variant& stored);
    // Inserts the row and commits; the new row's rowid.
    Result<qint64> commit();

private:
    PendingInsert(Session& session, QString table)
        : m_session(session), m_table(std::move(table)) {}

    Result<qint64> commitOnServer();

    Session& m_session;
    QString m_table;
    QString m_keyColumn;
    qint64 m_key = 0;
    QStringList m_order;               // assigned columns, first assignment first
    QHash<QString, Variant> m_values;  // by upper-case column
    std::optional<sqlite::Transaction> m_transaction;
};

}  // namespace orlo::data::detail
