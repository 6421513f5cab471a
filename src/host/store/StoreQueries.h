#pragma once
// The statements a store runs again and again, named, so that the store's
// cache of prepared statements is indexed by name rather than by where a
// text happens to lie in memory.

#include <cstddef>

namespace orlo::host {

enum class StoreQuery : std::size_t {
    SelectMeta,
    InsertMeta,
    SelectFolder,
    SelectSubfolders,
    InsertFolder,
    SelectNameId,
    SelectName,
    InsertName,
    SelectItem,
    SelectItemIds,
    CountItems,
    InsertItem,
    DeleteItem,
    SelectProperties,
    SelectProperty,
    InsertProperty,
    DeleteProperties,
    SelectColumn,
    Find,
    Integrity,
    StrayProperties,
    BeginBulkWrite,
    UndoBulkWrite,
    EndBulkWrite,
};

inline constexpr std::size_t kStoreQueryCount = std::size_t(StoreQuery::EndBulkWrite) + 1;

struct StoreQueryText {
    StoreQuery query;
    const char* sql;
};

// The SQL text of each statement, in the order of StoreQuery.
inline constexpr StoreQueryText kStoreQueries[] = {
    {StoreQuery::SelectMeta, "SELECT value FROM meta WHERE key = ?1"},
    {StoreQuery::InsertMeta, "INSERT INTO meta(key, value) VALUES(?1, ?2)"},
    {StoreQuery::SelectFolder,
     "SELECT id, parent, name, kind, default_class FROM folders WHERE id = ?1"},
    {StoreQuery::SelectSubfolders,
     "SELECT id, parent, name, kind, default_class FROM folders WHERE parent = ?1 ORDER BY id"},
    {StoreQuery::InsertFolder,
     "INSERT INTO folders(parent, name, kind, default_class) VALUES(?1, ?2, ?3, ?4)"},
    {StoreQuery::SelectNameId, "SELECT id FROM names WHERE name = ?1"},
    {StoreQuery::SelectName, "SELECT name FROM names WHERE id = ?1"},
    {StoreQuery::InsertName, "INSERT INTO names(name) VALUES(?1)"},
    {StoreQuery::SelectItem, "SELECT folder, message_class FROM items WHERE id = ?1"},
    {StoreQuery::SelectItemIds, "SELECT id FROM items WHERE folder = ?1 ORDER BY id"},
    {StoreQuery::CountItems, "SELECT count(*) FROM items WHERE folder = ?1"},
    {StoreQuery::InsertItem, "INSERT INTO items(folder, message_class) VALUES(?1, ?2)"},
    {StoreQuery::DeleteItem, "DELETE FROM items WHERE id = ?1"},
    {StoreQuery::SelectProperties, "SELECT name, type, value FROM properties WHERE item = ?1"},
    {StoreQuery::SelectProperty,
     "SELECT type, value FROM properties WHERE item = ?1 AND name = ?2"},
    {StoreQuery::InsertProperty,
     "INSERT INTO properties(item, name, folder, type, value, find_key) "
     "VALUES(?1, ?2, ?3, ?4, ?5, ?6)"},
    {StoreQuery::DeleteProperties, "DELETE FROM properties WHERE item = ?1"},
    {StoreQuery::SelectColumn,
     "SELECT i.id, p.type, p.value FROM items i "
     "LEFT JOIN properties p ON p.item = i.id AND p.name = ?2 "
     "WHERE i.folder = ?1 ORDER BY i.id"},
    {StoreQuery::Find,
     "SELECT item, type, value FROM properties "
     "WHERE folder = ?1 AND name = ?2 AND find_key = ?3 ORDER BY item"},
    {StoreQuery::Integrity, "PRAGMA integrity_check"},
    {StoreQuery::StrayProperties,
     "SELECT count(*) FROM properties p LEFT JOIN items i ON i.id = p.item "
     "WHERE i.id IS NULL OR i.folder != p.folder"},
    {StoreQuery::BeginBulkWrite, "SAVEPOINT bulk_write"},
    {StoreQuery::UndoBulkWrite, "ROLLBACK TO bulk_write"},
    {StoreQuery::EndBulkWrite, "RELEASE bulk_write"},
};

constexpr bool storeQueriesInOrder() {
    std::size_t i = 0;
    for (const StoreQueryText& q : kStoreQueries) {
        if (std::size_t(q.query) != i++) {
            return false;
        }
    }
    return i == kStoreQueryCount;
}
static_assert(storeQueriesInOrder(), "kStoreQueries lists every StoreQuery once, in order");

}  // namespace orlo::host
