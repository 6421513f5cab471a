#include "tools/store/ItemJson.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace orlo::tools {

QJsonValue variantToJson(const Variant& value) {
    switch (value.type()) {
        case Variant::Type::Empty:
            return QJsonObject{{u"empty"_s, true}};
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
            return QJsonObject{{u"double"_s, std::isnan(d) ? u"nan"_s
                                             : d > 0       ? u"inf"_s
                                                           : u"-inf"_s}};
        }
        case Variant::Type::Date:
            return QJsonObject{{u"date"_s, value.asDate()->toString(Qt::ISODateWithMs)}};
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
    const QJsonObject object{{u"id"_s, static_cast<qint64>(item.id)},
                             {u"messageClass"_s, item.messageClass},
                             {u"properties"_s, properties}};
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

}  // namespace orlo::tools
