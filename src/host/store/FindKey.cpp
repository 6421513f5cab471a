#include "host/store/FindKey.h"

#include <QLocale>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace orlo::host {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The canonical text of a plain decimal number written as text, or nothing
// when the text is something else. Exact: works on the digits, not a double.
std::optional<QString> canonicalDecimal(QStringView t) {
    t = t.trimmed();
    bool negative = false;
    if (!t.isEmpty() && (t.front() == u'+' || t.front() == u'-')) {
        negative = t.front() == u'-';
        t = t.mid(1);
    }
    const qsizetype dot = t.indexOf(u'.');
    QStringView whole = dot < 0 ? t : t.left(dot);
    QStringView fraction = dot < 0 ? QStringView() : t.mid(dot + 1);
    if (whole.isEmpty() && fraction.isEmpty()) {
        return std::nullopt;
    }
    for (QChar c : whole) {
        if (!isAsciiDigit(c)) {
            return std::nullopt;
        }
    }
    for (QChar c : fraction) {
        if (!isAsciiDigit(c)) {
            return std::nullopt;
        }
    }
    while (whole.size() > 1 && whole.front() == u'0') {
        whole = whole.mid(1);
    }
    while (!fraction.isEmpty() && fraction.back() == u'0') {
        fraction.chop(1);
    }
    QString out = whole.isEmpty() ? u"0"_s : whole.toString();
    if (!fraction.isEmpty()) {
        out += u'.' + fraction.toString();
    }
    if (negative && out != u"0") {
        out.prepend(u'-');
    }
    return out;
}

std::optional<QString> canonicalDouble(double d) {
    if (!std::isfinite(d)) {
        return std::nullopt;
    }
    if (d == 0.0) {
        return u"0"_s;
    }
    // Shortest text that reads back the same, never in exponent form, so
    // that 1e20 and "100000000000000000000" meet.
    return canonicalDecimal(QString::number(d, 'f', QLocale::FloatingPointShortest));
}

}  // namespace

std::optional<QString> FindKey::fullText(const Variant& value) {
    switch (value.type()) {
        case Variant::Type::Empty:
        case Variant::Type::Null:
            return std::nullopt;
        case Variant::Type::Text: {
            const QString& t = *value.asText();
            if (t.trimmed().isEmpty()) {
                return std::nullopt;
            }
            if (auto number = canonicalDecimal(t)) {
                return number;
            }
            return t.toCaseFolded();
        }
        case Variant::Type::Integer:
            return QString::number(*value.asInteger());
        case Variant::Type::Double:
            return canonicalDouble(*value.asDouble());
        case Variant::Type::Date:
            if (!value.asDate()->isValid()) {
                return std::nullopt;
            }
            return value.asDate()->toString(Qt::ISODateWithMs).toCaseFolded();
        case Variant::Type::Boolean:
            return *value.asBool() ? u"true"_s : u"false"_s;
    }
    return std::nullopt;
}

std::optional<FindKey> FindKey::of(const Variant& value) {
    std::optional<QString> full = fullText(value);
    if (!full) {
        return std::nullopt;
    }
    FindKey key;
    if (full->size() > kMaxLength) {
        // One more character than any whole key: a cut key never equals a
        // whole one, only other cut keys, which the caller confirms.
        key.text = full->left(kMaxLength) + QChar(0x2026);
        key.truncated = true;
    } else {
        key.text = std::move(*full);
    }
    return key;
}

}  // namespace orlo::host
