#pragma once
// Copying the shared database between a file and a PostgreSQL server, in
// either direction (or file to file): every row of every table, keys kept,
// written in one transaction on a target that does not hold the tables yet.
// Each table's rows are counted and summed into a checksum on both sides
// (the target read back before its commit); any difference, or any failure,
// leaves the target without the tables.

#include <QString>
#include <QStringList>
#include <vector>

#include "platform/core/Result.h"

namespace orlo::data {

struct CopyTable {
    QString name;
    QStringList columns;
    QString keyColumn;  // the counter key, or empty
};

struct CopyPlan {
    std::vector<CopyTable> tables;  // referenced tables before those that refer to them
    QStringList fileStatements;     // the schema of a new file
    QStringList serverStatements;   // the schema on an empty server database
};

// One table's rows and checksum (16 hex digits) on each side.
struct TableCopy {
    QString table;
    qint64 sourceRows = 0;
    QString sourceChecksum;
    qint64 targetRows = 0;
    QString targetChecksum;
};

// Fails (kProviderFailure) when a side cannot be opened or read, the target
// holds the tables (a file target: exists at all), a row is refused, or the
// sides differ; the target is then left as it was. Messages never carry a
// password.
Result<std::vector<TableCopy>> copyDatabase(const QString& from, const QString& to,
                                            const CopyPlan& plan);

}  // namespace orlo::data
