#pragma once
// Variant: the value of a user property, a recordset field or a registry
// value: Empty, Null, text, integer, double, date or Boolean, with the
// conversions the system relies on (text of any value, 16- and 32-bit
// integers, dates from text). Conversions that fail return the error the
// system's routines trap: type mismatch (13), overflow (6) or invalid use of
// Null (94).

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <variant>

#include "platform/core/Result.h"

namespace orlo {

class Locale;

class Variant {
public:
    enum class Type { Empty, Null, Text, Integer, Double, Date, Boolean };

    Variant() = default;                                 // Empty
    Variant(QString text) : m_value(std::move(text)) {}  // NOLINT: implicit by design
    Variant(const char16_t* text) : m_value(QString::fromUtf16(text)) {}  // NOLINT
    Variant(qint64 n) : m_value(n) {}                                     // NOLINT
    Variant(int n) : m_value(static_cast<qint64>(n)) {}                   // NOLINT
    Variant(double d) : m_value(d) {}                                     // NOLINT
    Variant(QDateTime dt) : m_value(Date{std::move(dt)}) {}               // NOLINT
    Variant(bool b) : m_value(b) {}                                       // NOLINT

    static Variant null() { return Variant(NullTag{}); }
    static Variant fromLatin1(const char* text) { return Variant(QString::fromLatin1(text)); }

    Type type() const { return static_cast<Type>(m_value.index()); }
    bool isEmpty() const { return type() == Type::Empty; }
    bool isNull() const { return type() == Type::Null; }
    // Empty, or text of no characters: what "reads as empty" means.
    bool isBlank() const;

    // CStr: text of any value but Null (error 94). Empty gives "", a Boolean
    // "True"/"False", a date its general date text in the locale.
    Result<QString> toText(const Locale& locale) const;
    // Text of any value, Null and Empty giving "" (the common "& """ idiom).
    QString text(const Locale& locale) const;
    // CInt and CLng: numbers rounded half to even, numeric text read in the
    // locale, Empty as 0; overflow, type mismatch or Null are errors.
    Result<std::int16_t> toInt16(const Locale& locale) const;
    Result<std::int32_t> toInt32(const Locale& locale) const;
    Result<double> toDouble(const Locale& locale) const;
    // CDate: a date value as is, text read in the locale's forms or ISO 8601,
    // a number as days since 30 December 1899 (the fraction is the time of
    // day), Empty as that zero date.
    Result<QDateTime> toDate(const Locale& locale) const;
    Result<bool> toBool(const Locale& locale) const;

    // Raw access for code that already knows the type.
    const QString* asText() const { return std::get_if<QString>(&m_value); }
    const qint64* asInteger() const { return std::get_if<qint64>(&m_value); }
    const double* asDouble() const { return std::get_if<double>(&m_value); }
    const QDateTime* asDate() const;
    const bool* asBool() const { return std::get_if<bool>(&m_value); }

    bool operator==(const Variant& other) const = default;

private:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    struct Date {
        QDateTime value;
        bool operator==(const Date&) const = default;
    };
    explicit Variant(NullTag tag) : m_value(tag) {}

    // Order matches Type.
    std::variant<std::monostate, NullTag, QString, qint64, double, Date, bool> m_value;
};

}  // namespace orlo
