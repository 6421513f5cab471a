#include "platform/dialect/CanonicalDate.h"

#include <cmath>

#include "platform/core/Clock.h"

namespace orlo::data {

namespace {

constexpr int kSecondsPerDay = 86400;
// Day zero of date serial numbers.
constexpr qint64 kSerialZeroJulianDay = 2415019;  // 1899-12-30

// Reads `count` decimal digits at `pos`; -1 when one is not a digit.
template <typename Char>
int digits(const Char* s, qsizetype pos, int count) {
    int v = 0;
    for (int i = 0; i < count; ++i) {
        const auto c = static_cast<char16_t>(s[pos + i]);
        if (c < u'0' || c > u'9') {
            return -1;
        }
        v = v * 10 + (c - u'0');
    }
    return v;
}

template <typename Char>
std::optional<DateParts> parseParts(const Char* s, qsizetype n) {
    // YYYY-MM-DD
    if (n < 10 || s[4] != '-' || s[7] != '-') {
        return std::nullopt;
    }
    const int y = digits(s, 0, 4);
    const int mo = digits(s, 5, 2);
    const int d = digits(s, 8, 2);
    if (y < 0 || mo < 0 || d < 0) {
        return std::nullopt;
    }
    const QDate date(y, mo, d);
    if (!date.isValid()) {
        return std::nullopt;
    }
    if (n == 10) {
        return DateParts{date, 0};
    }
    // [ T]HH:MM[:SS[.fff]]
    if (n < 16 || (s[10] != ' ' && s[10] != 'T') || s[13] != ':') {
        return std::nullopt;
    }
    const int h = digits(s, 11, 2);
    const int mi = digits(s, 14, 2);
    int sec = 0;
    if (h < 0 || mi < 0 || h > 23 || mi > 59) {
        return std::nullopt;
    }
    qsizetype pos = 16;
    if (n > 16) {
        if (n < 19 || s[16] != ':') {
            return std::nullopt;
        }
        sec = digits(s, 17, 2);
        if (sec < 0 || sec > 59) {
            return std::nullopt;
        }
        pos = 19;
        if (n > 19) {
            if (s[19] != '.') {
                return std::nullopt;
            }
            for (pos = 20; pos < n; ++pos) {
                const auto c = static_cast<char16_t>(s[pos]);
                if (c < u'0' || c > u'9') {
                    return std::nullopt;
                }
            }
        }
    }
    return DateParts{date, h * 3600 + mi * 60 + sec};
}

}  // namespace

QString canonicalDate(const DateParts& parts) {
    const QDate d = parts.date;
    const int s = parts.secondsOfDay;
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", d.year(), d.month(), d.day(),
                             s / 3600, (s / 60) % 60, s % 60);
}

QString canonicalDate(const QDateTime& dt) {
    return canonicalDate(DateParts{dt.date(), dt.time().msecsSinceStartOfDay() / 1000});
}

std::optional<DateParts> parseCanonicalParts(QStringView text) {
    return parseParts(text.utf16(), text.size());
}

std::optional<DateParts> parseCanonicalParts(const char* utf8, qsizetype length) {
    return parseParts(utf8, length);
}

std::optional<QDateTime> parseCanonicalDate(QStringView text) {
    const auto parts = parseCanonicalParts(text);
    if (!parts) {
        return std::nullopt;
    }
    return naiveDateTime(parts->date, QTime::fromMSecsSinceStartOfDay(parts->secondsOfDay * 1000));
}

std::optional<QString> coerceDateText(const QString& text, const Locale& locale) {
    const QString trimmed = text.trimmed();
    if (const auto parts = parseCanonicalParts(trimmed)) {
        return canonicalDate(*parts);
    }
    const auto dt = locale.parseDateTime(trimmed);
    if (!dt) {
        return std::nullopt;
    }
    return canonicalDate(*dt);
}

std::optional<DateParts> partsFromSerial(double serial) {
    if (!std::isfinite(serial) || std::fabs(serial) > 3.0e6) {
        return std::nullopt;
    }
    // Before day zero the whole part still counts days and the fraction is
    // the time of that day: -1.25 is 29 December 1899, 06:00.
    const double wholeDays = std::trunc(serial);
    int seconds = static_cast<int>(std::lround(std::fabs(serial - wholeDays) * kSecondsPerDay));
    qint64 day = static_cast<qint64>(wholeDays);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++day;
    }
    const QDate date = QDate::fromJulianDay(kSerialZeroJulianDay + day);
    if (!date.isValid()) {
        return std::nullopt;
    }
    return DateParts{date, seconds};
}

}  // namespace orlo::data
