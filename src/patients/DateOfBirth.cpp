#include "patients/DateOfBirth.h"

#include <QDate>
#include <QRegularExpression>

#include "platform/core/Locale.h"

namespace orlo::patients {

namespace {

// Two-digit years read as 1930..2029, the workstation's window.
constexpr int kCenturyWindowStart = 1930;

// The short date format with every day and month field two digits wide and
// the year four: "d/M/yy" -> "dd/MM/yyyy". Day and month names ("ddd",
// "MMMM") are left alone: such a format has no numeric form to read.
QString canonicalFormat(const QString& shortDate) {
    static const QRegularExpression field(QStringLiteral("d+|M+|y+"));
    QString out;
    qsizetype from = 0;
    for (auto it = field.globalMatch(shortDate); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += shortDate.mid(from, m.capturedStart() - from);
        const QString run = m.captured();
        if (run.startsWith(u'y')) {
            out += QStringLiteral("yyyy");
        } else if (run.size() <= 2) {
            out += QString(2, run.front());
        } else {
            out += run;
        }
        from = m.capturedEnd();
    }
    return out + shortDate.mid(from);
}

}  // namespace

QString canonicalDateOfBirth(const QString& typed, const Locale& locale) {
    const QString text = typed.trimmed();
    const QString canonical = canonicalFormat(locale.shortDateFormat());
    // Qt reads "d" and "M" with or without a leading zero.
    QString lenient = canonical;
    lenient.replace(QStringLiteral("dd"), QStringLiteral("d"));
    lenient.replace(QStringLiteral("MM"), QStringLiteral("M"));
    QDate date = locale.qlocale().toDate(text, lenient);
    if (!date.isValid()) {
        QString twoDigitYear = lenient;
        twoDigitYear.replace(QStringLiteral("yyyy"), QStringLiteral("yy"));
        date = locale.qlocale().toDate(text, twoDigitYear);
        if (date.isValid() && date.year() < kCenturyWindowStart) {
            date = date.addYears(100);
        }
    }
    return date.isValid() ? locale.qlocale().toString(date, canonical) : typed;
}

}  // namespace orlo::patients
