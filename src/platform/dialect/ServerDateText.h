#pragma once
// The text a stored date turns into when a filter matches it with LIKE,
// written as a PostgreSQL expression: what jet_datetext gives on the file
// (the locale's general date: short date, then the long time unless it is
// midnight; the long time alone on the zero date), built from the locale's
// Qt formats so that both engines match the same rows. A value that is not
// a canonical date stays as it is, as on the file.

#include <QString>

#include "platform/core/Locale.h"

namespace orlo::data {

// `column` is an SQL expression of canonical date text.
QString serverGeneralDateSql(const QString& column, const Locale& locale);

}  // namespace orlo::data
