#pragma once
// The items of a folder whose date property lies in [from, to), in date
// order, through the store's index on date values: a week of a folder of
// half a million appointments reads that week's entries only, never the
// folder. Items whose property holds no date are not among them. Dates are
// wall-clock times, compared as such.

#include <QDateTime>
#include <QString>
#include <vector>

#include "host/store/StoreFile.h"

namespace orlo::host {

Result<std::vector<ItemId>> itemsBetween(const StoreFile& store, FolderId folder,
                                         const QString& name, const QDateTime& from,
                                         const QDateTime& to);

}  // namespace orlo::host
