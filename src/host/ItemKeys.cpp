#include "host/ItemKeys.h"

#include "host/MAPIFolder.h"
#include "host/StoreSession.h"
#include "host/store/FindKey.h"

namespace orlo::host {

Result<ItemKeys> ItemKeys::read(const MAPIFolder& folder, const QString& property) {
    ORLO_TRY_ASSIGN(const StoreFile* file, folder.session()->file());
    ORLO_TRY_ASSIGN(const auto column, file->column(folder.id(), property));
    QSet<QString> keys;
    keys.reserve(qsizetype(column.size()));
    for (const auto& [id, value] : column) {
        if (std::optional<FindKey> key = FindKey::of(value); key && !key->truncated) {
            keys.insert(std::move(key->text));
        }
    }
    return ItemKeys(std::move(keys));
}

bool ItemKeys::contains(const Variant& value) const {
    const std::optional<FindKey> key = FindKey::of(value);
    // A cut key stands for many values: only Find can tell them apart.
    return key && !key->truncated && m_keys.contains(key->text);
}

}  // namespace orlo::host
