// The data layer at a clinic's full size: 100,000 patients and 500,000
// appointments seeded once into a temporary file and copied ("orlo db
// copy") to a PostgreSQL server: the database ORLO_BENCH_PG_URI names, else
// a throwaway cluster started for the run. Times every report and finder
// query through Recordset::open (a new Connection each time, as the reports
// open theirs, taking its file handle or server connection from the
// workstation's pool, as the desk's do), the patient save's duplicate
// check, a patient's save, a fresh connection and one from the pool, and
// opening all appointments read on demand, on
// the file and on the server, and prints both columns side by side; then the
// resync's 100,000 scratch inserts, one Connection::execute per key, against
// the same keys inserted in one transaction with one prepared statement. Before the
// timings it prints SQLite's plan of every query (which indexes it searches).

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <map>

#include "SystemSqlTexts.h"
#include "TestDatabases.h"
#include "platform/core/Clock.h"
#include "platform/core/ErrorTrap.h"
#include "platform/core/Locale.h"
#include "platform/core/ProcessMemory.h"
#include "platform/data/Connection.h"
#include "platform/data/ConnectionPool.h"
#include "platform/data/DatabaseFile.h"
#include "platform/data/Recordset.h"
#include "platform/dialect/JetFunctions.h"
#include "platform/dialect/JetSql.h"
#include "platform/pg/PgDatabase.h"
#include "records/Schema.h"
#include "tools/DbCommands.h"
#include "tools/Seeder.h"

using namespace orlo;
using namespace orlo::data;
namespace sql = orlo::test::sql;

namespace {

constexpr qint64 kPatients = 100000;
constexpr qint64 kAppointments = 500000;
constexpr int kScratchKeys = 100000;

// The best time of each operation on each engine, in ms, and its rows.
struct Timing {
    double file = -1;
    double server = -1;
    qint64 rows = 0;
};

struct Bench {
    QTemporaryDir dir;
    QString shared = dir.filePath(QStringLiteral("Patients.mdb"));
    QString server;  // the server's URI, empty without one
    // The connections and file handles kept between reports, as the desk
    // keeps them.
    std::shared_ptr<ConnectionPool> pool = std::make_shared<ConnectionPool>();
    std::map<std::string, Timing> timings;

    void record(const std::string& name, bool onServer, double ms, qint64 rows) {
        Timing& t = timings[name];
        double& best = onServer ? t.server : t.file;
        best = best < 0 ? ms : std::min(best, ms);
        t.rows = rows;
    }
    PinnedClock clock{naiveDateTime(QDate(2026, 6, 15), QTime(10, 0))};
    Locale locale = Locale::unitedKingdom();
    int scratchRun = 0;

    // What a report's connection is made with: the workstation's pool.
    DataContext context(bool pooled = true) const {
        return DataContext{clock, locale, 0, pooled ? pool : nullptr};
    }

    QString freshScratch() {
        const QString path = dir.filePath(QStringLiteral("temp%1.mdb").arg(++scratchRun));
        if (!createDatabaseFile(path, records::scratchSchemaStatements(), DatabaseKind::Scratch)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
        }
        return path;
    }
};

// The connection string a report opens: the file in the provider's form,
// the server by its URI.
QString location(const Bench& b, bool onServer) {
    return onServer ? b.server
                    : QStringLiteral(
                          "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security "
                          "Info=False;Data Source= ") +
                          b.shared;
}

// Opens `text` as a report does and reads every row's first field.
void runQuery(benchmark::State& state, Bench& b, bool onServer, const std::string& name,
              const QString& text, const QString& filter = {}) {
    qint64 rows = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        Connection conn(b.context());
        conn.setProvider(QStringLiteral("Microsoft.JET.OLEDB.4.0"));
        if (!conn.open(location(b, onServer))) {
            state.SkipWithError("open failed");
            return;
        }
        Recordset rs;
        const Status s = rs.open(text, conn, kOpenStatic, kLockOptimistic, kCmdUnspecified);
        if (!s) {
            state.SkipWithError(qPrintable(s.error().description));
            return;
        }
        if (!filter.isEmpty() && !rs.setFilter(filter)) {
            state.SkipWithError("filter failed");
            return;
        }
        rows = *rs.recordCount();
        while (!rs.eof()) {
            benchmark::DoNotOptimize(rs.field(0));
            ignoreError(rs.moveNext(), "the loop ends at the last row");
        }
        b.record(name, onServer, double(t.nsecsElapsed()) / 1e6, rows);
    }
    state.counters["rows"] = double(rows);
}

