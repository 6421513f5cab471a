#include "platform/data/Connection.h"

#include <QFileInfo>

#include "platform/core/ErrorTrap.h"
#include "platform/data/ConnectionPool.h"
#include "platform/data/ConnectionString.h"
#include "platform/data/DataErrors.h"
#include "platform/data/DatabaseFile.h"
#include "platform/data/JetBridge.h"
#include "platform/data/KeyInsert.h"
#include "platform/data/LocalDisk.h"
#include "platform/data/Session.h"
#include "platform/pg/PgLocation.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

namespace {

// The shared file keeps SQLite's rollback journal (WAL would need shared
// memory on one host, which a network share cannot give), so readers and
// writers take turns on file locks; writers hold them for milliseconds, and
// the bound (DataContext::lockWaitMs) keeps a stuck workstation or another
// program from hanging the desk: the user hears "in use" after one wait.
// The journal file is kept between writes (journal_mode=PERSIST): a commit
// zeroes and syncs its header instead of deleting the file, so no write
// creates or unlinks a file, and each sync is an overwrite in place rather
// than a change of the folder. The commit is also durable once it returns
// (a deleted journal that was never synced out of its folder can come back
// after a power cut and roll a reported save back). A zeroed journal is no
// hot journal to any other connection, whatever its journal mode, so older
// workstations keep working beside this one. After a write that journals
// many pages (an import) the file is cut back to 1 MiB; a save's journal is
// far smaller and stays as it is.
constexpr char kKeptJournal[] = "PRAGMA journal_mode=PERSIST";
constexpr char kJournalSizeLimit[] = "PRAGMA journal_size_limit=1048576";
// 64 MiB of page cache per connection (SQLite's default is 2 MiB).
constexpr char kReportCacheSize[] = "PRAGMA cache_size=-65536";
// Up to 1 GiB of the file read through a memory map.
constexpr char kLocalMmapSize[] = "PRAGMA mmap_size=1073741824";

Error providerFailure(const QString& text) {
    return dataError(orlo::err::kProviderFailure, text);
}

bool isBlank(const QString& tail) {
    for (QChar c : tail) {
        if (!c.isSpace() && c != QLatin1Char(';')) {
            return false;
        }
    }
    return true;
}

}  // namespace

Connection::Connection(DataContext ctx)
    : m_ctx(ctx), m_session(std::make_shared<detail::Session>(ctx)) {}

Connection::~Connection() {
    // Recordsets opened over this connection keep it open until they close,
    // as a report's data source outlives the report's own references.
    if (m_session.use_count() == 1) {
        ignoreError(close(), "a connection object going away has no caller left to tell");
    }
}

const ProviderErrors& Connection::errors() const {
    return m_session->errors();
}

int Connection::state() const {
    return m_session->isOpen() ? kStateOpen : kStateClosed;
}

Status Connection::open(const QString& connectionString) {
    if (!m_session->isOpen()) {
        m_connectionString = connectionString;  // an open connection keeps its own
    }
    return open();
}

