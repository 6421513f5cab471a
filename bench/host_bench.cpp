// The desk object model at clinic scale: Items.Find by "[PatientID] = n",
// "[Customer ID] = n" and "[Mileage] = n" over 100,000 contacts and 500,000
// appointments, and walking the Scheduler folder with SetColumns("Mileage")
// as the unload list does. The stores are seeded through the store file
// directly; every lookup goes through Application, folders and Items.
//
// Sizes: ORLO_BENCH_PATIENTS and ORLO_BENCH_APPOINTMENTS (defaults 100000
// and 500000). The naive form of Find (walking the folder and comparing
// each value) runs a few times at the end for the ratio.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <random>

#include "host/Application.h"
#include "host/BuiltInFields.h"
#include "host/Folders.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/store/StoreFile.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "records/FieldMaps.h"

namespace {

using namespace orlo;
using namespace orlo::host;

constexpr char16_t kTop[] = u"Orlo Networked V.1";
constexpr std::size_t kChunk = 20000;

int sizeFromEnv(const char* name, int fallback) {
    const QByteArray v = qgetenv(name);
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok && n > 0 ? n : fallback;
}

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

// Seeds one folder in chunks, each chunk one transaction.
template <typename MakeProps>
void seedFolder(StoreFile& store, FolderId folder, const QString& cls, int count, MakeProps make) {
    std::vector<PropertyMap> chunk;
    chunk.reserve(kChunk);
    for (int i = 1; i <= count; ++i) {
        chunk.push_back(make(i));
        if (chunk.size() == kChunk || i == count) {
            const auto ids = store.insertMany(folder, cls, chunk);
            if (!ids.ok()) {
                std::fprintf(stderr, "seeding failed: %s\n", qPrintable(ids.error().description));
                std::exit(1);
            }
            chunk.clear();
        }
    }
}

void seed(const QString& path, int patients, int appointments) {
    auto created = StoreFile::create(path, s(kTop));
    if (!created.ok()) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
        std::exit(1);
    }
    StoreFile& store = *created.value();
    const FolderId top = store.topFolder();
    const FolderId pf = *store.createFolder(top, QStringLiteral("Patients"), FolderKind::Contacts,
                                            s(records::kPatientMessageClass));
    const FolderId sf = *store.createFolder(top, QStringLiteral("Scheduler"), FolderKind::Calendar,
                                            s(records::kAppointmentMessageClass));
    const QDateTime base = naiveDateTime(QDate(2026, 1, 5), QTime(9, 0));
    seedFolder(store, pf, s(records::kPatientMessageClass), patients, [&](int i) {
        const QString id = QString::number(i);
        return PropertyMap{{QStringLiteral("PatientID"), Variant(id)},
                           {s(host::kCustomerIdField), Variant(id)},
                           {QStringLiteral("Last Name"), Variant(QStringLiteral("Name%1").arg(i))},
                           {QStringLiteral("First Name"), Variant(QStringLiteral("Ann"))},
                           {QStringLiteral("DOB"), Variant(QStringLiteral("01/02/1970"))},
                           {QStringLiteral("Created"), Variant(base)}};
    });
    seedFolder(store, sf, s(records::kAppointmentMessageClass), appointments, [&](int i) {
        const QString id = QString::number(i);
        const QDateTime start = base.addSecs(qint64(i) * 900);
        return PropertyMap{
            {QStringLiteral("ScheduleID"), Variant(id)},
            {s(host::kMileageField), Variant(id)},
            {QStringLiteral("Start"), Variant(start)},
            {QStringLiteral("End"), Variant(start.addSecs(900))},
            {QStringLiteral("LNAME"), Variant(QStringLiteral("Name%1").arg(i % 100000))},
            {QStringLiteral("REASON"), Variant(QStringLiteral("Review"))}};
    });
}

struct Desk {
    std::shared_ptr<Application> app;
    std::shared_ptr<MAPIFolder> patients;
    std::shared_ptr<MAPIFolder> scheduler;
};

Desk openDesk(const Clock& clock, const QString& path) {
    Desk d;
    d.app = Application::create(clock, Locale::unitedKingdom());
    auto ns = *d.app->GetNamespace(QStringLiteral("MAPI"));
    if (!ns->AddStore(path).ok()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        std::exit(1);
    }
    auto top = *ns->Folders()->Item(s(kTop));
    d.patients = *top->Folders()->Item(QStringLiteral("Patients"));
    d.scheduler = *top->Folders()->Item(QStringLiteral("Scheduler"));
    return d;
}

