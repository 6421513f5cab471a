#pragma once
// The fields a view shows of many items, read as rows in one query rather
// than item by item: for each item, the values of the properties named, in
// the order named (Empty where the item has none). A week of a calendar or
// a list of a hundred thousand patients costs one statement, with one index
// lookup per item and property, and no item is loaded whole.
//
// Reads only: these never write and never take the store's write lock.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "host/store/StoreFile.h"

namespace orlo::host {

struct FieldRow {
    ItemId id = 0;
    std::vector<Variant> values;  // one per property named, in that order
};

// At most this many properties per read (a join per property).
inline constexpr int kMaxRowFields = 48;

// Every item of the folder, in folder order.
Result<std::vector<FieldRow>> folderRows(const StoreFile& store, FolderId folder,
                                         const QStringList& names);

// The items of a folder whose date property `dateName` lies in [from, to),
// in date order (equal dates by id), through the store's index on date
// values: a week of a folder of half a million appointments reads that
// week's entries only, never the folder. Items whose property holds no date
// are not among them. Dates are wall-clock times, compared as such.
Result<std::vector<FieldRow>> rowsBetween(const StoreFile& store, FolderId folder,
                                          const QString& dateName, const QDateTime& from,
                                          const QDateTime& to, const QStringList& names);

// The SQL text of these reads for `fields` properties: of a date range, or
// of the whole folder. Parameters: ?1 the folder, then for a date range ?2
// the date property's name id and ?3, ?4 the bounds; then one name id per
// field.
QString fieldRowsSql(int fields, bool byDate);

}  // namespace orlo::host