Status Connection::open() {
    detail::Session& s = *m_session;
    s.clearErrors();
    if (s.isOpen()) {
        return s.fail(dataError(orlo::err::kOperationNotAllowed, kObjectOpenText.toString()));
    }
    Result<ConnectionTarget> target = parseConnectionString(m_provider, m_connectionString);
    if (!target) {
        return s.fail(target.error());
    }
    if (target->kind == ConnectionTarget::Kind::Postgres) {
        return openServer(*target);
    }
    const QString path = target->location;
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        return s.fail(providerFailure(u"Could not find file '%1'."_s.arg(path)));
    }
    // No SQLITE_OPEN_CREATE: a wrong path must fail, never leave an empty
    // database behind. A file or folder that nobody may write is opened
    // for reading only, whoever runs the desk (the superuser could write
    // it anyway): its writes then fail and are reported, the file stays as
    // it was.
    const auto anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    const bool readOnly = !(info.permissions() & anyWrite) ||
                          !(QFileInfo(info.absolutePath()).permissions() & anyWrite);
    const QString absolute = info.absoluteFilePath();
    // A handle an earlier report left open on the same file, else a new one.
    const std::optional<ConnectionPool::FileId> fileId =
        m_ctx.connectionPool ? ConnectionPool::fileIdOf(absolute) : std::nullopt;
    std::optional<sqlite::Database> pooled =
        fileId ? m_ctx.connectionPool->takeFile(absolute, readOnly, *fileId) : std::nullopt;
    if (!pooled) {
        sqlite::SqlResult<sqlite::Database> opened =
            sqlite::Database::open(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
        if (!opened) {
            return s.fail(providerFailure(
                u"The database '%1' cannot be opened: %2"_s.arg(path, opened.error().message)));
        }
        pooled = std::move(opened).value();
    }
    s.attach(*std::move(pooled), absolute);
    sqlite::Database& db = s.database();
    db.setBusyTimeout(m_ctx.lockWaitMs > 0 ? m_ctx.lockWaitMs : kDefaultLockWaitMs);

    // Reading the header tells a database from any other file.
    const QString probeSql = u"PRAGMA application_id"_s;
    Result<int> applicationId = [&]() -> Result<int> {
        ORLO_TRY_ASSIGN(sqlite::Statement probe, s.check(db.prepare(probeSql), {}));
        ORLO_TRY_ASSIGN(const bool row, s.check(probe.step(), {}));
        return row ? int(probe.columnInt(0)) : 0;
    }();
    if (!applicationId) {
        const bool inUse = !s.errors().empty() && s.errors().back().sqlState == u"HYT00"_s;
        ignoreError(s.close(), "the failed open's own error is the one reported");
        if (inUse) {
            // A lock held by another program is no fault of the file.
            return applicationId.error();
        }
        return providerFailure(u"Unrecognized database format '%1' (%2)."_s.arg(
            path, applicationId.error().description));
    }

    // References between tables are checked on every connection: a patient
    // with appointments cannot be deleted.
    QStringList setup = {u"PRAGMA foreign_keys=ON"_s};
    // Reports open a connection, read tens of thousands of rows spread over
    // the file and close it: a page cache big enough to keep the pages of
    // one report, and on a local disk reads straight from a memory map
    // instead of a copy of every page. The scratch database is not mapped:
    // its pages are written by the same connection that reads them, and a
    // mapped page is copied out before each write.
    setup << QString::fromLatin1(kReportCacheSize);
    const bool scratch = *applicationId == kScratchApplicationId;
    if (!scratch && detail::isOnLocalDisk(path)) {
        setup << QString::fromLatin1(kLocalMmapSize);
    }
    if (scratch) {
        // The scratch database is the workstation's own and thrown away
        // after each resync: no durability needed, and its executes are
        // batched into one transaction until the next read.
        setup << u"PRAGMA synchronous=OFF"_s << u"PRAGMA journal_mode=MEMORY"_s;
        s.setBatchesWrites(true);
    } else if (!readOnly) {
        setup << QString::fromLatin1(kKeptJournal) << QString::fromLatin1(kJournalSizeLimit);
    }
    for (const QString& sql : setup) {
        if (Status done = s.check(db.exec(sql), sql); !done) {
            ignoreError(s.close(), "the failed open's own error is the one reported");
            return providerFailure(done.error().description);
        }
    }
    if (Status fs = detail::installJetFunctions(db.handle(), m_ctx.clock, m_ctx.locale); !fs) {
        s.fail(fs.error());
        ignoreError(s.close(), "the failed open's own error is the one reported");
        return fs;
    }
    if (Status ls = s.loadSchema(); !ls) {
        ignoreError(s.close(), "the failed open's own error is the one reported");
        return ls;
    }
    if (fileId && !scratch) {
        s.keepInPool(readOnly, *fileId);
    }
    ConnectionTarget t = *target;
    t.location = absolute;
    m_connectionString = fullConnectionString(t);
    return {};
}

