#include "platform/data/IntegerColumn.h"

#include "platform/data/Connection.h"
#include "platform/data/DataErrors.h"
#include "platform/data/JetBridge.h"
#include "platform/data/Session.h"

namespace orlo::data {

Result<std::optional<std::vector<qint64>>> readIntegerColumn(Connection& connection,
                                                             const QString& sql) {
    detail::Session& s = *connection.session();
    s.clearErrors();
    if (!s.isOpen()) {
        return s.fail(dataError(orlo::err::kOperationNotAllowed, kObjectClosedText.toString()));
    }
    if (s.isServer()) {
        return std::optional<std::vector<qint64>>();
    }
    ORLO_TRY(s.flushBatch());
    Result<QString> translated = detail::translateSql(sql, s);
    if (!translated) {
        return s.fail(translated.error(), sql);
    }
    ORLO_TRY_ASSIGN(sqlite::Statement stmt, s.check(s.database().prepare(*translated), sql));
    // A date column's numbers are dates to a recordset, not keys.
    if (!stmt || stmt.columnCount() < 1 ||
        stmt.columnDeclType(0).compare(QLatin1String("DATETIME"), Qt::CaseInsensitive) == 0) {
        return std::optional<std::vector<qint64>>();
    }
    std::vector<qint64> values;
    bool whole = true;
    ORLO_TRY(s.check(stmt.forEachRow([&](const sqlite::Statement& row) {
        if (row.columnType(0) != SQLITE_INTEGER) {
            whole = false;
            return false;
        }
        values.push_back(row.columnInt(0));
        return true;
    }),
                     sql));
    if (!whole) {
        return std::optional<std::vector<qint64>>();
    }
    return std::optional<std::vector<qint64>>(std::move(values));
}

}  // namespace orlo::data
