#pragma once
// The date arithmetic of the dialect's DATEDIFF and DateSerial, on naive
// dates: counts of calendar boundaries between two dates, and dates built
// from a year, month and day that may each run over.

#include <QString>
#include <optional>

#include "platform/dialect/CanonicalDate.h"

namespace orlo::data {

// DATEDIFF(interval, a, b): the number of interval boundaries crossed from a
// to b; negative when b lies before a. Intervals (any letter case): "yyyy"
// years, "q" quarters, "m" months, "y"/"d" days, "w" whole weeks, "ww"
// calendar weeks (starting Sunday), "h" hours, "n" minutes, "s" seconds.
// Days, weeks and longer look at the date parts only. Nothing for an
// unknown interval.
std::optional<qint64> dateDiff(QStringView interval, const DateParts& a, const DateParts& b);

// DateSerial(year, month, day): month and day run over in both directions
// (month 13 is January of the next year, day 0 the last day of the month
// before). Years 0..29 mean 2000..2029, 30..99 mean 1930..1999. Nothing when
// the result falls outside the years 100..9999.
std::optional<QDate> dateSerial(qint64 year, qint64 month, qint64 day);

}  // namespace orlo::data
