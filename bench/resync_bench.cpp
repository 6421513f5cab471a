// The start-up resync at clinic scale (100,000 patients, 500,000
// appointments): CPU and wall time of both folders' resync
//   (a) the difference with a complete folder (nothing to create),
//   (b) the difference with 1% of the items missing,
//   (c) the full check (empty unload lists) with a complete folder,
//   (d) a fresh workstation: empty store, every item created;
// and, on 20,000 keys, (a) for patients against the literal form (one
// autocommitted INSERT text per key into the scratch tables). Peak memory.
//
// Sizes: ORLO_BENCH_PATIENTS and ORLO_BENCH_APPOINTMENTS (defaults 100000
// and 500000); ORLO_BENCH_GAPS=0 skips (b), ORLO_BENCH_FRESH=0 skips (d),
// ORLO_BENCH_RATIO=0 the ratio. ORLO_BENCH_A_ONLY=N runs (a) alone, N times,
// over an empty store (for a profiler): lists naming every key send no key
// to the folder, so the store's content does not change what (a) does.

#include <sqlite3.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <functional>

#include "common/AddinContext.h"
#include "common/basRegistry.h"
#include "host/Application.h"
#include "host/Folders.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/store/StoreFile.h"
#include "platform/data/DatabaseFile.h"
#include "platform/registry/RegistryStore.h"
#include "platform/ui/MessageBox.h"
#include "records/Schema.h"
#include "sync/ScratchDatabase.h"
#include "sync/UnloadLists.h"
#include "sync/basResync.h"
#include "tools/store/AddinStore.h"
#include "tools/store/StoreSeeder.h"

namespace {

using namespace orlo;

int sizeFromEnv(const char* name, int fallback) {
    bool ok = false;
    const int n = qgetenv(name).toInt(&ok);
    return ok && n >= 0 ? n : fallback;
}

[[noreturn]] void fail(const char* what, const QString& why) {
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(why));
    std::exit(1);
}

long peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Rows 1..n of each table, with names, dates and a few clinical values.
void seedRows(const QString& path, int patients, int appointments) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* p = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB, CITY, "
                       "HOME_TEL, EMAIL1, CLINICAL_MED1, NOTES_NOTES1, DELETE_FLAG) VALUES "
                       "(?1, 'Surname' || ?1, 'Given', '02/03/1980', 'Leeds', '0113 496 0000', "
                       "'p' || ?1 || '@example.org', 'none', 'notes', 'NO')",
                       -1, &p, nullptr);
    for (int k = 1; k <= patients; ++k) {
        sqlite3_bind_int(p, 1, k);
        sqlite3_step(p);
        sqlite3_reset(p);
    }
    sqlite3_finalize(p);
    sqlite3_stmt* a = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO SCHEDULED (SCHEDULE_ID, START_TIME, END_TIME, LAST_NAME, "
                       "FIRST_NAME, REASON, STATUS, RECALLPERIOD, RECALLDUEDATE, PT_ID, BALANCE1) "
                       "VALUES (?1, '2026-03-02 09:00:00', '2026-03-02 09:30:00', 'Surname', "
                       "'Given', 'Check-up', 'ATTENDED', '6', '2026-09-02 00:00:00', ?2, '0')",
                       -1, &a, nullptr);
    for (int k = 1; k <= appointments; ++k) {
        sqlite3_bind_int(a, 1, k);
        sqlite3_bind_int(a, 2, 1 + k % std::max(patients, 1));
        sqlite3_step(a);
        sqlite3_reset(a);
    }
    sqlite3_finalize(a);
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail("cannot seed the database", QString::fromUtf8(sqlite3_errmsg(db)));
    }
    sqlite3_close_v2(db);
}

struct Figures {
    double wallS;
    double cpuS;
    double sysS;       // of cpuS, in the kernel (page faults, file writes)
    long minorFaults;  // pages first touched: fresh memory, newly mapped file
};

