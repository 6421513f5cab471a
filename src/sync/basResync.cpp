#include "sync/basResync.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <optional>
#include <vector>

#include "common/AddinContext.h"
#include "common/AddinFolders.h"
#include "common/DatabaseLocation.h"
#include "common/ErrorReport.h"
#include "common/ItemHandlerSupport.h"
#include "host/BulkSaves.h"
#include "host/ItemKeys.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "patients/basOutlookPatients.h"
#include "platform/core/DoEvents.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Connection.h"
#include "platform/data/IntegerColumn.h"
#include "platform/data/KeyInsertRun.h"
#include "platform/data/Recordset.h"
#include "records/FieldMaps.h"
#include "schedule/basOutlookAppointments.h"
#include "sync/ScratchDatabase.h"
#include "sync/UnloadLists.h"

namespace orlo::sync {

namespace {

// What tells the two routines apart.
struct ResyncKind {
    const char16_t* unloadList;
    const char16_t* keyQuery;
    const char16_t* dbInsert;  // followed by the key and ")"
    const char16_t* olInsert;
    const char16_t* readBack;
    const char16_t* difference;
    const char16_t* emptyOl;
    const char16_t* emptyDb;
    const char16_t* rowsQuery;  // followed by the keys, separated by commas, and ")"
    const char16_t* keyColumn;
    const char16_t* errorTitle;
    const char16_t* missingListLog;
    const char16_t* existenceProperty;  // what the existence test's Find searches
    bool patients;
};

constexpr ResyncKind kPatientResync{
    kPatientUnloadList,
    u"SELECT PT_ID FROM PATIENTS",
    u"INSERT INTO tempPatientDB (ids) Values(",
    u"INSERT INTO tempPatientOL (ids) Values(",
    u"SELECT ids FROM tempPatientDB",
    u"SELECT ids FROM tempPatientDB WHERE not exists (select ids from tempPatientOL Where "
    u"tempPatientDB.ids = tempPatientOL.ids)",
    u"DELETE * FROM tempPatientOL",
    u"DELETE * FROM tempPatientDB",
    u"SELECT * FROM PATIENTS WHERE PT_ID IN (",
    u"PT_ID",
    kPatientResyncErrorTitle,
    kPatientListMissingLog,
    u"Customer ID",
    true};

constexpr ResyncKind kScheduleResync{
    kScheduleUnloadList,
    u"SELECT SCHEDULE_ID FROM SCHEDULED",
    u"INSERT INTO tempScheduleDB (ids) Values(",
    u"INSERT INTO tempScheduleOL (ids) Values(",
    u"SELECT ids FROM tempScheduleDB",
    u"SELECT ids FROM tempScheduleDB WHERE not exists (select ids from tempScheduleOL Where "
    u"tempScheduleDB.ids = tempScheduleOL.ids)",
    u"DELETE * FROM tempScheduleOL",
    u"DELETE * FROM tempScheduleDB",
    u"SELECT * FROM SCHEDULED WHERE SCHEDULE_ID IN (",
    u"SCHEDULE_ID",
    kScheduleResyncErrorTitle,
    kScheduleListMissingLog,
    u"Mileage",
    false};

QString str(const char16_t* s) {
    return QString::fromUtf16(s);
}

// Lets the event loop run (the progress window repaints, sockets and timers
// are served), but at most once per interval: a pass per key would cost
// half a million passes on a clinic's appointments. The first call yields
// at once. The clock is read every 64th call only: 64 keys take far less
// than the interval, and a read of the clock per key would cost more than
// the key itself.
class Yield {
public:
    void operator()() {
        if (m_calls++ % kCallsPerClockRead != 0) {
            return;
        }
        if (!m_since.isValid() || m_since.elapsed() >= kIntervalMs) {
            DoEvents();
            m_since.start();
        }
    }

private:
    static constexpr qint64 kIntervalMs = 20;
    static constexpr unsigned kCallsPerClockRead = 64;
    unsigned m_calls = 0;
    QElapsedTimer m_since;
};

// An unload list line's numeric value: blanks do not matter, and an empty
// or unreadable line reads as 0, which no key has.
qint64 listedKey(QByteArrayView line) {
    bool ok = false;
    const qint64 key = line.trimmed().toLongLong(&ok);
    return ok ? key : 0;
}

// Sorts keys that are not in ascending order yet. Each scratch table keeps
// its keys as its B-tree's order: ascending inserts all land at the tree's
// end (no page is split in the middle or written twice), and the difference
// then walks both trees in the same order. The database's keys come in the
// order of the index the engine reads them through, not in key order.
void ascending(std::vector<qint64>& keys) {
    if (!std::is_sorted(keys.begin(), keys.end())) {
        std::sort(keys.begin(), keys.end());
    }
}

class Resync {
public:
    Resync(AddinContext& ctx, const ResyncKind& kind, QString dbLocation)
        : m_ctx(ctx),
          m_kind(kind),
          m_dbLocation(std::move(dbLocation)),
          m_db({ctx.clock, ctx.locale}),
          m_scratch({ctx.clock, ctx.locale}) {}

