#include "tools/Csv.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::tools {

QString csvField(const QString& value) {
    bool needsQuotes = false;
    for (QChar c : value) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n')) {
            needsQuotes = true;
            break;
        }
    }
    if (!needsQuotes) {
        return value;
    }
    QString escaped = value;
    escaped.replace(QLatin1Char('"'), u"\"\""_s);
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString csvLine(const QStringList& fields) {
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString& f : fields) {
        quoted << csvField(f);
    }
    return quoted.join(QLatin1Char(',')) + QLatin1Char('\n');
}

}  // namespace orlo::tools
