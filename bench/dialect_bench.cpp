// The SQL dialect's cost: translating the longest report query and the
// 55-column appointment UPDATE (against SQLite's own prepare of the result),
// and the registered DATEDIFF and LIKE over 100,000 rows against SQLite's
// built-in forms of the same test.

#include <benchmark/benchmark.h>

#include <sqlite3.h>
#include <QCoreApplication>
#include <QStringList>
#include <chrono>
#include <cstdio>
#include <functional>

#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/dialect/Dialect.h"

using namespace orlo;

namespace {

constexpr int kRows = 100000;

// The recall-by-month query, the longest of the report texts.
const QString kRecallMonth = QStringLiteral(
    "SELECT PATIENTS.PT_ID, SCHEDULED.RECALLDUEDATE AS FLD1 , PATIENTS.[LAST NAME] AS FLD2 , "
    "PATIENTS.[FIRST NAME] AS FLD3 , PATIENTS.DOB AS FLD4 , PATIENTS.HOUSENO AS FLD5 , "
    "PATIENTS.STREET1 AS FLD6 , PATIENTS.STREET2 AS FLD7 , PATIENTS.CITY AS FLD8 , PATIENTS.STATE "
    "AS FLD9 , PATIENTS.ZIP_CODE AS FLD10 , PATIENTS.WORK_TEL AS FLD11 , PATIENTS.HOME_TEL AS "
    "FLD12 FROM PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID AND "
    "SCHEDULED.RECALLDUEDATE between DateSerial(2026,12,1) And DateSerial(2026,12+1,0) ORDER BY "
    "SCHEDULED.RECALLDUEDATE");

// The 6-week overdue report, the longest with date arithmetic.
const QString kOverdue = QStringLiteral(
    "SELECT PATIENTS.*, SCHEDULED.* From PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    "And SCHEDULED.RECALLDUEDATE<Now() And DATEDIFF('d',SCHEDULED.RECALLDUEDATE,Now())>=42 And "
    "DATEDIFF('d',SCHEDULED.RECALLDUEDATE,Now())<84 And (SELECT COUNT(*) FROM SCHEDULED WHERE "
    "SCHEDULED.PT_ID=PATIENTS.PT_ID And SCHEDULED.START_TIME>Now() AND (DATEDIFF('d', "
    "SCHEDULED.START_TIME, Now)>0 OR DATEDIFF('d', SCHEDULED.START_TIME, Now)<84))=0 ORDER BY "
    "[SCHEDULED.RECALLDUEDATE]");

QString scheduleUpdate() {
    QString sql = QStringLiteral("UPDATE SCHEDULED SET START_TIME = '10/03/2026 09:00:00'");
    for (int i = 2; i <= 55; ++i) {
        sql += QStringLiteral(", C%1 = 'O''Brien value %1'").arg(i);
    }
    return sql + QStringLiteral(" WHERE SCHEDULE_ID = 3");
}

bool isDate(QStringView, QStringView column) {
    return column == u"START_TIME" || column == u"RECALLDUEDATE";
}

struct Database {
    sqlite3* db = nullptr;
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 10), QTime(9, 30))};

    Database() {
        sqlite3_open(":memory:", &db);
        if (!data::registerJetFunctions(db, clock, Locale::unitedKingdom()).ok()) {
            std::fprintf(stderr, "cannot register the dialect's functions\n");
        }
        exec("CREATE TABLE T (D TEXT, N TEXT)");
        exec("BEGIN");
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO T VALUES (?, ?)", -1, &st, nullptr);
        for (int i = 0; i < kRows; ++i) {
            const QByteArray d =
                data::canonicalDate(
                    naiveDateTime(QDate(2020, 1, 1).addDays(i % 3000), QTime(i % 24, i % 60)))
                    .toUtf8();
            const QByteArray n = QStringLiteral("O'Brien Smith %1").arg(i).toUtf8();
            sqlite3_bind_text(st, 1, d.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, n.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        exec("COMMIT");
    }
    ~Database() { sqlite3_close(db); }
    void exec(const char* sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
    long long count(const QString& sql, const QString& param = QString()) {
        sqlite3_stmt* st = nullptr;
        const QByteArray utf8 = sql.toUtf8();
        sqlite3_prepare_v2(db, utf8.constData(), -1, &st, nullptr);
        const QByteArray p = param.toUtf8();
        if (!param.isNull()) {
            sqlite3_bind_text(st, 1, p.constData(), -1, SQLITE_TRANSIENT);
        }
        long long n = -1;
        if (sqlite3_step(st) == SQLITE_ROW) {
            n = sqlite3_column_int64(st, 0);
        }
        sqlite3_finalize(st);
        return n;
    }
};

void translate(benchmark::State& state, const QString& sql) {
    const data::DialectContext ctx{isDate};
    for (auto _ : state) {
        auto out = data::translateJetSql(sql, ctx);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(state.iterations() * sql.size());
}
BENCHMARK_CAPTURE(translate, RecallMonthQuery, kRecallMonth);
BENCHMARK_CAPTURE(translate, OverdueReport, kOverdue);
BENCHMARK_CAPTURE(translate, ScheduleUpdate55Columns, scheduleUpdate());

void BM_Filter(benchmark::State& state) {
    const QString filter = QStringLiteral("[LAST NAME] LIKE *O'Brien Smith*");
    for (auto _ : state) {
        auto out = data::translateFilter(filter);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_Filter);

// Seconds per call of f, over enough calls to last about 0.2 s.
double secondsPerCall(const std::function<void()>& f) {
    using Clock = std::chrono::steady_clock;
    long calls = 0;
    const auto start = Clock::now();
    auto elapsed = Clock::duration::zero();
    while (elapsed < std::chrono::milliseconds(200)) {
        f();
        ++calls;
        elapsed = Clock::now() - start;
    }
    return std::chrono::duration<double>(elapsed).count() / static_cast<double>(calls);
}

void compare(const char* what, const std::function<void()>& ours, const char* naiveName,
             const std::function<void()>& naive) {
    const double a = secondsPerCall(ours);
    const double b = secondsPerCall(naive);
    std::printf("%-44s %10.3f ms   %-30s %10.3f ms   ratio %.2f\n", what, a * 1e3, naiveName,
                b * 1e3, a / b);
}

void ratios() {
    Database d;
    std::printf("\n%d rows, one call = one full scan:\n", kRows);
    long long sink = 0;
    compare(
        "DATEDIFF('d', D, Now()) >= 42",
        [&] {
            sink += d.count(QStringLiteral(
                "SELECT COUNT(*) FROM T WHERE jet_datediff('d', D, jet_now()) >= 42"));
        },
        "julianday(date()) - julianday",
        [&] {
            sink +=
                d.count(QStringLiteral("SELECT COUNT(*) FROM T WHERE julianday(date('2026-03-10')) "
                                       "- julianday(date(D)) >= 42"));
        });
    const auto clause = data::translateFilter(QStringLiteral("[N] LIKE *o'brien smith 99*"));
    compare(
        "Filter LIKE *o'brien smith 99* (no case)",
        [&] {
            sink += d.count(QStringLiteral("SELECT COUNT(*) FROM T WHERE ") + clause->where,
                            clause->parameters.front());
        },
        "instr(lower(N), lower(?)) > 0",
        [&] {
            sink += d.count(
                QStringLiteral("SELECT COUNT(*) FROM T WHERE instr(lower(N), lower(?)) > 0"),
                QStringLiteral("o'brien smith 99"));
        });
    const QString translated = data::translateJetSql(kOverdue, {isDate}).value();
    const QByteArray sql =
        QString(translated).replace(QStringLiteral("PATIENTS"), QStringLiteral("T")).toUtf8();
    compare(
        "translate the 6-week overdue report",
        [&] { benchmark::DoNotOptimize(data::translateJetSql(kOverdue, {isDate})); },
        "sqlite3_prepare of a like text",
        [&] {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(d.db,
                               "SELECT D, N FROM T WHERE D < jet_now() AND jet_datediff('d', "
                               "D, jet_now()) >= 42 AND (SELECT COUNT(*) FROM T AS U WHERE "
                               "U.N = T.N AND U.D > jet_now() AND (jet_datediff('d', U.D, "
                               "jet_now()) > 0 OR jet_datediff('d', U.D, jet_now()) < 84)) = 0 "
                               "ORDER BY D",
                               -1, &st, nullptr);
            sqlite3_finalize(st);
        });
    std::printf("translated overdue report (%lld):\n%s\n", sink % 2,
                translated.toUtf8().constData());
    benchmark::DoNotOptimize(sql);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ratios();
    return 0;
}