    Status run() {
        Status done = work();
        if (!done) {
            report(done.error());
        }
        m_keys.close();
        m_scratchRows.close();
        ignoreError(m_db.close(), "the run is over; a close that fails loses nothing");
        ignoreError(m_scratch.close(), "the run is over; a close that fails loses nothing");
        return done;
    }

private:
    Status work() {
        ORLO_TRY_ASSIGN(const std::optional<QByteArray> list, readList());
        ORLO_TRY_ASSIGN(std::vector<qint64> dbKeys, databaseKeys());
        ORLO_TRY_ASSIGN(const QString scratchPath, ensureScratchDatabase(m_ctx.appFolder));
        ORLO_TRY(openJetConnection(m_scratch, scratchPath));
        ORLO_TRY(emptyScratch());
        std::vector<qint64> missing;
        const bool fullCheck = !list || list->isEmpty();
        ascending(dbKeys);
        ORLO_TRY(insertKeys(m_kind.dbInsert, dbKeys));
        if (fullCheck) {
            ORLO_TRY_ASSIGN(missing, scratchIds(str(m_kind.readBack)));
        } else {
            std::vector<qint64> listed;
            listed.reserve(std::size_t(list->count('\n')) + 1);
            const QByteArrayView bytes(*list);
            for (qsizetype at = 0; at < bytes.size();) {
                qsizetype end = bytes.indexOf('\n', at);
                if (end < 0) {
                    end = bytes.size();  // a last line without its end
                }
                listed.push_back(listedKey(bytes.sliced(at, end - at)));
                at = end + 1;
            }
            ascending(listed);
            ORLO_TRY(insertKeys(m_kind.olInsert, listed));
            ORLO_TRY_ASSIGN(missing, scratchIds(str(m_kind.difference)));
        }
        ORLO_TRY(emptyScratch());
        m_scratchRows.close();
        ORLO_TRY(m_scratch.close());
        if (missing.empty()) {
            return okStatus();
        }
        // Items are made in key order, whatever order the scratch tables
        // give their rows in.
        ascending(missing);
        ORLO_TRY(openJetConnection(m_db, m_dbLocation));
        return createMissing(missing);
    }

    // The list's bytes; nothing when the file is missing (logged: the full
    // check runs instead, so a lost list still gets every item made).
    Result<std::optional<QByteArray>> readList() {
        const QString path = m_ctx.appFolder.path(str(m_kind.unloadList));
        if (!QFileInfo::exists(path)) {
            ignoreError(m_ctx.log().WriteErrorLog(str(m_kind.missingListLog)),
                        "the run goes on with the full check either way");
            return std::optional<QByteArray>();
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return makeError(err::kPathFileAccessError,
                             QStringLiteral("The unload list %1 cannot be read: %2")
                                 .arg(path, file.errorString()),
                             QStringLiteral("Orlo"));
        }
        return std::optional<QByteArray>(file.readAll());
    }

    Result<std::vector<qint64>> databaseKeys() {
        ORLO_TRY(openJetConnection(m_db, m_dbLocation));
        m_yield();
        ORLO_TRY_ASSIGN(std::vector<qint64> keys, keyColumn(m_db, str(m_kind.keyQuery), m_keys));
        ORLO_TRY(m_db.close());
        return keys;
    }

    // The query's keys, read straight from the engine when they are stored
    // as whole numbers, else through the recordset `rs`.
    Result<std::vector<qint64>> keyColumn(data::Connection& conn, const QString& sql,
                                          data::Recordset& rs) {
        ORLO_TRY_ASSIGN(std::optional<std::vector<qint64>> keys,
                        data::readIntegerColumn(conn, sql));
        if (keys) {
            return std::move(*keys);
        }
        ORLO_TRY(rs.open(sql, conn));
        ORLO_TRY_ASSIGN(std::vector<qint64> read, column(rs));
        rs.close();
        return read;
    }

