#pragma once
// ItemKeys: what Items::Find "[Name] = value" answers, for many values at
// once: the property is read across the folder in one pass, then each value
// is one hash lookup, compared exactly as Find compares (numbers by value,
// text without case). It is a snapshot of the moment it was read: an item
// stored since is not in it, so a caller that acts on a miss (adds an item)
// asks Find before it does.

#include <QSet>
#include <QString>

#include "platform/core/Result.h"
#include "platform/core/Variant.h"

namespace orlo::host {

class MAPIFolder;

class ItemKeys {
public:
    ItemKeys() = default;
    explicit ItemKeys(QSet<QString> keys) : m_keys(std::move(keys)) {}

    // The values of `property` across the folder; fails with the store's
    // error when its file cannot be read, as Find does.
    static Result<ItemKeys> read(const MAPIFolder& folder, const QString& property);

    // Whether an item held `value` in the property when the keys were read.
    bool contains(const Variant& value) const;
    qsizetype size() const { return m_keys.size(); }

private:
    QSet<QString> m_keys;  // the values' find keys, whole ones only
};

}  // namespace orlo::host
