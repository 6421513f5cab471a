// A PostgreSQL server as either end of a copy. The source is read in one
// repeatable-read transaction through a cursor, a page of rows at a time;
// the target's schema and rows go in one transaction that only commit()
// keeps.

#include "platform/core/ErrorTrap.h"
#include "platform/data/CopyEnds.h"
#include "platform/data/DataErrors.h"
#include "platform/data/ServerDatabase.h"
#include "platform/pg/PgLocation.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data::detail {

namespace {

// Rows fetched from the cursor at a time.
constexpr int kFetchRows = 1000;
// The server takes at most 65535 parameters in one statement.
constexpr qsizetype kMaxParameters = 60000;

class ServerEnd final : public CopyEnd {
public:
    explicit ServerEnd(QString uri) : m_uri(std::move(uri)) {}

    Status beginRead() override {
        pg::PgResult<pg::PgDatabase> connected = pg::PgDatabase::connect(m_uri);
        if (!connected) {
            return dataError(orlo::err::kProviderFailure, connected.error().message);
        }
        m_db = std::move(connected).value();
        return check(m_db.execScript(u"BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"_s));
    }

    Status beginWrite(const CopyPlan& plan) override {
        m_target = true;
        for (const CopyTable& table : plan.tables) {
            m_tables << quotedName(table.name);
        }
        ORLO_TRY_ASSIGN(m_db, beginServerDatabase(m_uri, plan.serverStatements));
        return {};
    }

    Status read(const CopyTable& table,
                const std::function<Status(const CopyRow&)>& onRow) override {
        ORLO_TRY(
            check(m_db.execScript(u"DECLARE orlo_copy NO SCROLL CURSOR FOR SELECT %1 FROM %2"_s.arg(
                quotedColumnList(table), quotedName(table.name)))));
        CopyRow row(std::size_t(table.columns.size()));
        for (;;) {
            ORLO_TRY_ASSIGN(const pg::PgRows page,
                            check(m_db.exec(u"FETCH %1 FROM orlo_copy"_s.arg(kFetchRows))));
            for (int r = 0; r < page.rowCount(); ++r) {
                for (int c = 0; c < page.columnCount(); ++c) {
                    row[std::size_t(c)] =
                        page.isNull(r, c) ? std::nullopt : std::optional<QString>(page.text(r, c));
                }
                ORLO_TRY(onRow(row));
            }
            if (page.rowCount() < kFetchRows) {
                break;
            }
        }
        return check(m_db.execScript(u"CLOSE orlo_copy"_s));
    }

    Status write(const CopyTable& table, const std::vector<CopyRow>& rows) override {
        const qsizetype width = table.columns.size();
        const std::size_t perStatement =
            std::size_t(std::max<qsizetype>(1, kMaxParameters / width));
        const QString head =
            u"INSERT INTO %1 (%2) VALUES "_s.arg(quotedName(table.name), quotedColumnList(table));
        for (std::size_t first = 0; first < rows.size(); first += perStatement) {
            const std::size_t last = std::min(rows.size(), first + perStatement);
            QString sql = head;
            std::vector<std::optional<QString>> params;
            params.reserve((last - first) * std::size_t(width));
            for (std::size_t r = first; r < last; ++r) {
                QStringList marks;
                for (const std::optional<QString>& value : rows[r]) {
                    params.push_back(value);
                    marks << u"$%1"_s.arg(params.size());
                }
                sql += (r == first ? u"("_s : u", ("_s) + marks.join(u", "_s) + u")"_s;
            }
            ORLO_TRY(check(m_db.exec(sql, params)));
        }
        return {};
    }

    Result<qint64> counter(const CopyTable& table) override {
        ORLO_TRY_ASSIGN(
            const pg::PgRows last,
            check(m_db.exec(
                u"SELECT pg_sequence_last_value(pg_get_serial_sequence($1, $2)::regclass)"_s,
                {quotedName(table.name), table.keyColumn})));
        return last.rowCount() == 1 && !last.isNull(0, 0) ? last.text(0, 0).toLongLong()
                                                          : qint64(0);
    }

    Status setCounter(const CopyTable& table, qint64 highest) override {
        // A sequence starts at 1: "nothing handed out yet" is 1 not yet called.
        ORLO_TRY(check(m_db.exec(
            u"SELECT setval(pg_get_serial_sequence($1, $2)::regclass, $3, $4)"_s,
            {quotedName(table.name), table.keyColumn, QString::number(std::max<qint64>(highest, 1)),
             highest > 0 ? u"true"_s : u"false"_s})));
        return {};
    }

    Status commit() override {
        if (!m_target) {
            return check(m_db.execScript(u"COMMIT"_s));
        }
        // Kept on disk before "copied" is said, whatever the server's own
        // synchronous_commit: the source may be thrown away next.
        ORLO_TRY(check(m_db.execScript(u"SET LOCAL synchronous_commit TO on"_s)));
        ORLO_TRY(check(m_db.execScript(u"COMMIT"_s)));
        // The copied tables vacuumed and measured at once. Without statistics
        // the planner guesses a tenth of the rows written in bulk and picks
        // the reports' plans on that guess; the visibility map lets them
        // answer "no visit to come" from an index alone. Autovacuum would
        // leave both to its next round. The rows are kept either way, so a
        // failure here fails nothing.
        ignoreError(check(m_db.execScript(u"VACUUM (ANALYZE) "_s + m_tables.join(u", "_s))),
                    "autovacuum does the same on its next round");
        return {};
    }

private:
    template <typename T>
    Result<T> check(pg::PgResult<T> r) const {
        if (!r) {
            const QString where = pg::redactedUri(m_uri.trimmed());
            return dataError(
                orlo::err::kProviderFailure,
                m_target ? u"The database %1 was not changed: %2"_s.arg(where, r.error().message)
                         : u"Cannot read %1: %2"_s.arg(where, r.error().message));
        }
        if constexpr (std::is_void_v<T>) {
            return {};
        } else {
            return std::move(r).value();
        }
    }

    QString m_uri;
    bool m_target = false;
    QStringList m_tables;  // as a target, quoted
    pg::PgDatabase m_db;
};

}  // namespace

std::unique_ptr<CopyEnd> serverCopyEnd(const QString& uri) {
    return std::make_unique<ServerEnd>(uri);
}

}  // namespace orlo::data::detail