double seconds(const timeval& t) {
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

Figures measure(const std::function<void()>& work) {
    QElapsedTimer wall;
    wall.start();
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const std::clock_t cpu = std::clock();
    work();
    const double cpuS = double(std::clock() - cpu) / CLOCKS_PER_SEC;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    return {double(wall.nsecsElapsed()) / 1e9, cpuS,
            seconds(after.ru_stime) - seconds(before.ru_stime), after.ru_minflt - before.ru_minflt};
}

void print(const char* what, Figures f) {
    std::printf("%-58s wall %8.2f s   cpu %8.2f s (sys %.2f s, %ld page faults)\n", what, f.wallS,
                f.cpuS, f.sysS, f.minorFaults);
    std::fflush(stdout);
}

// One workstation: the seeded shared database, the add-in's store and the
// add-in's context over a desk application.
struct Workstation {
    QTemporaryDir dir;
    AppFolder folder{dir.filePath(QStringLiteral("app"))};
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 15), QTime(8, 0))};
    Locale locale = Locale::unitedKingdom();
    ScriptedMessageBoxes boxes;
    std::unique_ptr<RegistryStore> registryStore;
    std::unique_ptr<basRegistry> registry;
    std::unique_ptr<AddinContext> ctx;
    std::shared_ptr<host::Application> app;
    QString db;

    void layOut(int patients, int appointments) {
        QDir root(folder.root());
        for (const char* sub : {"PST", "META", "logs", "Database"}) {
            root.mkpath(QLatin1String(sub));
        }
        db = folder.path(QStringLiteral("Database/Patients.mdb"));
        if (Status s = data::createDatabaseFile(db, records::sharedSchemaStatements(),
                                                data::DatabaseKind::Shared);
            !s) {
            fail("cannot create the database", s.error().description);
        }
        seedRows(db, patients, appointments);
        registryStore = std::make_unique<RegistryStore>(dir.filePath(QStringLiteral("registry")));
        registry = std::make_unique<basRegistry>(*registryStore, locale);
        ctx = std::make_unique<AddinContext>(clock, locale, boxes, folder, *registry);
        app = host::Application::create(clock, locale);
        ctx->application = app;
    }

    // Opens the store file `name` under PST/ (made and seeded first when
    // asked), in place of any store open before.
    void openStore(const QString& name, int patients, int appointments, bool seed) {
        const QString path = dir.filePath(QStringLiteral("app/PST/") + name);
        if (!QFile::exists(path)) {
            auto store = tools::createAddinStore(path);
            if (!store) {
                fail("cannot create the store", store.error().description);
            }
            if (seed) {
                if (Status s = tools::StoreSeeder::seed(**store, {patients, appointments}); !s) {
                    fail("cannot seed the store", s.error().description);
                }
            }
        }
        auto ns = *app->GetNamespace(QStringLiteral("MAPI"));
        if (auto open = ns->Folders()->Item(QStringLiteral("Orlo Networked V.1")); open) {
            if (Status s = ns->RemoveStore(*open); !s) {
                fail("cannot close the store", s.error().description);
            }
        }
        if (Status s = ns->AddStore(path); !s) {
            fail("cannot open the store", s.error().description);
        }
    }

    // The unload lists naming keys 1..n, except every `gap`-th (0: none).
    void writeLists(int patients, int appointments, int gap) {
        const auto write = [&](const char16_t* list, int n) {
            QByteArray lines;
            for (int k = 1; k <= n; ++k) {
                if (gap == 0 || k % gap != 0) {
                    lines += QByteArray::number(k) + "\r\n";
                }
            }
            QFile f(folder.path(QString::fromUtf16(list)));
            if (!f.open(QIODevice::WriteOnly) || f.write(lines) != lines.size()) {
                fail("cannot write a list", f.fileName());
            }
        };
        write(sync::kPatientUnloadList, patients);
        write(sync::kScheduleUnloadList, appointments);
    }

    void resyncBoth() {
        ctx->PatientItemSaveEnabled = ctx->ApptItemSaveEnabled = true;
        if (!sync::ResyncPatients(*ctx, db).ok() || !sync::ResyncSchedules(*ctx, db).ok()) {
            fail("the resync failed", boxes.shown().empty() ? QString() : boxes.shown()[0].text);
        }
    }
    int count(const char* folderName) {
        auto top = *(*app->GetNamespace(QStringLiteral("MAPI")))
                        ->Folders()
                        ->Item(QStringLiteral("Orlo Networked V.1"));
        return *(*top->Folders()->Item(QString::fromLatin1(folderName)))->Items()->Count();
    }
};

