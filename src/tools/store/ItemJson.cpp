#include "tools/store/ItemJson.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "platform/core/VariantJson.h"

namespace orlo::tools {

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
