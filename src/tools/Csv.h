#pragma once
// CSV text as spreadsheets read it: fields joined by commas, a field
// holding a comma, a double quote, a CR or an LF wrapped in double quotes
// with its quotes doubled; one line per record ended by "\n".

#include <QString>
#include <QStringList>

namespace orlo::tools {

QString csvField(const QString& value);
QString csvLine(const QStringList& fields);

}  // namespace orlo::tools
