#pragma once
// Bringing an existing shared database up to the schema this Orlo expects
// (records/Schema.h): the indexes it lacks are created and the schema
// version is recorded last, so a run cut short leaves the old version and
// the next run simply does the rest. Run by "orlo db upgrade PATH" and by
// the add-in's start-up, which logs what it did.
//
// It also keeps the query planner's statistics (ANALYZE) current: without
// them the planner sorts every matching row of a report before its first
// one, where an index could hand them over in order. They are gathered once
// the appointments reach kStatisticsMinRows, and again whenever their count
// has doubled or halved since (seconds at a clinic's size, rarely).

#include <QString>
#include <QStringList>

#include "platform/core/Result.h"
#include "platform/data/DataContext.h"

namespace orlo::records {

struct SchemaUpgrade {
    QString database;
    int fromVersion = 0;
    int toVersion = 0;
    QStringList addedIndexes;  // by name, sorted
    bool statisticsGathered = false;

    bool changed() const { return fromVersion != toVersion; }
    // "upgraded PATH from schema version 0 to 1: added A, B" or
    // "PATH is at schema version 1: nothing to do", followed by
    // "; gathered the query planner's statistics" when it did.
    QString summary() const;
};

// Appointments below which the planner's defaults serve as well as
// statistics would.
inline constexpr qint64 kStatisticsMinRows = 1000;

// Opens the shared database at `path` and upgrades it. A database that
// records a newer version than this Orlo knows is left as it is, and that
// is an error.
Result<SchemaUpgrade> upgradeSharedSchema(const QString& path, const data::DataContext& context);

}  // namespace orlo::records
