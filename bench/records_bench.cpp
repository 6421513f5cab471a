// Patient and appointment saves and opens at a clinic's full size: 100,000
// patients and 500,000 appointments seeded into a temporary shared
// database, the add-in's store beside it, and the item handlers bound to
// the items as the add-in binds the tracked ones. Times, per operation: a
// new contact saved (duplicate check, insert, key on the item), a saved
// contact saved again (duplicate check, UPDATE), the refresh on open, and
// the same three for an appointment. Shows the duplicate check's plan and
// its time against the same query forced to scan the table, and what a new
// row costs when it is added through the bare table (fetched whole) instead
// of a query of no rows.

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "TestDatabases.h"
#include "common/AddinContext.h"
#include "common/ItemFolders.h"
#include "common/basRegistry.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/Explorers.h"
#include "host/Folders.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/events/Subscription.h"
#include "host/store/StoreFile.h"
#include "patients/PatientItemHandlers.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/data/Connection.h"
#include "platform/data/DatabaseFile.h"
#include "platform/data/Recordset.h"
#include "platform/registry/RegistryStore.h"
#include "platform/ui/MessageBox.h"
#include "records/FieldMaps.h"
#include "records/Schema.h"
#include "schedule/AppointmentItemHandlers.h"
#include "tools/Seeder.h"

using namespace orlo;

namespace {

// A value the benchmark cannot set makes every figure after it meaningless.
void mustSet(host::Item& item, const QString& name, const Variant& value) {
    if (!item.setUserProperty(name, value).ok()) {
        std::fprintf(stderr, "cannot set %s\n", qPrintable(name));
        std::abort();
    }
}

constexpr qint64 kPatients = 100000;
constexpr qint64 kAppointments = 500000;

QString qs(const char16_t* s) {
    return QString::fromUtf16(s);
}

struct World {
    QTemporaryDir dir;
    QString shared;
    PinnedClock clock{naiveDateTime(QDate(2026, 6, 15), QTime(10, 0))};
    Locale locale = Locale::unitedKingdom();
    ScriptedMessageBoxes boxes;
    std::unique_ptr<RegistryStore> registryStore;
    std::unique_ptr<basRegistry> registry;
    std::unique_ptr<AddinContext> ctx;
    std::shared_ptr<host::Application> app;
    std::shared_ptr<host::MAPIFolder> patientsFolder;
    std::shared_ptr<host::MAPIFolder> schedulerFolder;
    std::shared_ptr<host::Explorer> explorer;
    std::unique_ptr<patients::PatientItemHandlers> patientHandlers;
    std::unique_ptr<schedule::AppointmentItemHandlers> appointmentHandlers;
    // A patient of the seed, for the duplicate check.
    QString last, first, dob;

    bool setUp() {
        const QDir root(dir.path());
        root.mkpath(QStringLiteral("logs"));
        shared = root.filePath(QStringLiteral("Patients.mdb"));
        QElapsedTimer seeding;
        seeding.start();
        tools::SeedOptions options;
        options.patients = kPatients;
        options.appointments = kAppointments;
        options.seed = 2026;
        options.now = clock.now();
        if (!orlo::test::seedClinic(shared, options, locale)) {
            return false;
        }
        std::printf("seeded %lld patients and %lld appointments in %.1f s\n", kPatients,
                    kAppointments, double(seeding.elapsed()) / 1000.0);

        registryStore = std::make_unique<RegistryStore>(root.filePath(QStringLiteral("registry")));
        registry = std::make_unique<basRegistry>(*registryStore, locale);
        ctx =
            std::make_unique<AddinContext>(clock, locale, boxes, AppFolder(dir.path()), *registry);
        ctx->DbLocation = shared;
        ctx->PatientItemSaveEnabled = true;
        ctx->ApptItemSaveEnabled = true;

        const QString pst = root.filePath(QStringLiteral("addin.pst"));
        if (!host::StoreFile::create(pst, qs(kAddinTopFolderName))) {
            return false;
        }
        app = host::Application::create(clock, locale);
        auto ns = *app->GetNamespace(QStringLiteral("MAPI"));
        if (!ns->AddStore(pst)) {
            return false;
        }
        auto top = *ns->Folders()->Item(qs(kAddinTopFolderName));
        patientsFolder = *top->Folders()->Add(qs(kPatientsFolderName), host::FolderKind::Contacts,
                                              qs(records::kPatientMessageClass));
        schedulerFolder = *top->Folders()->Add(qs(kSchedulerFolderName), host::FolderKind::Calendar,
                                               qs(records::kAppointmentMessageClass));
        explorer = app->Explorers()->Add(patientsFolder);
        ctx->application = app;
        patientHandlers = std::make_unique<patients::PatientItemHandlers>(*ctx);
        appointmentHandlers = std::make_unique<schedule::AppointmentItemHandlers>(*ctx);

        data::Connection conn({clock, locale});
        conn.setProvider(QStringLiteral("Microsoft.JET.OLEDB.4.0"));
        data::Recordset rs;
        if (!conn.open(shared) ||
            !rs.open(QStringLiteral("Select * from PATIENTS WHERE PT_ID = 54321"), conn)) {
            return false;
        }
        last = rs.field(1)->text(locale);
        first = rs.field(2)->text(locale);
        dob = rs.field(4)->text(locale);
        return true;
    }