// A connection opened and closed, as every report pays before its query:
// a fresh one (a new file handle, or a new server process each time), or one
// taken from the pool and given back.
void openConnection(benchmark::State& state, Bench& b, bool onServer, bool pooled) {
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        Connection conn(b.context(pooled));
        conn.setProvider(QStringLiteral("Microsoft.JET.OLEDB.4.0"));
        if (!conn.open(location(b, onServer)) || !conn.close()) {
            state.SkipWithError("open failed");
            return;
        }
        b.record(pooled ? "connect/pooled_connection" : "connect/fresh_connection", onServer,
                 double(t.nsecsElapsed()) / 1e6, 0);
    }
}

// Every appointment opened as a report preview reads it (on demand): the
// time to the first row, then to the last.
void openOnDemand(benchmark::State& state, Bench& b, bool onServer) {
    for (auto _ : state) {
        Connection conn(b.context());
        if (!conn.open(location(b, onServer))) {
            state.SkipWithError("open failed");
            return;
        }
        QElapsedTimer t;
        t.start();
        Recordset rs;
        rs.setFetchOnDemand(true);
        if (!rs.open(QStringLiteral("SELECT * FROM SCHEDULED ORDER BY START_TIME"), conn,
                     kOpenStatic, kLockReadOnly)) {
            state.SkipWithError("open failed");
            return;
        }
        benchmark::DoNotOptimize(rs.field(0));
        b.record("open/500k_first_row", onServer, double(t.nsecsElapsed()) / 1e6, 1);
        qint64 rows = 0;
        while (!rs.eof()) {
            ++rows;
            ignoreError(rs.moveNext(), "the loop ends at the last row");
        }
        b.record("open/500k_every_row", onServer, double(t.nsecsElapsed()) / 1e6, rows);
    }
}

// A new patient saved as the patient form saves one: AddNew, the fields,
// Update.
void savePatient(benchmark::State& state, Bench& b, bool onServer) {
    Connection conn({b.clock, b.locale});
    if (!conn.open(location(b, onServer))) {
        state.SkipWithError("open failed");
        return;
    }
    Recordset rs;
    if (!rs.open(QStringLiteral("SELECT * FROM PATIENTS WHERE PT_ID = 0"), conn)) {
        state.SkipWithError("open failed");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const bool saved =
            rs.addNew().ok() &&
            rs.setField(QStringLiteral("LAST NAME"), QStringLiteral("Bench%1").arg(++n)).ok() &&
            rs.setField(QStringLiteral("FIRST NAME"), QStringLiteral("Ann")).ok() &&
            rs.setField(QStringLiteral("DOB"), QStringLiteral("01/02/1970")).ok() &&
            rs.update().ok();
        if (!saved) {
            state.SkipWithError("save failed");
            return;
        }
        b.record("save/new_patient", onServer, double(t.nsecsElapsed()) / 1e6, 1);
    }
}

// The file and the server side by side, and how many times slower the
// server is.
void printSideBySide(const Bench& b) {
    std::printf("\n%-32s %12s %12s %8s %10s\n", "operation", "file ms", "server ms", "ratio",
                "rows");
    for (const auto& [name, t] : b.timings) {
        const auto shown = [](double ms) {
            return ms < 0 ? std::string("-") : std::to_string(ms).substr(0, 9);
        };
        std::printf("%-32s %12s %12s %8.2f %10lld\n", name.c_str(), shown(t.file).c_str(),
                    shown(t.server).c_str(), t.file > 0 && t.server >= 0 ? t.server / t.file : 0.0,
                    t.rows);
    }
}

// The memory of the throwaway cluster, as the README's server set-up gives
// a clinic's server (a quarter of a 4 GB machine; the default of 128 MB
// holds less than the tables).
constexpr char kBenchServerBuffers[] = "shared_buffers=1GB";

