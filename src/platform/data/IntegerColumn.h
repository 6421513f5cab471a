#pragma once
// Reads a query's first column as whole numbers straight from the engine,
// forward and read-only: no recordset, no variant per cell. For key lists
// of hundreds of thousands of rows (the resync's database and scratch keys).
//
//   ORLO_TRY_ASSIGN(std::optional<std::vector<qint64>> keys,
//                   data::readIntegerColumn(conn, u"SELECT PT_ID FROM PATIENTS"_s));
//   if (!keys) { ... read them through a Recordset ... }
//
// Nothing (std::nullopt) when the connection is a server or a value is not
// stored as an integer (a Null, a text, a fraction): the caller then reads
// the rows through a Recordset, whose conversions decide what such values
// mean. Failures fill the connection's errors collection as a Recordset's
// open does. A read sees everything executed before it: a scratch
// connection's batch of writes is committed first.

#include <QString>
#include <optional>
#include <vector>

#include "platform/core/Result.h"

namespace orlo::data {

class Connection;

Result<std::optional<std::vector<qint64>>> readIntegerColumn(Connection& connection,
                                                             const QString& sql);

}  // namespace orlo::data
