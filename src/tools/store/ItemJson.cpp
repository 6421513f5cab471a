#include "tools/store/ItemJson.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace orlo::tools {

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

QString itemJsonLine(const host::ItemRecord& item) {
    QJsonObject properties;
    for (const auto& [name, value] : item.properties) {
        properties.insert(name, variantToJson(value));
    }
    const QJsonObject object{{QStringLiteral("id"), static_cast<qint64>(item.id)},
                             {QStringLiteral("messageClass"), item.messageClass},
                             {QStringLiteral("properties"), properties}};
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

}  // namespace orlo::tools
