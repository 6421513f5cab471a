#pragma once
// The table definitions of the shared database (PATIENTS, SCHEDULED,
// CURRENTSESSIONS) and of the workstation's scratch database: the statements
// that create them, their column lists in table order, and which columns hold
// dates. Column names come from the field maps; nothing is listed twice.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace orlo::records {

inline constexpr char16_t kPatientsTable[] = u"PATIENTS";
inline constexpr char16_t kScheduledTable[] = u"SCHEDULED";
inline constexpr char16_t kSessionsTable[] = u"CURRENTSESSIONS";

// The scratch database's four key tables, each with the one column "ids".
inline constexpr char16_t kTempScheduleDb[] = u"tempScheduleDB";
inline constexpr char16_t kTempPatientDb[] = u"tempPatientDB";
inline constexpr char16_t kTempScheduleOl[] = u"tempScheduleOL";
inline constexpr char16_t kTempPatientOl[] = u"tempPatientOL";
inline constexpr char16_t kScratchKeyColumn[] = u"ids";
// The scratch database's layout, kept in its header (user_version). A file
// of another layout is made anew: it holds nothing between runs.
// 0 (none) had a NUMERIC column and an index on the folder's tables;
// 1 keeps each table's keys as its rowid, a repeated key stored once.
inline constexpr int kScratchSchemaVersion = 1;

// The file names the system gives the two databases under its folder.
inline constexpr char16_t kSharedDatabaseFile[] = u"Database/Patients.mdb";
inline constexpr char16_t kScratchDatabaseFile[] = u"META/temp.mdb";

// Columns in table order: PATIENTS has 50, SCHEDULED 56, CURRENTSESSIONS 5.
QStringList patientColumns();
QStringList scheduleColumns();
QStringList sessionColumns();

// Date columns, declared DATETIME and holding "YYYY-MM-DD HH:MM:SS" text.
// Case-insensitive; a "TABLE.COLUMN" name is judged by its column part.
bool isDateColumn(QStringView column);

// The version of the shared database's schema (its tables and indexes) that
// this Orlo makes and expects, recorded in the database as PRAGMA
// user_version. 0 is a database made before the version was recorded: the
// tables and the duplicate check's index, perhaps without the reports'
// indexes.
// 2 adds the no-show and balance reports' indexes and the planner's
// statistics.
// 3 adds the server's indexes of the reports' sort keys with NULL first (the
// file has nothing new at 3).
// 4 adds the server's index of visits by start time with their patient, for
// the overdue reports (the file has nothing new at 4).
inline constexpr int kSharedSchemaVersion = 4;

// Statements that create the shared database's tables and indexes and
// record its version, and the scratch database's tables, in the order they
// must run.
QStringList sharedSchemaStatements();
QStringList scratchSchemaStatements();
// The shared database's indexes, each created only when it is missing.
QStringList sharedIndexStatements();
// The file's fixed planner statistics (sqlite_stat1), replacing any there.
QStringList sharedStatisticsStatements();
// The statement that records the version.
QString sharedSchemaVersionStatement();

// The same shared database on a PostgreSQL server: text columns of type
// citext (compared and sorted without letter case, as on the file), date
// columns of the domain orlo_datetime (the same canonical text), counter
// keys as identity columns, the same indexes, and the version kept in the
// table orlo_meta. The dialect's functions are created with it by the data
// layer.
QStringList sharedServerSchemaStatements();
QString sharedServerVersionStatement();
// The server's own indexes beside the shared ones, each created only when
// it is missing.
QStringList sharedServerIndexStatements();
// The query that reads the recorded version (no row: version 0).
QString sharedServerVersionQuery();

}  // namespace orlo::records
