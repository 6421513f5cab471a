#include "host/ItemKeys.h"

#include "host/store/FindKey.h"

namespace orlo::host {

bool ItemKeys::contains(const Variant& value) const {
    const std::optional<FindKey> key = FindKey::of(value);
    // A cut key stands for many values: only Find can tell them apart.
    return key && !key->truncated && m_keys.contains(key->text);
}

}  // namespace orlo::host
