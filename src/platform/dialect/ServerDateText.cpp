#include "platform/dialect/ServerDateText.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

namespace {

// "YYYY-MM-DD HH:MM:SS": the positions of its parts (1-based, as substr).
constexpr int kYear = 1;
constexpr int kMonth = 6;
constexpr int kDay = 9;
constexpr int kHour = 12;
constexpr int kMinute = 15;
constexpr int kSecond = 18;

QString sqlText(const QString& text) {
    return u"'"_s + QString(text).replace(u"'"_s, u"''"_s) + u"'"_s;
}

QString part(const QString& x, int from, int length) {
    return u"substr(%1, %2, %3)"_s.arg(x).arg(from).arg(length);
}

// Two digits, or the number without its leading zero.
QString digits(const QString& x, int from, bool padded) {
    return padded ? part(x, from, 2) : u"(%1::int)::text"_s.arg(part(x, from, 2));
}

// A name by the number at `from` (1-based month, or ISO weekday).
QString named(const QString& number, const QStringList& names) {
    QString sql = u"(CASE "_s + number;
    for (int i = 0; i < names.size(); ++i) {
        sql += u" WHEN %1 THEN %2"_s.arg(i + 1).arg(sqlText(names[i]));
    }
    return sql + u" END)"_s;
}

// One Qt date or time format as a concatenation of SQL parts of `x`.
QString formatted(const QString& x, const QString& format, const QLocale& ql) {
    const bool twelveHour = format.contains(u"AP"_s, Qt::CaseInsensitive) ||
                            format.contains(u'a') || format.contains(u'A');
    const QString hour = part(x, kHour, 2) + u"::int"_s;
    QStringList parts;
    QString literal;
    auto flush = [&] {
        if (!literal.isEmpty()) {
            parts << sqlText(literal);
            literal.clear();
        }
    };
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run) == c) {
            ++run;
        }
        if (c == u'\'') {
            const qsizetype close = format.indexOf(u'\'', i + 1);
            const qsizetype end = close < 0 ? format.size() : close;
            literal += end == i + 1 ? u"'"_s : format.mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        QString sql;
        if (c == u'y') {
            sql = run >= 4 ? part(x, kYear, 4) : part(x, kYear + 2, 2);
            run = run >= 4 ? 4 : 2;
        } else if (c == u'M') {
            QStringList months;
            for (int m = 1; m <= 12; ++m) {
                months << ql.monthName(m, run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            }
            sql = run <= 2 ? digits(x, kMonth, run == 2)
                           : named(part(x, kMonth, 2) + u"::int"_s, months);
            run = std::min<qsizetype>(run, 4);
        } else if (c == u'd') {
            QStringList days;
            for (int d = 1; d <= 7; ++d) {
                days << ql.dayName(d, run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            }
            sql = run <= 2
                      ? digits(x, kDay, run == 2)
                      : named(u"extract(isodow FROM %1::date)::int"_s.arg(part(x, 1, 10)), days);
            run = std::min<qsizetype>(run, 4);
        } else if (c == u'H' || (c == u'h' && !twelveHour)) {
            sql = digits(x, kHour, run >= 2);
            run = std::min<qsizetype>(run, 2);
        } else if (c == u'h') {
            const QString h12 = u"(("_s + hour + u" + 11) % 12 + 1)"_s;
            sql = run >= 2 ? u"lpad(%1::text, 2, '0')"_s.arg(h12) : h12 + u"::text"_s;
            run = std::min<qsizetype>(run, 2);
        } else if (c == u'm') {
            sql = digits(x, kMinute, run >= 2);
            run = std::min<qsizetype>(run, 2);
        } else if (c == u's') {
            sql = digits(x, kSecond, run >= 2);
            run = std::min<qsizetype>(run, 2);
        } else if (c == u'A' || c == u'a') {
            QString am = ql.amText();
            QString pm = ql.pmText();
            const bool upper = c == u'A';
            am = upper ? am.toUpper() : am.toLower();
            pm = upper ? pm.toUpper() : pm.toLower();
            sql = u"(CASE WHEN %1 < 12 THEN %2 ELSE %3 END)"_s.arg(hour, sqlText(am), sqlText(pm));
            // "AP" and "ap" are one marker, as is "A" alone.
            run = i + 1 < format.size() && format.at(i + 1).toLower() == u'p' ? 2 : 1;
        } else if (c == u'z') {
            sql = run >= 3 ? u"'000'"_s : u"'0'"_s;  // stored dates hold whole seconds
            run = run >= 3 ? 3 : 1;
        } else {
            literal += format.mid(i, run);
            i += run;
            continue;
        }
        flush();
        parts << sql;
        i += run;
    }
    flush();
    return parts.isEmpty() ? u"''"_s : parts.join(u" || "_s);
}

}  // namespace

QString serverGeneralDateSql(const QString& column, const Locale& locale) {
    const QString x = u"(%1)::text"_s.arg(column);
    const QLocale& ql = locale.qlocale();
    const QString date = formatted(x, locale.shortDateFormat(), ql);
    const QString time = formatted(x, locale.longTimeFormat(), ql);
    return u"(CASE WHEN %1 !~ '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$' THEN %1 "
           "WHEN %2 = '1899-12-30' THEN %3 WHEN %4 = '00:00:00' THEN %5 ELSE %5 || ' ' || %3 "
           "END)"_s.arg(x, part(x, 1, 10), time, part(x, kHour, 8), date);
}

}  // namespace orlo::data
