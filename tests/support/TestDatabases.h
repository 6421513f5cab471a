#pragma once
// The test database: fresh shared and scratch databases where an application
// folder keeps them (Database/Patients.mdb, META/temp.mdb) in a temporary
// folder, rows put in with plain SQLite (so that seeding never depends on the
// code under test), and reading stored values back raw. Benchmarks seed a
// clinic-sized database with the admin tool's seeder through seedClinic.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

#include "TestSupport.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/core/Variant.h"
#include "platform/data/Connection.h"
#include "tools/Seeder.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::test {

struct SeedPatient {
    int id;
    const char* last;
    const char* first;
    const char* diabetic = "NO";
    const char* dob = "01/02/1970";
};

struct SeedAppointment {
    int id;
    int patient;
    const char* start;             // "YYYY-MM-DD HH:MM:SS"
    const char* recall = nullptr;  // nullptr: NULL
    const char* status = "COMPLETED";
    const char* balance = "0";
};

// Where the shared database lives: the file, or a fresh database on the
// suite's PostgreSQL cluster (ORLO_TEST_PG_URI, started by ctest).
enum class Engine { File, Server };

// "File" or "Server", for test names.
const char* engineName(Engine engine);

class TestDatabases {
public:
    explicit TestDatabases(Engine engine = Engine::File);
    ~TestDatabases();
    TestDatabases(const TestDatabases&) = delete;
    TestDatabases& operator=(const TestDatabases&) = delete;

    Engine engine() const { return m_engine; }
    // The shared database's location: a file path or a server URI.
    QString sharedPath() const {
        return m_engine == Engine::Server ? m_serverUri
                                          : m_dir.filePath(u"Database/Patients.mdb"_s);
    }
    QString scratchPath() const { return m_dir.filePath(u"META/temp.mdb"_s); }
    QString dir() const { return m_dir.path(); }

    void addPatients(const std::vector<SeedPatient>& patients) const;
    void addAppointments(const std::vector<SeedAppointment>& appointments) const;
    // Runs SQL on the shared database with plain SQLite or libpq (several
    // statements may be separated by ";"; names in double quotes).
    void rawExec(const QString& sql, const QString& path = {}) const;
    // The first column of the first row as stored (NULL gives nullopt).
    std::optional<QString> rawValue(const QString& sql, const QString& path = {}) const;
    qint64 rawCount(const QString& sql) const;
    // Another database on the suite's cluster, empty (no tables), dropped
    // with this one; its URI.
    QString emptyServerDatabase();
    // The first column of the first row of `sql` on the server `uri`.
    static std::optional<QString> rawValueOn(const QString& uri, const QString& sql);

private:
    Engine m_engine;
    QTemporaryDir m_dir;
    QString m_serverName;  // the database made on the cluster
    QString m_serverUri;
    QStringList m_emptyServerNames;
};

// A shared database made at `path` with the schema and seeded by the admin
// tool's seeder.
Result<tools::SeedCounts> seedClinic(const QString& path, const tools::SeedOptions& options,
                                     const Locale& locale);

// The benchmarks' clinic: the database named by ORLO_BENCH_DB, else
// `defaultPath`; kept from an earlier run when it exists, else made and
// seeded with the given counts as of the clock's now. Prints which it did;
// the path, or the seeding's error.
Result<QString> benchClinic(const QString& defaultPath, qint64 patients, qint64 appointments,
                            const Clock& clock, const Locale& locale);

// Runs SQL with plain SQLite on the database file at `path`; fails the test
// on an error.
void rawExecAt(const QString& path, const QString& sql);
// The first column of the first row at `path` as stored; nullopt for NULL,
// no row or an error.
std::optional<QString> rawValueAt(const QString& path, const QString& sql);

// A date value for a canonical text.
QDateTime at(const char* canonical);

// A field's value as text for comparisons: dates canonical, Null "<null>".
QString shown(const Variant& v);

}  // namespace orlo::test