// The scratch step as the design wrote it: one autocommitted INSERT text per
// key into a durable file, then the difference and the two DELETEs.
double literalScratchStep(const QString& path, int keys) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    QElapsedTimer wall;
    wall.start();
    for (const char* table : {"tempPatientDB", "tempPatientOL"}) {
        for (int k = 1; k <= keys; ++k) {
            const QByteArray sql =
                QByteArray("INSERT INTO ") + table + " (ids) Values(" + QByteArray::number(k) + ")";
            sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
        }
    }
    sqlite3_exec(db,
                 "SELECT ids FROM tempPatientDB WHERE not exists (select ids from tempPatientOL "
                 "Where tempPatientDB.ids = tempPatientOL.ids)",
                 nullptr, nullptr, nullptr);
    sqlite3_exec(db, "DELETE FROM tempPatientOL; DELETE FROM tempPatientDB;", nullptr, nullptr,
                 nullptr);
    const double s = double(wall.nsecsElapsed()) / 1e9;
    sqlite3_close_v2(db);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    const int patients = sizeFromEnv("ORLO_BENCH_PATIENTS", 100000);
    const int appointments = sizeFromEnv("ORLO_BENCH_APPOINTMENTS", 500000);
    const bool fresh = sizeFromEnv("ORLO_BENCH_FRESH", 1) != 0;
    const bool ratio = sizeFromEnv("ORLO_BENCH_RATIO", 1) != 0;
    const bool gaps = sizeFromEnv("ORLO_BENCH_GAPS", 1) != 0;
    const int aOnly = sizeFromEnv("ORLO_BENCH_A_ONLY", 0);

    Workstation w;
    const Figures seeded = measure([&] {
        w.layOut(patients, appointments);
        w.openStore(QStringLiteral("complete.pst"), patients, appointments, aOnly == 0);
    });
    std::printf("%d patients, %d appointments (seeded in %.1f s)\n", patients, appointments,
                seeded.wallS);
    if (aOnly > 0) {
        w.writeLists(patients, appointments, 0);
        for (int i = 0; i < aOnly; ++i) {
            print("(a) difference, every key listed (goal < 1 s)",
                  measure([&] { w.resyncBoth(); }));
        }
        if (w.count("Patients") != 0 || w.count("Scheduler") != 0) {
            fail("(a) created items", {});
        }
        std::printf("peak memory %ld MB (goal < 500 MB)\n", peakRssMb());
        return 0;
    }

    // (b) first: 1% of the items gone from the folder and from the lists.
    if (gaps) {
        const QString path = w.dir.filePath(QStringLiteral("app/PST/gaps.pst"));
        auto store = tools::createAddinStore(path);
        if (!store) {
            fail("cannot create the store", store.error().description);
        }
        const auto folders = *tools::addinFolders(**store);
        // In groups, so that the seeding's own items do not set the peak
        // memory the resync is measured by.
        constexpr int kGroup = 10000;
        for (int first = 1; first <= std::max(patients, appointments); first += kGroup) {
            std::vector<host::PropertyMap> contacts;
            std::vector<host::PropertyMap> visits;
            for (int k = first; k < first + kGroup; ++k) {
                if (k % 100 != 0 && k <= patients) {
                    contacts.push_back(tools::StoreSeeder::contact(k));
                }
                if (k % 100 != 0 && k <= appointments) {
                    visits.push_back(tools::StoreSeeder::appointment(k, patients));
                }
            }
            if (!(*store)
                     ->insertMany(folders.patients, QStringLiteral("IPM.Contact.Patient"), contacts)
                     .ok() ||
                !(*store)
                     ->insertMany(folders.scheduler, QStringLiteral("IPM.Appointment.Scheduler"),
                                  visits)
                     .ok()) {
                fail("cannot seed the store", path);
            }
        }
    }
    if (gaps) {
        w.openStore(QStringLiteral("gaps.pst"), 0, 0, false);
        w.writeLists(patients, appointments, 100);
        print("(b) difference, 1% missing (both folders)", measure([&] { w.resyncBoth(); }));
        if (w.count("Patients") != patients || w.count("Scheduler") != appointments) {
            fail("(b) left items missing", {});
        }
    }

    w.openStore(QStringLiteral("complete.pst"), 0, 0, false);
    w.writeLists(patients, appointments, 0);
    print("(a) difference, complete folders (goal < 1 s)", measure([&] { w.resyncBoth(); }));
    QFile::resize(w.folder.path(QString::fromUtf16(sync::kPatientUnloadList)), 0);
    QFile::resize(w.folder.path(QString::fromUtf16(sync::kScheduleUnloadList)), 0);
    print("(c) full check, complete folders (goal < 5 s)", measure([&] { w.resyncBoth(); }));

    if (fresh) {
        w.openStore(QStringLiteral("fresh.pst"), 0, 0, false);
        print("(d) fresh workstation, every item created (goal < 180 s)",
              measure([&] { w.resyncBoth(); }));
        if (w.count("Patients") != patients || w.count("Scheduler") != appointments) {
            fail("(d) left items missing", {});
        }
    }

    // The ratio on 20,000 keys: patients only, complete folder, full list.
    if (ratio) {
        constexpr int kKeys = 20000;
        Workstation small;
        small.layOut(kKeys, 0);
        small.openStore(QStringLiteral("complete.pst"), kKeys, 0, true);
        small.writeLists(kKeys, 0, 0);
        const Figures ours = measure([&] {
            if (!sync::ResyncPatients(*small.ctx, small.db).ok()) {
                fail("the resync failed", {});
            }
        });
        const QString scratch = *sync::ensureScratchDatabase(small.folder);
        const double literal = literalScratchStep(scratch, kKeys);
        std::printf(
            "(a) on %d patient keys: %.3f s; literal form %.3f s; ratio %.1fx (goal >= 20x)\n",
            kKeys, ours.wallS, literal, literal / ours.wallS);
    }
    std::printf("peak memory %ld MB (goal < 500 MB)\n", peakRssMb());
    return 0;
}
