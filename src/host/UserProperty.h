#pragma once
// UserProperty: one named property of an item, as UserProperties hands it
// out. It reads and writes through the item, so it always shows the item's
// current value.

#include <QString>
#include <memory>

#include "platform/core/Result.h"
#include "platform/core/Variant.h"

namespace orlo::host {

class Item;

class UserProperty {
public:
    UserProperty(std::shared_ptr<Item> item, QString name);

    QString Name() const { return m_name; }
    Result<Variant> Value() const;
    // Raises the item's CustomPropertyChange (PropertyChange for a built-in field).
    Status setValue(const Variant& value);

private:
    std::shared_ptr<Item> m_item;
    QString m_name;
};

}  // namespace orlo::host