void findBench(benchmark::State& state, const std::shared_ptr<MAPIFolder>& folder,
               const QString& prefix, int count) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> pick(1, count);
    auto items = folder->Items();
    for (auto _ : state) {
        auto found = items->Find(prefix + QString::number(pick(rng)));
        if (!found.ok() || !*found) {
            state.SkipWithError("Find missed a seeded key");
            break;
        }
        benchmark::DoNotOptimize(found);
    }
}

// The naive Find: walk the folder reading one column, compare each value.
std::shared_ptr<Item> linearFind(const std::shared_ptr<MAPIFolder>& folder, const QString& name,
                                 const QString& key) {
    auto items = folder->Items();
    items->SetColumns(name);
    for (const auto& item : *items) {
        if (item && item->propertyText(name) == key) {
            return item;
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    const int patients = sizeFromEnv("ORLO_BENCH_PATIENTS", 100000);
    const int appointments = sizeFromEnv("ORLO_BENCH_APPOINTMENTS", 500000);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pst"));
    QElapsedTimer timer;
    timer.start();
    seed(path, patients, appointments);
    std::printf("seeded %d contacts and %d appointments through the store file in %.1f s\n",
                patients, appointments, double(timer.elapsed()) / 1000.0);

    const PinnedClock clock(naiveDateTime(QDate(2026, 3, 15), QTime(9, 30)));
    Desk desk = openDesk(clock, path);

    benchmark::RegisterBenchmark("Items.Find [PatientID] = n", [&](benchmark::State& st) {
        findBench(st, desk.patients, QStringLiteral("[PatientID] = "), patients);
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Items.Find [Customer ID] = n", [&](benchmark::State& st) {
        findBench(st, desk.patients, QStringLiteral("[Customer ID] = "), patients);
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Items.Find [Mileage] = n", [&](benchmark::State& st) {
        findBench(st, desk.scheduler, QStringLiteral("[Mileage] = "), appointments);
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Items.Find [Mileage] = n (miss)", [&](benchmark::State& st) {
        auto items = desk.scheduler->Items();
        const QString filter = QStringLiteral("[Mileage] = %1").arg(appointments + 1);
        for (auto _ : st) {
            auto found = items->Find(filter);
            benchmark::DoNotOptimize(found);
        }
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("walk Scheduler with SetColumns(Mileage)",
                                 [&](benchmark::State& st) {
                                     for (auto _ : st) {
                                         auto items = desk.scheduler->Items();
                                         items->SetColumns(QStringLiteral("Mileage"));
                                         std::int64_t n = 0;
                                         for (const auto& item : *items) {
                                             n += item ? 1 : 0;
                                         }
                                         if (n != appointments) {
                                             st.SkipWithError("walk missed items");
                                         }
                                     }
                                     st.counters["items/s"] = benchmark::Counter(
                                         double(appointments), benchmark::Counter::kIsRate);
                                 })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark(
        "walk Patients reading PatientID without SetColumns",
        [&](benchmark::State& st) {
            for (auto _ : st) {
                std::int64_t n = 0;
                const auto items = desk.patients->Items();  // alive for the whole loop
                for (const auto& item : *items) {
                    n += item->propertyText(QStringLiteral("PatientID")).isEmpty() ? 0 : 1;
                }
                if (n != patients) {
                    st.SkipWithError("walk missed items");
                }
            }
        })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark(
        "load whole items by Find (first 20,000 patients)",
        [&](benchmark::State& st) {
            for (auto _ : st) {
                auto items = desk.patients->Items();
                for (int i = 1; i <= std::min(20000, patients); ++i) {
                    auto item = items->Find(QStringLiteral("[PatientID] = %1").arg(i));
                    benchmark::DoNotOptimize(item);
                }
            }
        })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RunSpecifiedBenchmarks();

    // Ratio against the naive form, on keys spread over the folder.
    constexpr int kNaiveRuns = 3;
    double naive = 0;
    double indexed = 0;
    for (int r = 1; r <= kNaiveRuns; ++r) {
        const QString key = QString::number(appointments * r / kNaiveRuns);
        timer.restart();
        auto slow = linearFind(desk.scheduler, QStringLiteral("Mileage"), key);
        naive += double(timer.nsecsElapsed());
        timer.restart();
        auto fast = *desk.scheduler->Items()->Find(QStringLiteral("[Mileage] = ") + key);
        indexed += double(timer.nsecsElapsed());
        if (slow != fast || !fast) {
            std::fprintf(stderr, "naive and indexed Find disagree on %s\n", qPrintable(key));
            return 1;
        }
    }
    std::printf(
        "[Mileage] Find at %d appointments: naive walk %.1f ms, indexed %.3f ms, ratio %.0fx\n",
        appointments, naive / kNaiveRuns / 1e6, indexed / kNaiveRuns / 1e6, naive / indexed);
    benchmark::Shutdown();
    return 0;
}
