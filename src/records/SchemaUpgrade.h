#pragma once
// Bringing an existing shared database up to the schema this Orlo expects
// (records/Schema.h): the indexes it lacks are created and the schema
// version is recorded last, so a run cut short leaves the old version and
// the next run simply does the rest. Run by "orlo db upgrade PATH" and by
// the add-in's start-up, which logs what it did.

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

    bool changed() const { return fromVersion != toVersion; }
    // "upgraded PATH from schema version 0 to 1: added A, B" or
    // "PATH is at schema version 1: nothing to do".
    QString summary() const;
};

// Opens the shared database at `path` and upgrades it. A database that
// records a newer version than this Orlo knows is left as it is, and that
// is an error.
Result<SchemaUpgrade> upgradeSharedSchema(const QString& path, const data::DataContext& context);

}  // namespace orlo::records
