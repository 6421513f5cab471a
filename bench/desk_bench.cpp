// The desk shell at clinic scale: how long orlo-desk takes from its start
// to ready (main window shown, add-ins connected, the automation channel
// answering) on an empty add-in store and on one with 100,000 contacts and
// 500,000 appointments; how long switching the explorer to each folder
// takes; the desk's peak memory. Against it, the naive item list: reading
// every row's list columns of the Scheduler folder up front, as a list that
// fills its widgets eagerly would. Last, the item list following a resync
// that stores 100,000 more appointments into the folder it shows: what each
// ItemAdd costs the list and bringing it up to date once, against a list
// that reads the folder's ids again on every event.
//   desk_bench [CONTACTS APPOINTMENTS]   (default 100000 500000)

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "DeskTestStore.h"
#include "ProcessProbe.h"
#include "app/FolderItemModel.h"
#include "app/FolderPaths.h"
#include "host/Application.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/StoreSession.h"
#include "host/forms/AppointmentForm.h"
#include "host/store/StoreFile.h"
#include "platform/core/Clock.h"
#include "tools/store/AddinStore.h"

using namespace orlo;

namespace {

constexpr int kRuns = 3;

struct DeskRun {
    double readyMs = 0;
    double patientsMs = 0;
    double schedulerMs = 0;
    qint64 peakKb = 0;
};

qint64 peakKbOf(qint64 pid) {
    return test::procStatusKb(pid, "VmHWM:");
}

QJsonObject ask(QProcess& p, const QByteArray& line) {
    return test::askDesk(p, line);
}

double msSince(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

DeskRun runDesk(const QString& appDir, const QString& store, const QString& registry) {
    DeskRun r;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(QString::fromUtf8(ORLO_DESK_BINARY),
            {QStringLiteral("--automation"), QStringLiteral("--appdir"), appDir,
             QStringLiteral("--registry"), registry, QStringLiteral("--store"), store});
    // The channel answers once start-up is over and the event loop runs.
    ask(p, R"({"cmd":"state"})");
    r.readyMs = msSince(t);
    t.restart();
    ask(p, R"({"cmd":"switchFolder","folder":"Orlo Networked V.1/Patients"})");
    r.patientsMs = msSince(t);
    t.restart();
    ask(p, R"({"cmd":"switchFolder","folder":"Orlo Networked V.1/Scheduler"})");
    r.schedulerMs = msSince(t);
    r.peakKb = peakKbOf(p.processId());
    ask(p, R"({"cmd":"quit"})");
    p.waitForFinished(60000);
    return r;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void report(const char* label, const std::vector<DeskRun>& runs) {
    std::vector<double> ready, patients, scheduler;
    qint64 peak = 0;
    for (const DeskRun& r : runs) {
        ready.push_back(r.readyMs);
        patients.push_back(r.patientsMs);
        scheduler.push_back(r.schedulerMs);
        peak = std::max(peak, r.peakKb);
    }
    std::printf(
        "%-34s start to ready %8.1f ms   switch to Patients %7.1f ms   "
        "to Scheduler %7.1f ms   peak %6.1f MiB   (median of %d)\n",
        label, median(ready), median(patients), median(scheduler),
        static_cast<double>(peak) / 1024.0, kRuns);
}

// The eager list: every row's list columns read before anything shows.
double eagerListMs(const host::StoreFile& store, host::FolderId folder) {
    QElapsedTimer t;
    t.start();
    const auto columns = host::AppointmentForm().listColumns();
    std::size_t rows = 0;
    for (const QString& property : host::propertiesOf(columns)) {
        rows = std::max(rows, store.column(folder, property).valueOr({}).size());
    }
    std::printf("  (eager list read %zu rows)\n", rows);
    return msSince(t);
}

// Stores `count` appointments into the Scheduler folder in one transaction
// (as a resync's bulk write would) and raises their ItemAdd, with the list
// model showing the folder (`model`) or nobody listening (null).
struct Raised {
    double raiseMs = 0;
    double applyMs = 0;
};
Raised raiseAdds(const std::shared_ptr<host::MAPIFolder>& folder, host::Items& items, int count,
                 desk::FolderItemModel* model) {
    host::StoreFile& file = **folder->session()->file();
    const std::vector<host::PropertyMap> rows(static_cast<std::size_t>(count));
    const auto ids = file.insertMany(folder->id(), folder->DefaultMessageClass(), rows);
    Raised r;
    if (!ids) {
        std::fprintf(stderr, "insert failed: %s\n", qPrintable(ids.error().description));
        return r;
    }
    QElapsedTimer t;
    t.start();
    for (const host::ItemId id : *ids) {
        items.events.ItemAdd.raise(folder->session()->itemWithColumns(id, folder->id(), {}, {}));
    }
    r.raiseMs = msSince(t);
    if (model != nullptr) {
        t.restart();
        model->applyPendingChanges();
        r.applyMs = msSince(t);
    }
    return r;
}

void listFollowingABulkInsert(const QString& storePath) {
    constexpr int kAdded = 100000;
    constexpr int kNaiveEvents = 20;
    SystemClock clock;
    const auto app = host::Application::create(clock, Locale::unitedKingdom());
    const auto ns = *app->GetNamespace(QStringLiteral("MAPI"));
    if (!ns->AddStore(storePath)) {
        return;
    }
    const auto folder = desk::folderAt(*ns, QStringLiteral("Orlo Networked V.1/Scheduler"));
    if (!folder) {
        return;
    }
    const auto items = (*folder)->Items();
    const Raised unheard = raiseAdds(*folder, *items, kAdded, nullptr);

    desk::FolderItemModel model(Locale::unitedKingdom());
    model.setFolder(*folder);
    while (model.canFetchMore({})) {
        model.fetchMore({});
    }
    const qint64 before = model.totalCount();
    const Raised heard = raiseAdds(*folder, *items, kAdded, &model);
    if (model.totalCount() != before + kAdded) {
        std::fprintf(stderr, "the list has %lld items, not %lld\n",
                     static_cast<long long>(model.totalCount()),
                     static_cast<long long>(before + kAdded));
    }
    // The naive list: every event re-reads the folder's ids.
    model.setOnChanged(nullptr);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < kNaiveEvents; ++i) {
        model.refresh();
    }
    const double naivePerItemMs = msSince(t) / kNaiveEvents;
    const double perItemUs = (heard.raiseMs + heard.applyMs) * 1000.0 / kAdded;
    std::printf(
        "item list following %d ItemAdd on a folder of %lld: %.2f us per item "
        "(raise %.1f ms, one update %.1f ms; nobody listening: raise %.1f ms); "
        "naive re-read per event %.1f ms per item, naive/following %.0fx\n",
        kAdded, static_cast<long long>(before), perItemUs, heard.raiseMs, heard.applyMs,
        unheard.raiseMs, naivePerItemMs, naivePerItemMs * 1000.0 / perItemUs);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const std::int64_t contacts = args.size() > 2 ? args[1].toLongLong() : 100000;
    const std::int64_t appointments = args.size() > 2 ? args[2].toLongLong() : 500000;

    orlo::desk::test::DeskTestStore emptyDesk;
    orlo::desk::test::DeskTestStore fullDesk;
    if (!emptyDesk.create()) {
        return 1;
    }
    QElapsedTimer seeding;
    seeding.start();
    if (!fullDesk.create(contacts, appointments)) {
        return 1;
    }
    std::printf("seeded %lld contacts and %lld appointments in %.1f s\n",
                static_cast<long long>(contacts), static_cast<long long>(appointments),
                msSince(seeding) / 1000.0);
    const QString& fullStore = fullDesk.storePath;

    std::vector<DeskRun> empty, full;
    for (int i = 0; i < kRuns; ++i) {
        empty.push_back(runDesk(emptyDesk.appDir, emptyDesk.storePath, emptyDesk.registryFile));
        full.push_back(runDesk(fullDesk.appDir, fullStore, fullDesk.registryFile));
    }
    std::printf("orlo-desk, one core, offscreen:\n");
    report("empty add-in store", empty);
    const QString label =
        QStringLiteral("%1 contacts, %2 appointments").arg(contacts).arg(appointments);
    report(label.toLatin1().constData(), full);

    // The item list of the Scheduler folder: lazy (ids and the first batch
    // of rows) against eager (every row's columns).
    auto store = host::StoreFile::open(fullStore);
    const auto folders = tools::addinFolders(**store);
    if (!store || !folders) {
        return 1;
    }
    QElapsedTimer t;
    t.start();
    const std::vector<host::ItemId> ids = (*store)->itemIds(folders->scheduler).valueOr({});
    std::vector<host::ItemId> page(
        ids.begin(),
        ids.begin() + std::min<std::ptrdiff_t>(desk::FolderItemModel::kBatch,
                                               static_cast<std::ptrdiff_t>(ids.size())));
    const QStringList props = host::propertiesOf(host::AppointmentForm().listColumns());
    for (host::ItemId id : page) {
        (void)(*store)->load(id, props);
    }
    const double lazy = msSince(t);
    const double eager = eagerListMs(**store, folders->scheduler);
    std::printf(
        "Scheduler item list: lazy (ids + first %d rows) %.1f ms, eager (all %zu rows) "
        "%.1f ms, eager/lazy %.1fx\n",
        desk::FolderItemModel::kBatch, lazy, ids.size(), eager, eager / lazy);
    store.value().reset();
    listFollowingABulkInsert(fullStore);
    return 0;
}
