#include "platform/core/Variant.h"

#include <cmath>
#include <limits>

#include "platform/core/Clock.h"
#include "platform/core/Locale.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo {

namespace {

Error typeMismatch() {
    return makeError(err::kTypeMismatch, u"Type mismatch"_s);
}
Error overflow() {
    return makeError(err::kOverflow, u"Overflow"_s);
}
Error invalidNull() {
    return makeError(err::kInvalidUseOfNull, u"Invalid use of Null"_s);
}

template <typename Int>
Result<Int> toInteger(const Variant& v, const Locale& locale) {
    ORLO_TRY_ASSIGN(const double d, v.toDouble(locale));
    // Banker's rounding, as the conversion functions of the original round.
    const double rounded = std::nearbyint(d);
    if (!std::isfinite(rounded) || rounded < double(std::numeric_limits<Int>::min()) ||
        rounded > double(std::numeric_limits<Int>::max())) {
        return overflow();
    }
    return static_cast<Int>(rounded);
}

const QDate kZeroDate(1899, 12, 30);
constexpr double kMsecsPerDay = 86400000.0;

// A date value counts days since the zero date; the fraction is the time of
// day, and it adds to the day's distance from the zero date, also before it:
// -1.25 is 29 December 1899, 06:00.
double dateToDays(const QDateTime& dt) {
    const double days = static_cast<double>(kZeroDate.daysTo(dt.date()));
    const double fraction = dt.time().msecsSinceStartOfDay() / kMsecsPerDay;
    return days < 0 ? days - fraction : days + fraction;
}

Result<QDateTime> daysToDate(double value) {
    // The dates a date value can hold: years 100 to 9999.
    if (!std::isfinite(value) || value < -657434.0 || value >= 2958466.0) {
        return overflow();
    }
    const double days = std::trunc(value);
    const auto msecs = static_cast<int>(std::llround(std::fabs(value - days) * kMsecsPerDay));
    const QDate date = kZeroDate.addDays(static_cast<qint64>(days));
    // Rounding to the millisecond may reach the end of the day.
    if (msecs >= 86400000) {
        return naiveDateTime(date.addDays(days < 0 ? -1 : 1));
    }
    return naiveDateTime(date, QTime::fromMSecsSinceStartOfDay(msecs));
}

}  // namespace

bool Variant::isBlank() const {
    if (isEmpty()) {
        return true;
    }
    const QString* t = asText();
    return t != nullptr && t->isEmpty();
}

const QDateTime* Variant::asDate() const {
    const Date* d = std::get_if<Date>(&m_value);
    return d ? &d->value : nullptr;
}

Result<QString> Variant::toText(const Locale& locale) const {
    switch (type()) {
        case Type::Empty:
            return QString();
        case Type::Null:
            return invalidNull();
        case Type::Text:
            return *asText();
        case Type::Integer:
            return QString::number(*asInteger());
        case Type::Double:
            return locale.number(*asDouble());
        case Type::Date:
            return locale.generalDate(*asDate());
        case Type::Boolean:
            return *asBool() ? u"True"_s : u"False"_s;
    }
    return typeMismatch();
}

QString Variant::text(const Locale& locale) const {
    return isNull() ? QString() : toText(locale).valueOr(QString());
}

Result<double> Variant::toDouble(const Locale& locale) const {
    switch (type()) {
        case Type::Empty:
            return 0.0;
        case Type::Null:
            return invalidNull();
        case Type::Text: {
            const std::optional<double> d = locale.parseNumber(*asText());
            if (!d) {
                return typeMismatch();
            }
            return *d;
        }
        case Type::Integer:
            return static_cast<double>(*asInteger());
        case Type::Double:
            return *asDouble();
        case Type::Date:
            return dateToDays(*asDate());
        case Type::Boolean:
            return *asBool() ? -1.0 : 0.0;
    }
    return typeMismatch();
}

Result<std::int16_t> Variant::toInt16(const Locale& locale) const {
    return toInteger<std::int16_t>(*this, locale);
}

Result<std::int32_t> Variant::toInt32(const Locale& locale) const {
    return toInteger<std::int32_t>(*this, locale);
}

Result<QDateTime> Variant::toDate(const Locale& locale) const {
    switch (type()) {
        case Type::Date:
            return *asDate();
        case Type::Null:
            return invalidNull();
        case Type::Text: {
            const std::optional<QDateTime> dt = locale.parseDateTime(*asText());
            if (!dt) {
                return typeMismatch();
            }
            return *dt;
        }
        case Type::Empty:
            return naiveDateTime(kZeroDate);
        case Type::Integer:
            return daysToDate(static_cast<double>(*asInteger()));
        case Type::Double:
            return daysToDate(*asDouble());
        case Type::Boolean:
            break;
    }
    return typeMismatch();
}

Result<bool> Variant::toBool(const Locale& locale) const {
    switch (type()) {
        case Type::Boolean:
            return *asBool();
        case Type::Null:
            return invalidNull();
        case Type::Text: {
            const QString t = asText()->trimmed();
            if (t.compare(u"True"_s, Qt::CaseInsensitive) == 0) {
                return true;
            }
            if (t.compare(u"False"_s, Qt::CaseInsensitive) == 0) {
                return false;
            }
            break;
        }
        default:
            break;
    }
    ORLO_TRY_ASSIGN(const double d, toDouble(locale));
    return d != 0.0;
}

}  // namespace orlo
