#include "platform/data/DatabaseCopy.h"

#include <QCryptographicHash>
#include <QtEndian>

#include "platform/data/ConnectionString.h"
#include "platform/data/CopyEnds.h"
#include "platform/data/DataErrors.h"
#include "platform/pg/PgLocation.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

namespace detail {

QString quotedName(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString quotedColumnList(const CopyTable& table) {
    QStringList names;
    for (const QString& c : table.columns) {
        names << quotedName(c);
    }
    return names.join(u", "_s);
}

}  // namespace detail

namespace {

using detail::CopyEnd;
using detail::CopyRow;

// Rows handed to the target at a time.
constexpr std::size_t kBatchRows = 500;

// The rows of a table and the sum of a hash of each row: the same rows give
// the same checksum in any order. Every value counts with its length and
// whether it is NULL, so "" and NULL differ, and so do "ab","c" and "a","bc".
class RowDigest {
public:
    void add(const CopyRow& row) {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const std::optional<QString>& value : row) {
            if (!value) {
                hash.addData(QByteArrayView("N", 1));
                continue;
            }
            const QByteArray utf8 = value->toUtf8();
            const quint64 size = qToBigEndian(quint64(utf8.size()));
            hash.addData(QByteArrayView("T", 1));
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(&size), sizeof size));
            hash.addData(utf8);
        }
        m_sum += qFromBigEndian<quint64>(hash.result().constData());
        ++m_rows;
    }
    qint64 rows() const { return m_rows; }
    QString checksum() const { return u"%1"_s.arg(m_sum, 16, 16, QLatin1Char('0')); }

private:
    quint64 m_sum = 0;
    qint64 m_rows = 0;
};

std::unique_ptr<CopyEnd> endFor(const QString& location) {
    return isServerLocation(location) ? detail::serverCopyEnd(location)
                                      : detail::fileCopyEnd(location);
}

// Copies one table's rows and moves the target's counter past its keys;
// the source's count and checksum.
Result<RowDigest> copyTable(CopyEnd& source, CopyEnd& target, const CopyTable& table) {
    const qsizetype key = table.keyColumn.isEmpty() ? -1 : table.columns.indexOf(table.keyColumn);
    RowDigest digest;
    qint64 highest = 0;
    std::vector<CopyRow> batch;
    batch.reserve(kBatchRows);
    ORLO_TRY(source.read(table, [&](const CopyRow& row) -> Status {
        digest.add(row);
        if (key >= 0 && row[std::size_t(key)]) {
            highest = std::max(highest, row[std::size_t(key)]->toLongLong());
        }
        batch.push_back(row);
        if (batch.size() == kBatchRows) {
            ORLO_TRY(target.write(table, batch));
            batch.clear();
        }
        return {};
    }));
    if (!batch.empty()) {
        ORLO_TRY(target.write(table, batch));
    }
    if (key >= 0) {
        ORLO_TRY_ASSIGN(const qint64 counted, source.counter(table));
        ORLO_TRY(target.setCounter(table, std::max(highest, counted)));
    }
    return digest;
}

}  // namespace

Result<std::vector<TableCopy>> copyDatabase(const QString& from, const QString& to,
                                            const CopyPlan& plan) {
    if (from.trimmed() == to.trimmed()) {
        return dataError(orlo::err::kProviderFailure,
                         u"A database cannot be copied onto itself (%1)."_s.arg(
                             pg::redactedUri(from.trimmed())));
    }
    std::unique_ptr<CopyEnd> source = endFor(from);
    std::unique_ptr<CopyEnd> target = endFor(to);
    ORLO_TRY(source->beginRead());
    ORLO_TRY(target->beginWrite(plan));
    std::vector<TableCopy> copies;
    for (const CopyTable& table : plan.tables) {
        ORLO_TRY_ASSIGN(const RowDigest read, copyTable(*source, *target, table));
        copies.push_back({table.name, read.rows(), read.checksum(), 0, {}});
    }
    // The target read back in the same transaction, before anything is kept.
    bool same = true;
    for (std::size_t i = 0; i < plan.tables.size(); ++i) {
        RowDigest written;
        ORLO_TRY(target->read(plan.tables[i], [&](const CopyRow& row) -> Status {
            written.add(row);
            return {};
        }));
        copies[i].targetRows = written.rows();
        copies[i].targetChecksum = written.checksum();
        same = same && copies[i].targetRows == copies[i].sourceRows &&
               copies[i].targetChecksum == copies[i].sourceChecksum;
    }
    if (!same) {
        QStringList sides;
        for (const TableCopy& c : copies) {
            sides << u"%1: %2 rows, checksum %3 / %4 rows, checksum %5"_s.arg(
                c.table, QString::number(c.sourceRows), c.sourceChecksum,
                QString::number(c.targetRows), c.targetChecksum);
        }
        return dataError(
            orlo::err::kProviderFailure,
            u"The copy in %1 does not match its source, so it was not kept (%2)."_s.arg(
                pg::redactedUri(to.trimmed()), sides.join(u"; "_s)));
    }
    ORLO_TRY(target->commit());
    return copies;
}

}  // namespace orlo::data
