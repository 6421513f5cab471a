#pragma once
// The layout of an item store file: an SQLite database marked with the
// store's application id and schema version in its header, so that a store
// is told from any other file by its first 100 bytes.
//
// Folder order is item id order: items.id is AUTOINCREMENT, so ids only grow
// and an item added later always sorts after the ones before it.
//
// Property values keep their Variant type in `type`; `find_key` is the
// normalised form that findFirst compares (see FindKey.h), indexed together
// with the folder and property name. The folder is repeated in `properties`
// so that one index range answers a Find without touching `items`.

#include <cstdint>

namespace orlo::host::schema {

// "ORST" in the header's application-id field (offset 68, big-endian).
inline constexpr std::uint32_t kApplicationId = 0x4F525354;
// The header's user-version field (offset 60): this file layout's version.
inline constexpr std::int32_t kSchemaVersion = 1;

inline constexpr char kCreate[] = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value NOT NULL) WITHOUT ROWID;
CREATE TABLE folders(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL,
    kind INTEGER NOT NULL,
    default_class TEXT NOT NULL);
CREATE INDEX folders_parent ON folders(parent, id);
CREATE TABLE names(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);
CREATE TABLE items(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    folder INTEGER NOT NULL,
    message_class TEXT NOT NULL);
CREATE INDEX items_folder ON items(folder, id);
CREATE TABLE properties(
    item INTEGER NOT NULL,
    name INTEGER NOT NULL,
    folder INTEGER NOT NULL,
    type INTEGER NOT NULL,
    value,
    find_key TEXT,
    PRIMARY KEY(item, name)) WITHOUT ROWID;
CREATE INDEX properties_find ON properties(folder, name, find_key, item)
    WHERE find_key IS NOT NULL;
)sql";

// Date values by folder, property and date, for a calendar's range of days
// ("Start" in a week). Dates are stored as ISO 8601 text, which sorts in
// date order. Stores made before the index existed get it when opened.
// The 5 is the Variant type of a date; a query must name it the same way
// for SQLite to use this partial index.
inline constexpr char kCreateDateIndex[] =
    "CREATE INDEX IF NOT EXISTS properties_dates ON properties(folder, name, value, item) "
    "WHERE type = 5";

// meta keys
inline constexpr char kMetaFormat[] = "format";
inline constexpr char kMetaFormatValue[] = "Orlo item store";
inline constexpr char kMetaSchema[] = "schema";
inline constexpr char kMetaTopFolder[] = "top_folder";

}  // namespace orlo::host::schema