// The server: ORLO_BENCH_PG_URI, else a throwaway cluster in `dir`; the
// seeded file copied to it. Empty when there is none.
QString prepareServer(Bench& b, const QString& clusterDir) {
    QString uri = qEnvironmentVariable("ORLO_BENCH_PG_URI");
    if (uri.isEmpty()) {
        QProcess start;
        start.start(
            QStringLiteral(ORLO_SOURCE_DIR "/scripts/pg-test-cluster.sh"),
            {QStringLiteral("start"), clusterDir, QString::fromLatin1(kBenchServerBuffers)});
        if (!start.waitForFinished(120000) || start.exitCode() != 0) {
            std::printf("server: no cluster (%s); the file only\n",
                        start.readAllStandardError().trimmed().constData());
            return {};
        }
        uri = QString::fromUtf8(start.readAllStandardOutput()).trimmed();
    }
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    tools::ToolIo io{outStream, errStream};
    QElapsedTimer t;
    t.start();
    const int code = tools::runDbCommands({QStringLiteral("copy"), b.shared, uri}, io);
    outStream.flush();
    errStream.flush();
    if (code != 0 && !err.contains(QStringLiteral("already holds"))) {
        std::printf("server: the copy failed: %s", qPrintable(err));
        return {};
    }
    std::printf("%s%scopy to the server: %.1f s\n", qPrintable(out),
                code == 0 ? "" : "server already seeded; ", double(t.elapsed()) / 1000.0);
    if (pg::PgResult<pg::PgDatabase> server = pg::PgDatabase::connect(uri)) {
        if (const auto shown =
                server.value().exec(QStringLiteral("SELECT current_setting('shared_buffers'), "
                                                   "current_setting('work_mem')"))) {
            std::printf("server shared_buffers %s, work_mem %s\n", qPrintable(shown->text(0, 0)),
                        qPrintable(shown->text(0, 1)));
        }
        // The copy leaves the server, and the system after it, writing
        // pages out for a while, which would share the machine with the
        // timings: they are written now (a server user that may not ask for
        // a checkpoint leaves it to the server).
        QElapsedTimer flush;
        flush.start();
        const bool flushed = server.value().execScript(QStringLiteral("CHECKPOINT")).ok();
        ::sync();
        std::printf("server checkpoint %s, disks synced in %.1f s\n", flushed ? "done" : "refused",
                    double(flush.elapsed()) / 1000.0);
    }
    return uri;
}

// The resync's way: one execute per key on the scratch connection.
double scratchByExecute(Bench& b) {
    Connection conn({b.clock, b.locale});
    conn.setProvider(QStringLiteral("Microsoft.JET.OLEDB.4.0"));
    if (!conn.open(b.freshScratch())) {
        return -1;
    }
    QElapsedTimer t;
    t.start();
    for (int k = 1; k <= kScratchKeys; ++k) {
        if (!conn.execute(QStringLiteral("INSERT INTO tempPatientDB (ids) Values(") +
                          QString::number(k) + QLatin1Char(')'))) {
            return -1;
        }
    }
    Recordset rs;  // the read that follows commits the batch
    if (!rs.open(QStringLiteral("SELECT ids FROM tempPatientDB"), conn) ||
        *rs.recordCount() != kScratchKeys) {
        return -1;
    }
    return double(t.nsecsElapsed()) / 1e9;
}

// The same keys in one transaction with one prepared statement.
double scratchBulk(Bench& b) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(b.freshScratch().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY", nullptr, nullptr,
                 nullptr);
    QElapsedTimer t;
    t.start();
    sqlite3_stmt* stmt = nullptr;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO tempPatientDB (ids) VALUES (?1)", -1, &stmt, nullptr);
    for (int k = 1; k <= kScratchKeys; ++k) {
        sqlite3_bind_int64(stmt, 1, k);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    sqlite3_close_v2(db);
    return seconds;
}

void scratchInserts(benchmark::State& state, Bench& b) {
    double execute = 0;
    double bulk = 0;
    for (auto _ : state) {
        execute = scratchByExecute(b);
        bulk = scratchBulk(b);
        if (execute < 0) {
            state.SkipWithError("scratch execute failed");
            return;
        }
        state.SetIterationTime(execute);
    }
    state.counters["execute_s"] = execute;
    state.counters["bulk_s"] = bulk;
    state.counters["ratio_vs_bulk"] = bulk > 0 ? execute / bulk : 0;
    std::printf(
        "scratch inserts: %d executes %.3f s, one prepared transaction %.3f s, ratio %.2f\n",
        kScratchKeys, execute, bulk, bulk > 0 ? execute / bulk : 0.0);
}

