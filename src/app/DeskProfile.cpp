#include "app/DeskProfile.h"

#include "platform/registry/RegistryStore.h"

namespace orlo::desk {

DeskProfile::DeskProfile(RegistryStore& settings, QString name)
    : m_settings(settings), m_name(std::move(name)) {}

QString DeskProfile::keyPath() const {
    return QString::fromUtf16(kProfilesKey) + m_name;
}

std::optional<QStringList> DeskProfile::stores() const {
    const Result<RegistryKey> key = m_settings.openKey(RegistryRoot::CurrentUser, keyPath());
    if (!key) {
        return std::nullopt;
    }
    const Result<std::optional<RegistryValue>> value =
        m_settings.queryValue(*key, QString::fromUtf16(kStoresValue));
    if (!value || !value->has_value() || (*value)->type != kRegSz) {
        return std::nullopt;
    }
    QString text = QString::fromUtf8((*value)->data);
    if (text.endsWith(QChar(0))) {
        text.chop(1);  // as another tool may have written it
    }
    return text.split(u'\n', Qt::SkipEmptyParts);
}

Status DeskProfile::save(const QStringList& stores) {
    const Result<RegistryKey> key = m_settings.createKey(RegistryRoot::CurrentUser, keyPath());
    if (!key) {
        return key.error();
    }
    return m_settings.setValue(*key, QString::fromUtf16(kStoresValue),
                               RegistryValue{kRegSz, stores.join(u'\n').toUtf8()});
}

}  // namespace orlo::desk
