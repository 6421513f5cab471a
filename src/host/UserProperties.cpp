#include "host/UserProperties.h"

#include "host/HostErrors.h"
#include "host/Item.h"
#include "host/UserProperty.h"

namespace orlo::host {

UserProperties::UserProperties(std::shared_ptr<::orlo::host::Item> item)
    : m_item(std::move(item)) {}

int UserProperties::Count() const {
    return static_cast<int>(m_item->userPropertyNames().size());
}

std::shared_ptr<UserProperty> UserProperties::Find(const QString& name) const {
    if (!m_item->hasProperty(name)) {
        return nullptr;
    }
    return std::make_shared<UserProperty>(m_item, name);
}

Result<std::shared_ptr<UserProperty>> UserProperties::Item(const QString& name) const {
    if (auto found = Find(name)) {
        return found;
    }
    return err::hostError(err::kPropertyNotFound,
                          QStringLiteral("The item has no property \"%1\".").arg(name));
}

Result<std::shared_ptr<UserProperty>> UserProperties::Add(const QString& name) {
    if (name.trimmed().isEmpty()) {
        return err::hostError(err::kInvalidArgument, QStringLiteral("A property needs a name."));
    }
    ORLO_TRY(m_item->addUserProperty(name));
    return std::make_shared<UserProperty>(m_item, name);
}

}  // namespace orlo::host
