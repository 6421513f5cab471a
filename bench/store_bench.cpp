// The item store at clinic scale (100,000 contacts, 500,000 appointments):
// open time, Find on an id property against a linear scan over column(),
// iterating one column, a durable save and a durable insert per item, and
// peak memory.
//
//   store_bench [--store PATH] [google benchmark flags]
// Without --store it seeds a fresh store in a temporary folder (a few
// minutes); with --store it uses (and seeds, when empty) the given file.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

#include "host/store/FindKey.h"
#include "host/store/StoreFile.h"
#include "records/FieldMaps.h"
#include "tools/store/AddinStore.h"
#include "tools/store/StoreSeeder.h"

using namespace orlo;
using namespace orlo::host;
using namespace orlo::tools;

namespace {

constexpr std::int64_t kContacts = 100000;
constexpr std::int64_t kAppointments = 500000;

// A line of /proc/self/status in kB ("VmHWM", "VmRSS").
long statusKb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size()).trimmed().split(' ').front().toLong();
        }
    }
    return -1;
}

// Starts a new peak: the seeding's memory is not the store's.
void resetPeakRss() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) {
        f.write("5");
    }
}

struct Context {
    QString path;
    std::unique_ptr<StoreFile> store;
    AddinFolders folders;
    double openMs = 0;
    double findUs = 0;
    double scanUs = 0;
};

bool prepare(Context& c) {
    if (!QFileInfo::exists(c.path)) {
        if (auto made = createAddinStore(c.path); !made) {
            std::fprintf(stderr, "%s\n", qPrintable(made.error().description));
            return false;
        }
    }
    auto opened = StoreFile::open(c.path);
    if (!opened) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.error().description));
        return false;
    }
    std::unique_ptr<StoreFile> store = std::move(opened).value();
    const AddinFolders f = addinFolders(*store).value();
    const SeedCounts missing{
        std::max<std::int64_t>(0, kContacts - store->itemCount(f.patients).valueOr(0)),
        std::max<std::int64_t>(0, kAppointments - store->itemCount(f.scheduler).valueOr(0))};
    if (missing.contacts > 0 || missing.appointments > 0) {
        QElapsedTimer t;
        t.start();
        if (Status s = StoreSeeder::seed(*store, missing); !s) {
            std::fprintf(stderr, "%s\n", qPrintable(s.error().description));
            return false;
        }
        std::printf("seeded %lld contacts and %lld appointments in %.1f s (%.1f MB file)\n",
                    static_cast<long long>(missing.contacts),
                    static_cast<long long>(missing.appointments), t.elapsed() / 1000.0,
                    QFileInfo(c.path).size() / 1e6);
    }
    store.reset();
    resetPeakRss();

    // Open as the add-in does: the file, then its two folders by name.
    QElapsedTimer t;
    t.start();
    auto reopened = StoreFile::open(c.path);
    if (!reopened) {
        return false;
    }
    c.folders = addinFolders(**reopened).value();
    c.openMs = static_cast<double>(t.nsecsElapsed()) / 1e6;
    c.store = std::move(reopened).value();
    return true;
}

std::int64_t randomId(std::int64_t n) {
    return 1 + static_cast<std::int64_t>(QRandomGenerator::global()->bounded(quint64(n)));
}

void BM_Open(benchmark::State& state, Context* c) {
    for (auto _ : state) {
        auto store = StoreFile::open(c->path);
        auto folders = addinFolders(**store);
        benchmark::DoNotOptimize(folders);
    }
}

void BM_FindFirstMileage(benchmark::State& state, Context* c) {
    for (auto _ : state) {
        auto found = c->store->findFirst(c->folders.scheduler, QStringLiteral("Mileage"),
                                         QString::number(randomId(kAppointments)));
        benchmark::DoNotOptimize(found);
    }
}

void BM_FindFirstCustomerId(benchmark::State& state, Context* c) {
    for (auto _ : state) {
        auto found = c->store->findFirst(c->folders.patients, QStringLiteral("Customer ID"),
                                         QString::number(randomId(kContacts)));
        benchmark::DoNotOptimize(found);
    }
}

