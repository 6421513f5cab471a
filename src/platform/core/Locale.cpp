#include "platform/core/Locale.h"

#include <QStringList>

#include "platform/core/Clock.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo {

namespace {

// The day the date of a time-only value stands on.
const QDate kZeroDate(1899, 12, 30);

// Turns "dd/MM/yyyy HH:mm:ss" into "d/M/yyyy H:m:s", so that parsing accepts
// a number with or without its leading zero: a run of exactly two of d, M,
// H, h, m or s becomes one; longer runs ("MMM", "dddd") stay. A plain scan:
// this runs on every date a text is read as, thousands of times a second.
QString lenient(const QString& format) {
    const auto shortens = [](QChar c) {
        return c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('H') ||
               c == QLatin1Char('h') || c == QLatin1Char('m') || c == QLatin1Char('s');
    };
    QString out;
    out.reserve(format.size());
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c) {
            ++run;
        }
        out.append(QString(run == 2 && shortens(c) ? 1 : run, c));
        i += run;
    }
    return out;
}

// Windows short dates carry four-digit years; Qt's often carry two.
QString fourDigitYear(QString format) {
    if (!format.contains(u"yyyy"_s)) {
        format.replace(u"yy"_s, u"yyyy"_s);
    }
    return format;
}

// The same short date with a two-digit year ("5/3/26").
QString twoDigitYear(QString format) {
    return format.replace(u"yyyy"_s, u"yy"_s);
}

// Two-digit years read as 1930..2029, the workstation's default window; the
// parser itself puts them in 1900..1999.
QDate windowed(QDate d) {
    return d.year() < 1930 ? d.addYears(100) : d;
}

// Reads `text` by a format made only of numeric fields (d, M, H, m, s with
// one or two letters, yyyy) and literal characters, as the parser would read
// it; nothing when the format has anything else, or the text does not fit it
// whole, or the values are no date or time. Then the parser decides: this is
// the quick road for the texts dates turn into, which the resync reads by
// the hundred thousand, and QLocale's parser costs tens of microseconds each.
std::optional<QDateTime> scanNumeric(QStringView text, QStringView format) {
    int value[128] = {};  // by field letter
    bool hasTime = false;
    qsizetype at = 0;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c) {
            ++run;
        }
        i += run;
        const char16_t letter = c.unicode();
        if ((letter >= u'a' && letter <= u'z') || (letter >= u'A' && letter <= u'Z')) {
            const bool field = letter == u'd' || letter == u'M' || letter == u'H' ||
                               letter == u'm' || letter == u's';
            if (letter == u'y' ? run != 4 : !field || run > 2) {
                return std::nullopt;
            }
            const qsizetype least = letter == u'y' ? 4 : run;
            const qsizetype most = letter == u'y' ? 4 : 2;
            qsizetype digits = 0;
            int n = 0;
            while (at < text.size() && digits < most && text[at].unicode() >= u'0' &&
                   text[at].unicode() <= u'9') {
                n = n * 10 + (text[at].unicode() - u'0');
                ++at;
                ++digits;
            }
            if (digits < least) {
                return std::nullopt;
            }
            value[letter] = n;
            hasTime = hasTime || letter == u'H' || letter == u'm' || letter == u's';
            continue;
        }
        for (qsizetype k = 0; k < run; ++k) {
            if (at >= text.size() || text[at] != c) {
                return std::nullopt;
            }
            ++at;
        }
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    const QDate date(value[u'y'], value[u'M'], value[u'd']);
    const QTime time(value[u'H'], value[u'm'], value[u's']);
    if (!date.isValid() || !time.isValid()) {
        return std::nullopt;
    }
    return hasTime ? naiveDateTime(date, time) : naiveDateTime(date);
}

}  // namespace

Locale::Locale(QLocale qlocale, QString shortDate, QString longDate, QString longTime)
    : m_qlocale(std::move(qlocale)),
      m_shortDate(std::move(shortDate)),
      m_longDate(std::move(longDate)),
      m_longTime(std::move(longTime)) {}

Locale Locale::system() {
    const QLocale q = QLocale::system();
    return Locale(q, fourDigitYear(q.dateFormat(QLocale::ShortFormat)),
                  q.dateFormat(QLocale::LongFormat),
                  q.timeFormat(QLocale::LongFormat).remove(u" t"_s).trimmed());
}