Status Connection::openServer(const ConnectionTarget& target) {
    detail::Session& s = *m_session;
    pg::PgResult<pg::PgDatabase> server = m_ctx.connectionPool
                                              ? m_ctx.connectionPool->take(target.location)
                                              : pg::PgDatabase::connect(target.location);
    if (!server) {
        // libpq's own words (host, port, authentication), never the password.
        return s.fail(providerFailure(server.error().message));
    }
    s.attachServer(std::move(server).value(), target.location);
    if (Status ls = s.loadSchema(); !ls) {
        ignoreError(s.close(), "the failed open's own error is the one reported");
        return ls;
    }
    m_connectionString = fullConnectionString(target);
    return {};
}

Status Connection::close() {
    return m_session->close();
}

Result<qint64> Connection::execute(const QString& sql) {
    detail::Session& s = *m_session;
    s.clearErrors();
    if (!s.isOpen()) {
        return s.fail(dataError(orlo::err::kOperationNotAllowed, kObjectClosedText.toString()));
    }
    if (s.isServer()) {
        Result<QString> translated = detail::translateSql(sql, s);
        if (!translated) {
            return s.fail(translated.error(), sql);
        }
        // A write first lets the reads still open run to their end, as on the file.
        if (!translated->trimmed().startsWith(u"SELECT"_s, Qt::CaseInsensitive)) {
            ORLO_TRY(s.finishOpenReads());
        }
        ORLO_TRY_ASSIGN(const pg::PgRows rows, s.serverExec(*translated, sql));
        return rows.columnCount() > 0 ? qint64(0) : rows.changed();
    }
    sqlite::Database& db = s.database();

    // The resync's key inserts, one execute per key: the same statement
    // with another number each time, so it is prepared once. The next of a
    // run is told by the text before its number alone.
    std::optional<qint64> value = keyAfterPrefix(sql, s.keyInsertPrefix());
    QString keySql = value ? s.keyInsertText() : QString();
    if (!value) {
        std::optional<KeyInsert> key = parseKeyInsert(sql);
        // A date column takes the translator's date handling.
        if (key && !s.isDateColumn(key->table, key->column)) {
            value = key->value;
            keySql = key->sqliteText();
            s.rememberKeyInsert(keyInsertPrefix(sql), keySql);
        }
    }
    if (value) {
        ORLO_TRY_ASSIGN(const sqlite::StatementUse stmt, s.check(s.cachedStatement(keySql), sql));
        ORLO_TRY(s.runKeyInsert(*stmt, *value, sql));
        return qint64(db.changes());
    }

    Result<QString> translated = detail::translateSql(sql, s);
    if (!translated) {
        return s.fail(translated.error(), sql);
    }
    QString tail;
    ORLO_TRY_ASSIGN(sqlite::Statement stmt, s.check(db.prepare(*translated, &tail), sql));
    if (!stmt) {
        return s.fail(dataError(orlo::err::kCommandError,
                                u"Invalid SQL statement; expected 'DELETE', "
                                "'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."_s),
                      sql);
    }
    if (!isBlank(tail)) {
        return s.fail(dataError(orlo::err::kCommandError, kTrailingTextText.toString()), sql);
    }
    const bool writes = !stmt.isReadOnly();
    if (writes) {
        ORLO_TRY(s.finishOpenReads());
    }
    if (writes && s.batchesWrites()) {
        ORLO_TRY(s.beginBatch());
    } else if (!writes) {
        ORLO_TRY(s.flushBatch());
    }
    if (sqlite::SqlStatus ran = stmt.run(); !ran) {
        const bool lost = s.batchOpen() && !db.inTransaction();
        Error e = s.failure(ran.error(), sql);
        if (lost) {
            s.batchLost();
            s.fail(providerFailure(
                u"The statements executed since the last read were rolled back."_s));
        }
        return e;
    }
    return writes ? qint64(db.changes()) : qint64(0);
}

}  // namespace orlo::data