// The naive Find: stream the column and compare every value.
void BM_LinearScanMileage(benchmark::State& state, Context* c) {
    for (auto _ : state) {
        const auto wanted = FindKey::fullText(QString::number(randomId(kAppointments)));
        std::optional<ItemId> found;
        const auto column = c->store->column(c->folders.scheduler, QStringLiteral("Mileage"));
        for (const auto& [id, value] : column.value()) {
            if (FindKey::fullText(value) == wanted) {
                found = id;
                break;
            }
        }
        benchmark::DoNotOptimize(found);
    }
}

void BM_ColumnMileage(benchmark::State& state, Context* c) {
    std::size_t rows = 0;
    for (auto _ : state) {
        auto column = c->store->column(c->folders.scheduler, QStringLiteral("Mileage"));
        rows = column.ok() ? column->size() : 0;
        benchmark::DoNotOptimize(column);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_SaveAppointment(benchmark::State& state, Context* c) {
    for (auto _ : state) {
        const std::int64_t key = randomId(kAppointments);
        const auto id = c->store->findFirst(c->folders.scheduler, QStringLiteral("ScheduleID"),
                                            QString::number(key));
        PropertyMap p = StoreSeeder::appointment(key, kContacts);
        p[QStringLiteral("PScomments")] = QStringLiteral("saved by the benchmark");
        if (!id || !*id || !c->store->update(**id, p).ok()) {
            state.SkipWithError("save failed");
            break;
        }
    }
}

void BM_InsertAppointment(benchmark::State& state, Context* c) {
    std::int64_t key = 10 * kAppointments;
    for (auto _ : state) {
        if (!c->store->insert(c->folders.scheduler,
                              QString::fromUtf16(records::kAppointmentMessageClass),
                              StoreSeeder::appointment(++key, kContacts))) {
            state.SkipWithError("insert failed");
            break;
        }
    }
}

double meanUs(const std::function<void()>& f, int n) {
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i) {
        f();
    }
    return static_cast<double>(t.nsecsElapsed()) / 1e3 / n;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Context c;
    c.path = dir.filePath(QStringLiteral("bench.pst"));
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--store" && i + 1 < argc) {
            c.path = QString::fromLocal8Bit(argv[++i]);
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (!prepare(c)) {
        return 1;
    }
    std::printf("open (file and folders by name): %.2f ms, cold in this process\n", c.openMs);

    benchmark::RegisterBenchmark("Open", BM_Open, &c)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FindFirst/Mileage/500k", BM_FindFirstMileage, &c)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("FindFirst/CustomerID/100k", BM_FindFirstCustomerId, &c)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("LinearScan/Mileage/500k", BM_LinearScanMileage, &c)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("Column/Mileage/500k", BM_ColumnMileage, &c)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("Save/appointment", BM_SaveAppointment, &c)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(200);
    benchmark::RegisterBenchmark("Insert/appointment", BM_InsertAppointment, &c)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(200);

    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    // The ratio of the naive Find to the indexed one, measured here side by side.
    const double find = meanUs(
        [&] {
            benchmark::DoNotOptimize(c.store->findFirst(c.folders.scheduler,
                                                        QStringLiteral("Mileage"),
                                                        QString::number(randomId(kAppointments))));
        },
        2000);
    const double scan = meanUs(
        [&] {
            const auto wanted = FindKey::fullText(QString::number(randomId(kAppointments)));
            const auto column = c.store->column(c.folders.scheduler, QStringLiteral("Mileage"));
            for (const auto& [id, value] : column.value()) {
                if (FindKey::fullText(value) == wanted) {
                    benchmark::DoNotOptimize(id);
                    break;
                }
            }
        },
        3);
    std::printf("findFirst %.1f us, linear scan over column() %.0f us: ratio %.0fx\n", find, scan,
                scan / find);
    std::printf("peak RSS after seeding (VmHWM): %ld kB; now (VmRSS): %ld kB\n", statusKb("VmHWM"),
                statusKb("VmRSS"));
    return 0;
}
