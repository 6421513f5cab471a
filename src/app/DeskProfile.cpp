#include "app/DeskProfile.h"

namespace orlo::desk {

DeskProfile::DeskProfile(basRegistry& registry, QString name)
    : m_registry(registry), m_name(std::move(name)) {}

QString DeskProfile::keyPath() const {
    return QString::fromUtf16(kProfilesKey) + m_name;
}

std::optional<QStringList> DeskProfile::stores() const {
    const Variant value =
        m_registry.RegReadValue(HKEY_CURRENT_USER, keyPath(), QString::fromUtf16(kStoresValue));
    const QString* text = value.asText();
    if (text == nullptr) {
        return std::nullopt;
    }
    return text->split(u'\n', Qt::SkipEmptyParts);
}

Status DeskProfile::save(const QStringList& stores) {
    return m_registry.writeKeyValue(HKEY_CURRENT_USER, keyPath(), QString::fromUtf16(kStoresValue),
                                    Variant(stores.join(u'\n')), REG_SZ);
}

}  // namespace orlo::desk
