#pragma once
// The two ends a database copy reads from and writes to: a file or a
// server. Internal to the data layer (DatabaseCopy.cpp).

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/data/DatabaseCopy.h"

namespace orlo::data::detail {

// One row's values in the plan's column order, as text (nullopt: NULL).
using CopyRow = std::vector<std::optional<QString>>;

// A table or column name in double quotes, as both engines take it.
QString quotedName(const QString& name);
// The table's columns in the plan's order, each quoted, joined by commas:
// the column list of the SELECT that reads a table and the INSERT that
// writes it, on either end.
QString quotedColumnList(const CopyTable& table);

class CopyEnd {
public:
    virtual ~CopyEnd() = default;
    // As a source: one consistent read of every table begins.
    virtual Status beginRead() = 0;
    // As a target: refuses a database that holds the tables, else makes
    // them in a transaction that stays open until commit().
    virtual Status beginWrite(const CopyPlan& plan) = 0;
    virtual Status read(const CopyTable& table,
                        const std::function<Status(const CopyRow&)>& onRow) = 0;
    virtual Status write(const CopyTable& table, const std::vector<CopyRow>& rows) = 0;
    // The highest key the table's counter has handed out (0: none); it may
    // be above every key left in the table after deletes.
    virtual Result<qint64> counter(const CopyTable& table) = 0;
    // The next key handed out is above `highest`.
    virtual Status setCounter(const CopyTable& table, qint64 highest) = 0;
    virtual Status commit() = 0;
};

std::unique_ptr<CopyEnd> fileCopyEnd(const QString& path);
std::unique_ptr<CopyEnd> serverCopyEnd(const QString& uri);

}  // namespace orlo::data::detail
