#pragma once
// The developer's trace of the statements behind provider errors. The error
// log keeps the provider's description only: a statement carries the
// patients' names, diagnoses and notes, and the log is a plain file on a
// workstation. The trace goes to the logging category "orlo.sql", which is
// off unless switched on (QT_LOGGING_RULES="orlo.sql.debug=true"), and even
// then shows every literal of the statement as "?".

#include <QLoggingCategory>
#include <QString>
#include <QStringView>

#include "platform/core/ProviderError.h"

namespace orlo {

Q_DECLARE_LOGGING_CATEGORY(orloSql)

// The statement with every text, date and number literal replaced by "?";
// names (bracketed or not) and keywords stay.
QString elideSqlValues(QStringView sql);

// One debug message "failed statement: ..." per error that names its
// statement, while the category is on.
void traceFailedStatements(const ProviderErrors& errors);

}  // namespace orlo
