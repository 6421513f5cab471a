#include "platform/core/VariantJson.h"

#include <QJsonObject>
#include <cmath>
#include <limits>

namespace orlo {

namespace {

Error badValue(const QString& why) {
    return makeError(err::kTypeMismatch, why, QStringLiteral("VariantJson"));
}

}  // namespace

QJsonValue variantToJson(const Variant& value) {
    switch (value.type()) {
        case Variant::Type::Empty:
            return QJsonObject{{QStringLiteral("empty"), true}};
        case Variant::Type::Null:
            return QJsonValue::Null;
        case Variant::Type::Text:
            return *value.asText();
        case Variant::Type::Integer:
            return *value.asInteger();
        case Variant::Type::Double: {
            const double d = *value.asDouble();
            if (std::isfinite(d)) {
                return d;
            }
            return QJsonObject{{QStringLiteral("double"), std::isnan(d) ? QStringLiteral("nan")
                                                          : d > 0       ? QStringLiteral("inf")
                                                                        : QStringLiteral("-inf")}};
        }
        case Variant::Type::Date:
            return QJsonObject{
                {QStringLiteral("date"), value.asDate()->toString(Qt::ISODateWithMs)}};
        case Variant::Type::Boolean:
            return *value.asBool();
    }
    return QJsonValue::Null;
}

Result<Variant> jsonToVariant(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Null:
            return Variant::null();
        case QJsonValue::Bool:
            return Variant(value.toBool());
        case QJsonValue::String:
            return Variant(value.toString());
        case QJsonValue::Double: {
            const double d = value.toDouble();
            if (std::trunc(d) == d && std::abs(d) < 9.0e15) {
                return Variant(static_cast<qint64>(d));
            }
            return Variant(d);
        }
        case QJsonValue::Object: {
            const QJsonObject o = value.toObject();
            if (o.contains(QStringLiteral("date"))) {
                QDateTime at = QDateTime::fromString(o.value(QStringLiteral("date")).toString(),
                                                     Qt::ISODateWithMs);
                if (!at.isValid()) {
                    return badValue(QStringLiteral("\"date\" needs an ISO 8601 date and time."));
                }
                at.setTimeSpec(Qt::UTC);  // dates are naive wall-clock times
                return Variant(at);
            }
            if (o.value(QStringLiteral("empty")).toBool()) {
                return Variant();
            }
            const QString special = o.value(QStringLiteral("double")).toString();
            if (special == u"nan") {
                return Variant(std::numeric_limits<double>::quiet_NaN());
            }
            if (special == u"inf" || special == u"-inf") {
                const double inf = std::numeric_limits<double>::infinity();
                return Variant(special == u"inf" ? inf : -inf);
            }
            break;
        }
        default:
            break;
    }
    return badValue(
        QStringLiteral("A value is a text, number, Boolean, null, {\"date\":...}, {\"empty\":true} "
                       "or {\"double\":...}."));
}

}  // namespace orlo