    // Binds the handlers to the item's Write, as the add-in does for the
    // contact or appointment open in an item window.
    host::Subscription bindPatient(const std::shared_ptr<host::Item>& item) {
        auto* h = patientHandlers.get();
        host::Item* raw = item.get();
        return item->events.Write.connect([h, raw](bool&) { h->Write(*raw); });
    }
    host::Subscription bindAppointment(const std::shared_ptr<host::Item>& item) {
        auto* h = appointmentHandlers.get();
        host::Item* raw = item.get();
        return item->events.Write.connect([h, raw](bool&) { h->Write(*raw); });
    }

    std::shared_ptr<host::Item> newPatient(int n) {
        auto item = *patientsFolder->Items()->Add();
        mustSet(*item, QStringLiteral("Last Name"), Variant(QStringLiteral("Benchmark%1").arg(n)));
        mustSet(*item, QStringLiteral("First Name"), Variant(QStringLiteral("Zoë")));
        mustSet(*item, QStringLiteral("DOB"), Variant(QStringLiteral("01/02/1970")));
        mustSet(*item, QStringLiteral("City1"), Variant(QStringLiteral("Leeds")));
        return item;
    }

    std::shared_ptr<host::Item> newAppointment(int n) {
        auto item = *schedulerFolder->Items()->Add();
        const QDateTime start = clock.now().addDays(n % 90);
        mustSet(*item, QStringLiteral("Start"), Variant(start));
        mustSet(*item, QStringLiteral("End"), Variant(start.addSecs(1800)));
        mustSet(*item, QStringLiteral("sPTID"),
                Variant(QString::number(1 + (n * 7919) % kPatients)));
        mustSet(*item, QStringLiteral("REASON"), Variant(QStringLiteral("Check-up")));
        mustSet(*item, QStringLiteral("RecallDBFormattedMASK"), Variant(QStringLiteral("None")));
        return item;
    }

    void check(benchmark::State& state) {
        if (!boxes.shown().empty()) {
            state.SkipWithError(qPrintable(boxes.shown().front().text));
            boxes.clear();
        }
    }
};

void patientInsert(benchmark::State& state, World& w) {
    (void)w.explorer->SelectFolder(w.patientsFolder);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto item = w.newPatient(++n);
        auto bound = w.bindPatient(item);
        state.ResumeTiming();
        (void)item->Save();
    }
    w.check(state);
}

void patientUpdate(benchmark::State& state, World& w) {
    (void)w.explorer->SelectFolder(w.patientsFolder);
    auto item = w.newPatient(0);
    auto bound = w.bindPatient(item);
    (void)item->Save();
    int n = 0;
    for (auto _ : state) {
        mustSet(*item, QStringLiteral("City1"), Variant(QString::number(++n)));
        (void)item->Save();
    }
    w.check(state);
}

void patientOpen(benchmark::State& state, World& w) {
    (void)w.explorer->SelectFolder(w.patientsFolder);
    auto item = *w.patientsFolder->Items()->Add();
    mustSet(*item, QStringLiteral("PatientID"), Variant(QStringLiteral("54321")));
    for (auto _ : state) {
        w.patientHandlers->Open(*item);
    }
    w.check(state);
}

void duplicateCheck(benchmark::State& state, World& w) {
    for (auto _ : state) {
        w.patientHandlers->PatientDuplicateCheck(w.shared, w.last, w.first, w.dob);
    }
    if (!w.patientHandlers->PatientFound) {
        state.SkipWithError("the seeded patient was not found");
    }
    w.check(state);
}