Locale Locale::unitedKingdom() {
    return Locale(QLocale(QLocale::English, QLocale::UnitedKingdom), u"dd/MM/yyyy"_s,
                  u"dd MMMM yyyy"_s, u"HH:mm:ss"_s);
}

Locale Locale::unitedStates() {
    return Locale(QLocale(QLocale::English, QLocale::UnitedStates), u"M/d/yyyy"_s,
                  u"dddd, MMMM d, yyyy"_s, u"h:mm:ss AP"_s);
}

QString Locale::shortDate(QDate d) const {
    return m_qlocale.toString(d, m_shortDate);
}

QString Locale::longDate(QDate d) const {
    return m_qlocale.toString(d, m_longDate);
}

QString Locale::longTime(QTime t) const {
    return m_qlocale.toString(t, m_longTime);
}

QString Locale::generalDate(const QDateTime& dt) const {
    const QTime t = dt.time();
    // A value on the zero date is a time of day alone, midnight included.
    if (dt.date() == kZeroDate) {
        return longTime(t);
    }
    if (t == QTime(0, 0)) {
        return shortDate(dt.date());
    }
    return shortDate(dt.date()) + QLatin1Char(' ') + longTime(t);
}

std::optional<QDateTime> Locale::parseDateTime(const QString& text) const {
    const QString s = text.simplified();
    if (s.isEmpty()) {
        return std::nullopt;
    }
    const QString sd = lenient(m_shortDate);
    // The general date form first, by hand: with a time it is the first
    // form tried below, and without one (no colon) no form with a time can
    // read it, so the short date alone is the first that could.
    const QString first =
        s.contains(QLatin1Char(':')) ? sd + QLatin1Char(' ') + lenient(m_longTime) : sd;
    if (std::optional<QDateTime> quick = scanNumeric(s, first)) {
        return quick;
    }
    const QString sd2 = twoDigitYear(sd);
    const QStringList times = {lenient(m_longTime), u"H:m:s"_s, u"H:m"_s, u"h:m:s AP"_s,
                               u"h:m AP"_s};
    QStringList dateTimeFormats;
    for (const QString& t : times) {
        dateTimeFormats << sd + QLatin1Char(' ') + t;
    }
    dateTimeFormats << u"yyyy-MM-dd HH:mm:ss"_s << u"yyyy-MM-ddTHH:mm:ss"_s << u"yyyy-MM-dd HH:mm"_s
                    << u"yyyy-MM-ddTHH:mm"_s;
    for (const QString& f : dateTimeFormats) {
        const QDateTime dt = m_qlocale.toDateTime(s, f);
        if (dt.isValid()) {
            return naiveDateTime(dt.date(), dt.time());
        }
    }
    const QStringList dateFormats = {sd, u"yyyy-MM-dd"_s, lenient(m_longDate)};
    for (const QString& f : dateFormats) {
        const QDate d = m_qlocale.toDate(s, f);
        if (d.isValid()) {
            return naiveDateTime(d);
        }
    }
    if (sd2 != sd) {
        for (const QString& t : times) {
            const QDateTime dt = m_qlocale.toDateTime(s, sd2 + QLatin1Char(' ') + t);
            if (dt.isValid()) {
                return naiveDateTime(windowed(dt.date()), dt.time());
            }
        }
        const QDate d = m_qlocale.toDate(s, sd2);
        if (d.isValid()) {
            return naiveDateTime(windowed(d));
        }
    }
    for (const QString& t : times) {
        const QTime tm = m_qlocale.toTime(s, t);
        if (tm.isValid()) {
            return naiveDateTime(kZeroDate, tm);
        }
    }
    return std::nullopt;
}

QString Locale::number(double value) const {
    // Exponents as the system writes them: "1E+20", "1E-05".
    QString s = QString::number(value, 'g', 15).toUpper();
    if (m_qlocale.decimalPoint() != u"."_s) {
        s.replace(QLatin1Char('.'), m_qlocale.decimalPoint());
    }
    return s;
}

std::optional<double> Locale::parseNumber(const QString& text) const {
    const QString s = text.trimmed();
    bool ok = false;
    double v = m_qlocale.toDouble(s, &ok);
    if (!ok) {
        v = s.toDouble(&ok);
    }
    if (!ok) {
        return std::nullopt;
    }
    return v;
}

}  // namespace orlo
