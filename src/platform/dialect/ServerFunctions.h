#pragma once
// The dialect's date functions for a PostgreSQL server, created with the
// schema: jet_datediff, jet_year, jet_month, jet_day and jet_dateserial,
// reading and writing dates as the canonical text the date columns hold and
// failing with the same messages as on SQLite (a text that is no date: type
// mismatch; a bad interval or a date out of range: invalid procedure call).
// Now and date texts are turned into literals by the translator instead.

#include <QStringList>

namespace orlo::data {

// CREATE OR REPLACE statements, safe to run again.
QStringList serverFunctionStatements();

}  // namespace orlo::data