void appointmentInsert(benchmark::State& state, World& w) {
    (void)w.explorer->SelectFolder(w.schedulerFolder);
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto item = w.newAppointment(++n);
        auto bound = w.bindAppointment(item);
        state.ResumeTiming();
        (void)item->Save();
    }
    w.check(state);
}

void appointmentUpdate(benchmark::State& state, World& w) {
    (void)w.explorer->SelectFolder(w.schedulerFolder);
    auto item = w.newAppointment(0);
    auto bound = w.bindAppointment(item);
    (void)item->Save();
    int n = 0;
    for (auto _ : state) {
        mustSet(*item, QStringLiteral("NOTEPAGE1"), Variant(QString::number(++n)));
        (void)item->Save();
    }
    w.check(state);
}

void appointmentOpen(benchmark::State& state, World& w) {
    (void)w.explorer->SelectFolder(w.schedulerFolder);
    auto item = *w.schedulerFolder->Items()->Add();
    mustSet(*item, QStringLiteral("ScheduleID"), Variant(QStringLiteral("250000")));
    for (auto _ : state) {
        w.appointmentHandlers->Open(*item);
    }
    w.check(state);
}

// What a save adds its new row through: the bare table, which the data
// layer fetches whole, against the save's own source of no rows.
void newRowSource(benchmark::State& state, World& w, const QString& source) {
    for (auto _ : state) {
        data::Connection conn({w.clock, w.locale});
        conn.setProvider(QStringLiteral("Microsoft.JET.OLEDB.4.0"));
        data::Recordset rs;
        if (!conn.open(w.shared) || !rs.open(source, conn) || !rs.addNew()) {
            state.SkipWithError("cannot open the row source");
            return;
        }
        (void)rs.cancelUpdate();
    }
}

// The duplicate check as SQLite runs it: its plan, and its time against the
// same query told not to use an index.
void showDuplicateCheckPlan(const World& w) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(w.shared.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QString where =
        QStringLiteral(" WHERE \"LAST NAME\" = '%1' AND \"FIRST NAME\" = '%2' AND DOB = '%3'")
            .arg(QString(w.last).replace(QLatin1Char('\''), QStringLiteral("''")),
                 QString(w.first).replace(QLatin1Char('\''), QStringLiteral("''")), w.dob);
    const QString select =
        QStringLiteral("SELECT PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB FROM PATIENTS");
    auto run = [&](const QString& sql, bool explain) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr);
        int rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            ++rows;
            if (explain) {
                std::printf("  plan: %s\n",
                            reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
            }
        }
        sqlite3_finalize(stmt);
        return rows;
    };
    std::printf("duplicate check, EXPLAIN QUERY PLAN:\n");
    run(QStringLiteral("EXPLAIN QUERY PLAN ") + select + where, true);
    auto time = [&](const QString& sql) {
        constexpr int kRuns = 20;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < kRuns; ++i) {
            run(sql, false);
        }
        return double(t.nsecsElapsed()) / kRuns / 1000.0;
    };
    const double indexed = time(select + where);
    const double scan = time(select + QStringLiteral(" NOT INDEXED") + where);
    std::printf(
        "duplicate check query: %.1f us with the index, %.1f us scanning %lld rows "
        "(scan / index = %.0fx)\n",
        indexed, scan, kPatients, scan / indexed);
    sqlite3_close_v2(db);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    World w;
    if (!w.setUp()) {
        std::fprintf(stderr, "cannot set up the database and store\n");
        return 1;
    }
    showDuplicateCheckPlan(w);

    const std::pair<const char*, void (*)(benchmark::State&, World&)> cases[] = {
        {"patient/save_insert", patientInsert},
        {"patient/save_update", patientUpdate},
        {"patient/open", patientOpen},
        {"patient/duplicate_check", duplicateCheck},
        {"appointment/save_insert", appointmentInsert},
        {"appointment/save_update", appointmentUpdate},
        {"appointment/open", appointmentOpen},
    };
    for (const auto& [name, fn] : cases) {
        auto* f = fn;
        benchmark::RegisterBenchmark(name, [&w, f](benchmark::State& s) { f(s, w); })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
    }
    const std::pair<const char*, QString> sources[] = {
        {"new_row_source/bare_table_SCHEDULED", QStringLiteral("SCHEDULED")},
        {"new_row_source/no_rows_query", qs(schedule::kNewAppointmentRowSource)},
    };
    for (const auto& [name, source] : sources) {
        const QString copy = source;
        benchmark::RegisterBenchmark(name,
                                     [&w, copy](benchmark::State& s) { newRowSource(s, w, copy); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