// How SQLite runs each translated query: the indexes it searches.
template <typename Queries>
void printPlans(Bench& b, const Queries& queries) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(b.shared.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    (void)registerJetFunctions(db, b.clock, b.locale);
    const DialectContext ctx{
        [](QStringView, QStringView column) { return records::isDateColumn(column); }};
    for (const auto& [name, text] : queries) {
        const auto sql = translateJetSql(text, ctx);
        if (!sql) {
            continue;
        }
        sqlite3_stmt* stmt = nullptr;
        const QByteArray explain = (QStringLiteral("EXPLAIN QUERY PLAN ") + *sql).toUtf8();
        std::printf("plan %s:\n", name);
        if (sqlite3_prepare_v2(db, explain.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            std::printf("  %s\n", sqlite3_errmsg(db));
            continue;
        }
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::printf("  %s\n", reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close_v2(db);
}

}  // namespace

int main(int argc, char** argv) {
    // As the desk and the admin tool run.
    std::printf("freed memory kept for reuse: %s\n",
                orlo::keepFreedMemoryForReuse() ? "yes" : "no");
    QCoreApplication app(argc, argv);
    Bench b;
    // ORLO_BENCH_DB names a file to seed once and reuse on later runs (for
    // profiling one query without seeding again).
    const QString kept = qEnvironmentVariable("ORLO_BENCH_DB");
    const bool reuse = !kept.isEmpty() && QFileInfo::exists(kept);
    if (!kept.isEmpty()) {
        b.shared = kept;
    }
    if (reuse) {
        std::printf("reusing %s\n", qPrintable(kept));
    } else {
        QElapsedTimer seeding;
        seeding.start();
        tools::SeedOptions options;
        options.patients = kPatients;
        options.appointments = kAppointments;
        options.seed = 2026;
        options.now = b.clock.now();
        if (!orlo::test::seedClinic(b.shared, options, b.locale)) {
            std::fprintf(stderr, "seeding failed\n");
            return 1;
        }
        std::printf("seeded %lld patients and %lld appointments in %.1f s\n", kPatients,
                    kAppointments, double(seeding.elapsed()) / 1000.0);
    }

    const std::pair<const char*, QString> queries[] = {
        {"report/1_balance_overdue", sql::kBalanceOverdue},
        {"report/2_two_week_recall", sql::kTwoWeekRecall},
        {"report/3_no_show", sql::kNoShow},
        {"report/4_diabetic", sql::kDiabetic},
        {"report/5_six_weeks_overdue", sql::kSixWeekOverdue},
        {"report/6_three_months_overdue", sql::kThreeMonthOverdue},
        {"report/7_six_months_overdue", sql::kSixMonthOverdue},
        {"report/8_twelve_months_overdue", sql::kTwelveMonthOverdue},
        {"report/9_patient_detail", sql::kPatientDetailPrefix + QStringLiteral("54321")},
        {"report/10_next_day", sql::kNextDay},
        {"report/11_patient_list", sql::kPatientList},
        {"recall_month/december", sql::recallMonth(QStringLiteral("2026"), QStringLiteral("12"))},
        {"recall_month/february", sql::recallMonth(QStringLiteral("2026"), QStringLiteral("2"))},
        {"finder/patient_list", sql::kPatientFinderList},
        {"finder/patient_history", sql::patientHistory(QStringLiteral("54321"))},
        {"finder/future_recalls", sql::kRecallList},
        {"save/duplicate_check",
         sql::duplicateCheck(QStringLiteral("'O''Brien'"), QStringLiteral("'Oliver'"),
                             QStringLiteral("'19/02/1980'"))},
    };
    printPlans(b, queries);
    // Not inside the temporary folder: as root the cluster runs as the
    // postgres user, who must reach its folder.
    const QString clusterDir = QDir::temp().filePath(
        QStringLiteral("orlo-bench-pg-%1").arg(QCoreApplication::applicationPid()));
    b.server = prepareServer(b, clusterDir);
    const bool ownCluster = !b.server.isEmpty() && qEnvironmentVariableIsEmpty("ORLO_BENCH_PG_URI");
    std::vector<bool> engines = {false};
    if (!b.server.isEmpty()) {
        engines.push_back(true);
    }
    for (const bool onServer : engines) {
        const std::string engine = onServer ? "server/" : "file/";
        for (const auto& [name, text] : queries) {
            const QString copy = text;
            const std::string key = name;
            benchmark::RegisterBenchmark((engine + name).c_str(),
                                         [&b, onServer, key, copy](benchmark::State& s) {
                                             runQuery(s, b, onServer, key, copy);
                                         })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(3);
        }
        benchmark::RegisterBenchmark((engine + "finder/filter_last_name").c_str(),
                                     [&b, onServer](benchmark::State& s) {
                                         runQuery(s, b, onServer, "finder/filter_last_name",
                                                  sql::kPatientFinderList,
                                                  QStringLiteral("[LAST NAME] LIKE *Bri*"));
                                     })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        for (const bool pooled : {false, true}) {
            benchmark::RegisterBenchmark(
                (engine + (pooled ? "connect/pooled_connection" : "connect/fresh_connection"))
                    .c_str(),
                [&b, onServer, pooled](benchmark::State& s) {
                    openConnection(s, b, onServer, pooled);
                })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(10);
        }
        benchmark::RegisterBenchmark(
            (engine + "open/500k_on_demand").c_str(),
            [&b, onServer](benchmark::State& s) { openOnDemand(s, b, onServer); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark(
            (engine + "save/new_patient").c_str(),
            [&b, onServer](benchmark::State& s) { savePatient(s, b, onServer); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(20);
    }
    benchmark::RegisterBenchmark("resync/scratch_inserts_100k",
                                 [&b](benchmark::State& s) { scratchInserts(s, b); })
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSideBySide(b);
    if (ownCluster) {
        QProcess::execute(QStringLiteral(ORLO_SOURCE_DIR "/scripts/pg-test-cluster.sh"),
                          {QStringLiteral("stop"), clusterDir});
    }
    return 0;
}
