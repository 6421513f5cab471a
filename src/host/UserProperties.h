#pragma once
// UserProperties: an item's user properties by name. Item(name) on a name
// the item lacks fails with error 5, the way a collection lookup fails;
// Find answers nothing instead. The built-in fields answer here too.

#include <QString>
#include <memory>

#include "platform/core/Result.h"

namespace orlo::host {

class Item;
class UserProperty;

class UserProperties {
public:
    explicit UserProperties(std::shared_ptr<::orlo::host::Item> item);

    // The number of user properties (built-in fields not counted).
    int Count() const;
    std::shared_ptr<UserProperty> Find(const QString& name) const;
    Result<std::shared_ptr<UserProperty>> Item(const QString& name) const;
    // Adds a user property with an empty text, or returns the existing one.
    Result<std::shared_ptr<UserProperty>> Add(const QString& name);

private:
    std::shared_ptr<::orlo::host::Item> m_item;
};

}  // namespace orlo::host