    Result<std::vector<qint64>> column(data::Recordset& rs) {
        std::vector<qint64> keys;
        if (rs.eof()) {
            return keys;  // an empty table has no rows to fetch
        }
        ORLO_TRY_ASSIGN(const data::RowTable rows, rs.getRows());
        if (rows.empty()) {
            return keys;
        }
        keys.reserve(rows[0].size());
        for (const Variant& v : rows[0]) {
            ORLO_TRY_ASSIGN(const double key, v.toDouble(m_ctx.locale));
            keys.push_back(static_cast<qint64>(key));
        }
        return keys;
    }

    // One statement per key, as the texts say, prepared once with the key
    // bound; the scratch connection runs them all in one transaction,
    // committed by the next read.
    Status insertKeys(const char16_t* prefix, const std::vector<qint64>& keys) {
        data::KeyInsertRun insert(m_scratch, str(prefix));
        for (const qint64 key : keys) {
            m_yield();
            ORLO_TRY(insert(key));
        }
        return okStatus();
    }

    Result<std::vector<qint64>> scratchIds(const QString& sql) {
        return keyColumn(m_scratch, sql, m_scratchRows);
    }

    Status emptyScratch() {
        ORLO_TRY(m_scratch.execute(str(m_kind.emptyOl)));
        ORLO_TRY(m_scratch.execute(str(m_kind.emptyDb)));
        return okStatus();
    }

    Status createMissing(const std::vector<qint64>& keys) {
        // A fresh workstation gets every row: its saves are made durable a
        // group at a time. A crash loses at most the open group, whose items
        // the next run creates again.
        const Result<std::shared_ptr<host::MAPIFolder>> folder = addinFolder(
            m_ctx.application, str(m_kind.patients ? kPatientsFolderName : kSchedulerFolderName));
        host::BulkSaves bulk(folder ? *folder : nullptr);
        ORLO_TRY(readKnownKeys(folder ? *folder : nullptr, keys.size()));
        // The rows are read a group of keys at a time, one query each, rather
        // than a query prepared and run per key. The events wait while a
        // group's items are made (a few dozen milliseconds): a peer's notice
        // of a change to one of its rows is then handled after the item
        // exists, never overwritten by the value read before it.
        constexpr std::size_t kKeysPerQuery = 200;
        std::vector<qint64> group;
        group.reserve(kKeysPerQuery);
        for (std::size_t next = 0; next < keys.size();) {
            m_yield();
            group.clear();
            for (; next < keys.size() && group.size() < kKeysPerQuery; ++next) {
                // An item known to be there needs no row (the full check of
                // a complete folder reads none).
                if (!(m_known && m_known->contains(Variant(keys[next])))) {
                    group.push_back(keys[next]);
                }
            }
            if (group.empty()) {
                continue;
            }
            ORLO_TRY_ASSIGN(const RowsByKey rows, readRows(group));
            for (const qint64 key : group) {
                ORLO_TRY(createIfMissing(key, rows));
            }
        }
        return bulk.end();
    }

    // The values of one row, in the order the fill operation takes them.
    using RowsByKey = QHash<qint64, QStringList>;

    // The rows of these keys, each as the values of its item; a key whose
    // row was deleted since the keys were read has none.
    Result<RowsByKey> readRows(const std::vector<qint64>& group) {
        QString sql = str(m_kind.rowsQuery);
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (i > 0) {
                sql += u',';
            }
            sql += QString::number(group[i]);
        }
        sql += u')';
        data::Recordset rs;
        ORLO_TRY(rs.open(sql, m_db, data::kOpenStatic, data::kLockReadOnly));
        RowsByKey out;
        if (rs.eof()) {
            return out;
        }
        ORLO_TRY_ASSIGN(const std::vector<int> at, columnPositions(rs));
        ORLO_TRY_ASSIGN(const int keyAt, columnPosition(rs, str(m_kind.keyColumn)));
        ORLO_TRY_ASSIGN(const data::RowTable rows, rs.getRows());
        rs.close();
        const std::size_t count = rows.empty() ? 0 : rows[0].size();
        out.reserve(qsizetype(count));
        for (std::size_t r = 0; r < count; ++r) {
            ORLO_TRY_ASSIGN(const double key, rows[std::size_t(keyAt)][r].toDouble(m_ctx.locale));
            QStringList values;
            values.reserve(qsizetype(at.size()));
            for (const int c : at) {
                values << rows[std::size_t(c)][r].text(m_ctx.locale);
            }
            out.insert(static_cast<qint64>(key), std::move(values));
        }
        return out;
    }

