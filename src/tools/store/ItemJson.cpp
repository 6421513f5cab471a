#include "tools/store/ItemJson.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "platform/core/VariantJson.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::tools {

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
