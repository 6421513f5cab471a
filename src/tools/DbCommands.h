#pragma once
// The "db" command group of the admin tool:
//   orlo db init PATH            a new shared database with the schema
//   orlo db init-scratch PATH    a new scratch database (the resync's)
//   orlo db upgrade PATH         an existing shared database brought up to
//                                this Orlo's schema (its indexes, its version)
//   orlo db copy FROM TO         every table of a shared database (file or
//                                server) into a new file or an empty server
//                                database, with per-table counts and checksums
//   orlo db query PATH "SQL" [--now "YYYY-MM-DD HH:MM:SS"]
//   orlo db seed PATH --patients N --appointments M [--seed S] [--now ...]
// A query prints CSV with a header row (dates as YYYY-MM-DD HH:MM:SS, Null
// as an empty field); any other statement prints its affected-row count.

#include "tools/CommandGroup.h"

namespace orlo::tools {

int runDbCommands(const QStringList& args, ToolIo& io);

}  // namespace orlo::tools
