// A database file as either end of a copy. The target is built under a
// temporary name and renamed only after its commit, so a failed copy
// leaves no file under the target's name.

#include <QFile>
#include <QFileInfo>

#include "platform/data/CopyEnds.h"
#include "platform/data/DataErrors.h"
#include "platform/data/DatabaseFile.h"
#include "platform/sqlite/Transaction.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data::detail {

namespace {

class FileEnd final : public CopyEnd {
public:
    explicit FileEnd(QString path) : m_path(std::move(path)) {}
    ~FileEnd() override {
        if (!m_building.isEmpty()) {
            m_insert = {};
            m_tx.reset();
            m_db.close();
            QFile::remove(m_building);
        }
    }

    Status beginRead() override {
        if (!QFileInfo(m_path).isFile()) {
            return fail(u"there is no such file"_s);
        }
        ORLO_TRY(check(sqlite::Database::open(m_path, SQLITE_OPEN_READONLY), &m_db));
        // One read transaction over every table: a consistent picture even
        // while workstations keep writing.
        return beginTransaction(sqlite::Transaction::Mode::Deferred);
    }

    Status beginWrite(const CopyPlan& plan) override {
        if (QFileInfo::exists(m_path)) {
            return dataError(orlo::err::kProviderFailure,
                             u"The file '%1' already exists; it is not overwritten."_s.arg(m_path));
        }
        m_building = m_path + u".copying"_s;
        QFile::remove(m_building);
        ORLO_TRY(check(openNewDatabaseFile(m_building, DatabaseKind::Shared), &m_db));
        ORLO_TRY(beginTransaction(sqlite::Transaction::Mode::Immediate));
        for (const QString& sql : plan.fileStatements) {
            ORLO_TRY(check(m_db.exec(sql)));
        }
        return {};
    }

    Status read(const CopyTable& table,
                const std::function<Status(const CopyRow&)>& onRow) override {
        ORLO_TRY_ASSIGN(sqlite::Statement select,
                        check(m_db.prepare(u"SELECT %1 FROM %2"_s.arg(quotedColumnList(table),
                                                                      quotedName(table.name)))));
        Status failed;
        CopyRow row(std::size_t(table.columns.size()));
        ORLO_TRY(check(select.forEachRow([&](const sqlite::Statement& s) {
            for (int c = 0; c < int(row.size()); ++c) {
                row[std::size_t(c)] = s.columnType(c) == SQLITE_NULL
                                          ? std::nullopt
                                          : std::optional<QString>(s.columnText(c));
            }
            failed = onRow(row);
            return failed.ok();
        })));
        return failed;
    }

    Status write(const CopyTable& table, const std::vector<CopyRow>& rows) override {
        if (m_insertTable != table.name) {
            QStringList marks;
            for (qsizetype c = 0; c < table.columns.size(); ++c) {
                marks << u"?"_s;
            }
            ORLO_TRY_ASSIGN(
                m_insert,
                check(m_db.prepare(u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(
                    quotedName(table.name), quotedColumnList(table), marks.join(u", "_s)))));
            m_insertTable = table.name;
        }
        for (const CopyRow& row : rows) {
            for (int c = 0; c < int(row.size()); ++c) {
                if (row[std::size_t(c)]) {
                    m_insert.bindText(c + 1, *row[std::size_t(c)]);
                } else {
                    m_insert.bindNull(c + 1);
                }
            }
            const sqlite::SqlStatus done = m_insert.run();
            m_insert.reset();
            ORLO_TRY(check(done));
        }
        return {};
    }

    Result<qint64> counter(const CopyTable& table) override {
        ORLO_TRY_ASSIGN(sqlite::Statement hasCounters,
                        check(m_db.prepare(u"SELECT count(*) FROM sqlite_schema "
                                           "WHERE name = 'sqlite_sequence'"_s)));
        ORLO_TRY(check(hasCounters.step()));
        if (hasCounters.columnInt(0) == 0) {
            return qint64(0);
        }
        ORLO_TRY_ASSIGN(sqlite::Statement seq,
                        check(m_db.prepare(u"SELECT seq FROM sqlite_sequence WHERE name = ?"_s)));
        seq.bindText(1, table.name);
        ORLO_TRY_ASSIGN(const bool found, check(seq.step()));
        return found ? qint64(seq.columnInt(0)) : qint64(0);
    }

    Status setCounter(const CopyTable& table, qint64 highest) override {
        ORLO_TRY_ASSIGN(sqlite::Statement drop,
                        check(m_db.prepare(u"DELETE FROM sqlite_sequence WHERE name = ?"_s)));
        drop.bindText(1, table.name);
        ORLO_TRY(check(drop.run()));
        if (highest <= 0) {
            return {};
        }
        ORLO_TRY_ASSIGN(
            sqlite::Statement add,
            check(m_db.prepare(u"INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"_s)));
        add.bindText(1, table.name);
        add.bindInt(2, highest);
        return check(add.run());
    }

    Status commit() override {
        m_insert = {};
        ORLO_TRY(check(m_tx->commit()));
        m_tx.reset();
        m_db.close();
        // rename() refuses to replace a file that appeared in the meantime.
        if (!QFile::rename(m_building, m_path)) {
            return fail(u"the name is taken or not writable"_s);
        }
        m_building.clear();
        return {};
    }

private:
    Status beginTransaction(sqlite::Transaction::Mode mode) {
        sqlite::SqlResult<sqlite::Transaction> begun = sqlite::Transaction::begin(m_db, mode);
        if (!begun) {
            return fail(begun.error().message);
        }
        m_tx.emplace(std::move(begun).value());
        return {};
    }
    Error fail(const QString& why) const {
        return dataError(orlo::err::kProviderFailure,
                         m_building.isEmpty()
                             ? u"Cannot read '%1': %2"_s.arg(m_path, why)
                             : u"The file '%1' was not created: %2"_s.arg(m_path, why));
    }
    template <typename T>
    Result<T> check(sqlite::SqlResult<T> r) const {
        if (!r) {
            return fail(r.error().message);
        }
        if constexpr (std::is_void_v<T>) {
            return {};
        } else {
            return std::move(r).value();
        }
    }
    template <typename T, typename Into>
    Status check(sqlite::SqlResult<T> r, Into* into) const {
        if (!r) {
            return fail(r.error().message);
        }
        *into = std::move(r).value();
        return {};
    }

    QString m_path;
    QString m_building;  // the target's temporary name until its commit
    sqlite::Database m_db;
    std::optional<sqlite::Transaction> m_tx;
    sqlite::Statement m_insert;
    QString m_insertTable;
};

}  // namespace

std::unique_ptr<CopyEnd> fileCopyEnd(const QString& path) {
    return std::make_unique<FileEnd>(path);
}

}  // namespace orlo::data::detail
