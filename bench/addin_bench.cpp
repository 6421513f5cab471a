// The add-in's work when the desk's main window closes, at clinic scale:
// both unload lists written from 100,000 contacts and 500,000 appointments
// (explorer close as the desk raises it, and each list alone), against the
// naive forms: walking the patients loading whole items, and writing the
// list in place instead of replacing it through a temporary file.
//
// Sizes: ORLO_BENCH_PATIENTS and ORLO_BENCH_APPOINTMENTS (defaults 100000
// and 500000). The store is seeded with the admin tool's StoreSeeder.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>

#include "addin/Connect.h"
#include "addin/OutAddIn.h"
#include "common/AddinContext.h"
#include "common/AddinFolders.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/Explorers.h"
#include "host/Folders.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "platform/ui/MessageBox.h"
#include "sync/UnloadLists.h"
#include "tools/store/AddinStore.h"
#include "tools/store/StoreSeeder.h"

namespace {

using namespace orlo;

int sizeFromEnv(const char* name, int fallback) {
    bool ok = false;
    const int n = qgetenv(name).toInt(&ok);
    return ok && n > 0 ? n : fallback;
}

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

[[noreturn]] void fail(const char* what, const QString& why) {
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(why));
    std::exit(1);
}

qint64 lineCount(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return -1;
    }
    return f.readAll().count("\r\n");
}

// A workstation: the application folder with the seeded store, a desk with
// one main window, and the add-in connected to it.
struct Workstation {
    QTemporaryDir dir;
    AppFolder folder{dir.filePath(QStringLiteral("app"))};
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 15), QTime(18, 0))};
    ScriptedMessageBoxes boxes;
    std::shared_ptr<host::Application> app;
    std::shared_ptr<host::MAPIFolder> inbox;
    std::unique_ptr<addin::Connect> connect;

    void layOut(int patients, int appointments) {
        QDir root(folder.root());
        for (const char* sub : {"PST", "META", "logs"}) {
            root.mkpath(QLatin1String(sub));
        }
        for (const char16_t* list : {sync::kPatientUnloadList, sync::kScheduleUnloadList}) {
            QFile f(folder.path(s(list)));
            if (!f.open(QIODevice::WriteOnly)) {
                fail("cannot lay out", f.fileName());
            }
        }
        auto store = tools::createAddinStore(AddinPstPath(folder));
        if (!store) {
            fail("cannot create the store", store.error().description);
        }
        if (Status st = tools::StoreSeeder::seed(**store, {patients, appointments}); !st) {
            fail("seeding failed", st.error().description);
        }
    }

    void openDesk() {
        app = host::Application::create(clock, Locale::unitedKingdom(),
                                        host::FormRegistry::standard(), &boxes);
        auto ns = *app->GetNamespace(QStringLiteral("MAPI"));
        if (!ns->AddStore(dir.filePath(QStringLiteral("desk.pst"))).ok()) {
            fail("cannot open the desk's store", dir.path());
        }
        inbox = *ns->Folders()->Item(1);
        connect =
            std::make_unique<addin::Connect>(folder, dir.filePath(QStringLiteral("registry")));
    }

    // A main window and the add-in started on it; returns the window.
    std::shared_ptr<host::Explorer> start() {
        auto explorer = app->Explorers()->Add(inbox);
        host::CustomArgs custom;
        if (Status st = connect->OnConnection(app, host::ConnectMode::Startup,
                                              host::AddInInst{s(addin::kProgId), {}, {}}, custom);
            !st) {
            fail("the add-in did not start", st.error().description);
        }
        return explorer;
    }
    void stop() {
        host::CustomArgs custom;
        connect->OnDisconnection(host::RemoveMode::HostShutdown, custom);
    }
    QString path(const char16_t* list) const { return folder.path(s(list)); }
};

// The patient list the naive way: every contact loaded whole.
QByteArray naivePatientLines(Workstation& w) {
    auto folder = *addinFolder(w.app, s(kPatientsFolderName));
    QByteArray lines;
    const Locale locale = Locale::unitedKingdom();
    const auto items = folder->Items();  // alive for the whole loop
    for (const auto& item : *items) {
        lines += item->userProperty(QStringLiteral("PatientID"))
                     .valueOr(Variant())
                     .text(locale)
                     .toUtf8();
        lines += "\r\n";
    }
    return lines;
}

long peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    const int patients = sizeFromEnv("ORLO_BENCH_PATIENTS", 100000);
    const int appointments = sizeFromEnv("ORLO_BENCH_APPOINTMENTS", 500000);

    Workstation w;
    QElapsedTimer timer;
    timer.start();
    w.layOut(patients, appointments);
    std::printf("seeded %d contacts and %d appointments in %.1f s\n", patients, appointments,
                double(timer.elapsed()) / 1000.0);
    w.openDesk();

    benchmark::RegisterBenchmark(
        "explorer close: both unload lists, then shut-down",
        [&](benchmark::State& st) {
            for (auto _ : st) {
                st.PauseTiming();
                auto explorer = w.start();
                st.ResumeTiming();
                explorer->Close();
            }
            if (lineCount(w.path(sync::kPatientUnloadList)) != patients ||
                lineCount(w.path(sync::kScheduleUnloadList)) != appointments) {
                st.SkipWithError("a list misses lines");
            }
            st.counters["items/s"] =
                benchmark::Counter(double(patients + appointments), benchmark::Counter::kIsRate);
        })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);

    const auto listBench = [&](const char* name, Status (*write)(AddinContext&), int count) {
        benchmark::RegisterBenchmark(name,
                                     [&w, write, count](benchmark::State& st) {
                                         auto explorer = w.start();
                                         for (auto _ : st) {
                                             if (!write(*w.connect->context()).ok()) {
                                                 st.SkipWithError("the list was not written");
                                             }
                                         }
                                         w.stop();
                                         st.counters["items/s"] = benchmark::Counter(
                                             double(count), benchmark::Counter::kIsRate);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    };
    listBench("WritePatientUnloadList", &sync::WritePatientUnloadList, patients);
    listBench("WriteScheduleUnloadList", &sync::WriteScheduleUnloadList, appointments);
    benchmark::RunSpecifiedBenchmarks();

    // Ratios against the naive forms, timed once each.
    w.start();
    AddinContext& ctx = *w.connect->context();
    timer.restart();
    const QByteArray slow = naivePatientLines(w);
    const double naiveWalk = double(timer.nsecsElapsed());
    timer.restart();
    if (!sync::WritePatientUnloadList(ctx).ok()) {
        fail("patient list", QStringLiteral("not written"));
    }
    const double columnWalk = double(timer.nsecsElapsed());
    QFile written(w.path(sync::kPatientUnloadList));
    if (!written.open(QIODevice::ReadOnly) || written.readAll() != slow) {
        fail("patient list", QStringLiteral("the two walks disagree"));
    }
    std::printf(
        "patient list at %d contacts: whole items %.0f ms, one column %.0f ms, ratio %.1fx\n",
        patients, naiveWalk / 1e6, columnWalk / 1e6, naiveWalk / columnWalk);

    // The cost of the safe replace alone: the schedule list's bytes written
    // in place, and through a temporary file renamed over the list (with
    // its flush to disk), as the writers do.
    const QByteArray bytes = [&] {
        QFile f(w.path(sync::kScheduleUnloadList));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const QString target = w.dir.filePath(QStringLiteral("copy.log"));
    timer.restart();
    {
        QFile f(target);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
            fail("in-place write", f.fileName());
        }
    }
    const double inPlace = double(timer.nsecsElapsed());
    timer.restart();
    {
        QSaveFile f(target);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
            fail("safe replace", f.fileName());
        }
    }
    const double replaced = double(timer.nsecsElapsed());
    std::printf(
        "writing %lld bytes: in place %.1f ms, temporary file and rename %.1f ms, "
        "ratio %.1fx\n",
        static_cast<long long>(bytes.size()), inPlace / 1e6, replaced / 1e6, replaced / inPlace);
    w.stop();
    std::printf("peak memory: %ld MB\n", peakRssMb());
    benchmark::Shutdown();
    return 0;
}
