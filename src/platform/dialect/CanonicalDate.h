#pragma once
// The one form in which the shared database stores a date: the text
// "YYYY-MM-DD HH:MM:SS". It sorts and compares as text, so comparisons such
// as START_TIME < Now() work on plain text columns. Texts written into date
// columns are coerced into this form; the dialect's functions read it back.

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <optional>

#include "platform/core/Locale.h"

namespace orlo::data {

// A naive date and time split into the parts the date functions work on.
struct DateParts {
    QDate date;
    int secondsOfDay = 0;  // 0..86399
};

// The canonical text of a date value (its time zone is ignored: dates are
// naive wall-clock times).
QString canonicalDate(const QDateTime& dt);
QString canonicalDate(const DateParts& parts);

// Reads "YYYY-MM-DD", "YYYY-MM-DD HH:MM", "YYYY-MM-DD HH:MM:SS" (a 'T' may
// stand for the blank, a fraction of a second is dropped). Nothing for any
// other text or an impossible date such as 2026-02-30.
std::optional<DateParts> parseCanonicalParts(QStringView text);
std::optional<DateParts> parseCanonicalParts(const char* utf8, qsizetype length);
std::optional<QDateTime> parseCanonicalDate(QStringView text);

// A text written into a date column: the canonical form, ISO 8601 or one of
// the locale's short, general or long date forms. Returns the canonical text,
// or nothing when the text is no date (an empty text is no date either).
std::optional<QString> coerceDateText(const QString& text, const Locale& locale);

// A date serial number (days since 30 December 1899, the fraction being the
// time of day), as numbers stand for dates in the dialect.
std::optional<DateParts> partsFromSerial(double serial);

}  // namespace orlo::data