    // Where each value's column is among the recordset's fields, by name
    // through the field maps: the same layout the items' Open handlers read.
    Result<std::vector<int>> columnPositions(const data::Recordset& rs) {
        std::vector<int> at;
        if (m_kind.patients) {
            for (const records::PatientField& f : records::patientFields()) {
                ORLO_TRY_ASSIGN(const int c, columnPosition(rs, records::str(f.columnName)));
                at.push_back(c);
            }
        } else {
            for (int p = 1; p <= records::kScheduleValueCount; ++p) {
                ORLO_TRY_ASSIGN(
                    const int c,
                    columnPosition(rs, records::str(records::scheduleField(p).columnName)));
                at.push_back(c);
            }
        }
        return at;
    }

    Result<int> columnPosition(const data::Recordset& rs, const QString& name) {
        for (int c = 0; c < rs.fieldCount(); ++c) {
            ORLO_TRY_ASSIGN(const QString field, rs.fieldName(c));
            if (field.compare(name, Qt::CaseInsensitive) == 0) {
                return c;
            }
        }
        // The lookup by name reports the column the table lacks.
        const Result<Variant> byName = rs.field(name);
        if (!byName) {
            return byName.error();
        }
        return makeError(err::kItemNotInCollection,
                         QStringLiteral("The column %1 cannot be placed.").arg(name),
                         QStringLiteral("Orlo"));
    }

    // Many keys to test: the folder's keys read once, so that a key whose
    // item is there costs a hash lookup instead of a Find that loads the
    // whole item. A Find costs about as much as reading the keys of a few
    // dozen items, hence the bound. Items are only ever added meanwhile
    // (by a peer's notice during a yield), so a key found here has its
    // item; one not found is still asked of the folder itself.
    Status readKnownKeys(const std::shared_ptr<host::MAPIFolder>& folder, std::size_t keyCount) {
        constexpr std::size_t kItemsPerFind = 32;
        if (!folder) {
            return okStatus();  // the existence test reports the missing folder
        }
        const std::shared_ptr<host::Items> items = folder->Items();
        ORLO_TRY_ASSIGN(const int count, items->Count());
        if (keyCount * kItemsPerFind < std::size_t(count)) {
            return okStatus();
        }
        ORLO_TRY_ASSIGN(m_known, host::ItemKeys::read(*folder, str(m_kind.existenceProperty)));
        return okStatus();
    }

    Result<bool> exists(qint64 key, const QString& text) {
        if (m_known && m_known->contains(Variant(key))) {
            return true;
        }
        return m_kind.patients ? patients::PatientExistsByCustomerID(m_ctx, text)
                               : schedule::AppointmentExistsByMileage(m_ctx, text);
    }

    Status createIfMissing(qint64 number, const RowsByKey& rows) {
        const QString key = QString::number(number);
        ORLO_TRY_ASSIGN(const bool exists, this->exists(number, key));
        if (exists) {
            return okStatus();
        }
        const auto row = rows.constFind(number);
        if (row == rows.cend()) {
            return okStatus();  // deleted since the keys were read
        }
        QStringList values = *row;
        if (m_kind.patients) {
            values[0] = key;
        }
        // A fill that fails only where error 5 is passed over goes on with
        // the next key.
        ErrorTrap trap;
        trap.step([&] {
            return m_kind.patients ? patients::AddPatientItem(m_ctx, values)
                                   : schedule::AddAppointmentItem(m_ctx, key, values);
        });
        (m_kind.patients ? m_ctx.PatientItemSaveEnabled : m_ctx.ApptItemSaveEnabled) = true;
        if (trap.failed()) {
            return trap.error();
        }
        return okStatus();
    }

    void report(const Error& error) {
        MessageBoxService& boxes = m_ctx.messageBoxes;
        const mdlLogs log = m_ctx.log();
        ProviderErrors logged = m_db.errors();
        for (const ProviderError& e : m_scratch.errors()) {
            logged.push_back(e);
        }
        if (logged.empty()) {
            logged = asProviderErrors(error);  // not the provider's: logged all the same
        }
        ignoreError(reportDatabaseError(error, str(m_kind.errorTitle), logged, boxes, log),
                    "the user has seen the box");
    }

    AddinContext& m_ctx;
    const ResyncKind& m_kind;
    QString m_dbLocation;
    data::Connection m_db;
    data::Connection m_scratch;
    data::Recordset m_keys;
    data::Recordset m_scratchRows;
    std::optional<host::ItemKeys> m_known;  // the folder's keys when many are tested
    Yield m_yield;
};

}  // namespace

Status ResyncPatients(AddinContext& ctx, const QString& dbLocation) {
    return Resync(ctx, kPatientResync, dbLocation).run();
}

Status ResyncSchedules(AddinContext& ctx, const QString& dbLocation) {
    return Resync(ctx, kScheduleResync, dbLocation).run();
}

}  // namespace orlo::sync
