#include "tools/Csv.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::tools {

namespace {

// A control character other than tab, CR and LF (an escape sequence could
// drive the terminal the output lands in).
bool isRawControl(QChar c) {
    return c.category() == QChar::Other_Control && c != QLatin1Char('\t') &&
           c != QLatin1Char('\r') && c != QLatin1Char('\n');
}

}  // namespace

QString csvField(const QString& input) {
    QString value;
    value.reserve(input.size());
    for (QChar c : input) {
        if (isRawControl(c)) {
            value += u"\\x%1"_s.arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            value += c;
        }
    }
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
