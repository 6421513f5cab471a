#include "host/UserProperty.h"

#include "host/Item.h"

namespace orlo::host {

UserProperty::UserProperty(std::shared_ptr<Item> item, QString name)
    : m_item(std::move(item)), m_name(std::move(name)) {}

Result<Variant> UserProperty::Value() const {
    return m_item->userProperty(m_name);
}

Status UserProperty::setValue(const Variant& value) {
    return m_item->setUserProperty(m_name, value);
}

}  // namespace orlo::host
