#pragma once
// The date arithmetic of the dialect's DATEDIFF and DateSerial, on naive
// dates: counts of calendar boundaries between two dates, and dates built
// from a year, month and day that may each run over.

#include <QByteArrayView>
#include <QString>
#include <optional>

#include "platform/dialect/CanonicalDate.h"

namespace orlo::data {

enum class DateInterval { Year, Quarter, Month, Day, Week, CalendarWeek, Hour, Minute, Second };

// The interval named by DATEDIFF's first argument, in any letter case:
// "yyyy" years, "q" quarters, "m" months, "y" or "d" days, "w" whole weeks,
// "ww" calendar weeks (starting on Sunday), "h" hours, "n" minutes, "s"
// seconds. Nothing for any other text.
std::optional<DateInterval> parseDateInterval(QByteArrayView utf8);

// DATEDIFF(interval, a, b): the number of interval boundaries crossed from a
// to b; negative when b lies before a. Days, weeks and longer look at the
// date parts only, so 23:59 to 00:00 of the next day is one day.
qint64 dateDiff(DateInterval interval, const DateParts& a, const DateParts& b);

// DateSerial(year, month, day): month and day run over in both directions
// (month 13 is January of the next year, day 0 the last day of the month
// before). Years 0..29 mean 2000..2029, 30..99 mean 1930..1999. Nothing when
// the result falls outside the years 100..9999.
std::optional<QDate> dateSerial(qint64 year, qint64 month, qint64 day);

}  // namespace orlo::data
