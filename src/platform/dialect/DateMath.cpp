#include "platform/dialect/DateMath.h"

namespace orlo::data {

namespace {

constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kFirstYear = 100;
constexpr qint64 kLastYear = 9999;

qint64 monthIndex(const QDate& d) {
    return qint64{d.year()} * 12 + (d.month() - 1);
}

// The Julian day of the Sunday on or before d.
qint64 weekStart(const QDate& d) {
    return d.toJulianDay() - (d.dayOfWeek() % 7);
}

qint64 secondsOf(const DateParts& p) {
    return p.date.toJulianDay() * kSecondsPerDay + p.secondsOfDay;
}

// Integer division rounding towards minus infinity, so that boundaries are
// counted the same way before and after the epoch.
qint64 floorDiv(qint64 a, qint64 b) {
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

std::optional<DateInterval> parseDateInterval(QByteArrayView utf8) {
    const QByteArray iv = utf8.trimmed().toByteArray().toLower();
    if (iv == "d" || iv == "y") {
        return DateInterval::Day;
    }
    if (iv == "m") {
        return DateInterval::Month;
    }
    if (iv == "yyyy") {
        return DateInterval::Year;
    }
    if (iv == "q") {
        return DateInterval::Quarter;
    }
    if (iv == "w") {
        return DateInterval::Week;
    }
    if (iv == "ww") {
        return DateInterval::CalendarWeek;
    }
    if (iv == "h") {
        return DateInterval::Hour;
    }
    if (iv == "n") {
        return DateInterval::Minute;
    }
    if (iv == "s") {
        return DateInterval::Second;
    }
    return std::nullopt;
}

qint64 dateDiff(DateInterval interval, const DateParts& a, const DateParts& b) {
    switch (interval) {
        case DateInterval::Day:
            return a.date.daysTo(b.date);
        case DateInterval::Month:
            return monthIndex(b.date) - monthIndex(a.date);
        case DateInterval::Year:
            return qint64{b.date.year()} - a.date.year();
        case DateInterval::Quarter:
            return floorDiv(monthIndex(b.date), 3) - floorDiv(monthIndex(a.date), 3);
        case DateInterval::Week:
            return a.date.daysTo(b.date) / 7;
        case DateInterval::CalendarWeek:
            return (weekStart(b.date) - weekStart(a.date)) / 7;
        case DateInterval::Hour:
            return floorDiv(secondsOf(b), 3600) - floorDiv(secondsOf(a), 3600);
        case DateInterval::Minute:
            return floorDiv(secondsOf(b), 60) - floorDiv(secondsOf(a), 60);
        case DateInterval::Second:
            return secondsOf(b) - secondsOf(a);
    }
    return 0;
}

std::optional<QDate> dateSerial(qint64 year, qint64 month, qint64 day) {
    if (year >= 0 && year <= 29) {
        year += 2000;
    } else if (year >= 30 && year <= 99) {
        year += 1900;
    }
    // Keep the arithmetic far from overflow before handing it to QDate.
    if (year < kFirstYear - 1000 || year > kLastYear + 1000 || month < -120000 || month > 120000 ||
        day < -4000000 || day > 4000000) {
        return std::nullopt;
    }
    const qint64 months = year * 12 + (month - 1);
    const qint64 y = floorDiv(months, 12);
    const int m = static_cast<int>(months - y * 12) + 1;
    if (y < kFirstYear - 1 || y > kLastYear + 1) {
        return std::nullopt;
    }
    const QDate first(static_cast<int>(y), m, 1);
    const QDate result = QDate::fromJulianDay(first.toJulianDay() + day - 1);
    if (!result.isValid() || result.year() < kFirstYear || result.year() > kLastYear) {
        return std::nullopt;
    }
    return result;
}

}  // namespace orlo::data
