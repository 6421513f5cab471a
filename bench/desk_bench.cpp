// The desk shell at clinic scale: how long orlo-desk takes from its start
// to ready (main window shown, add-ins connected, the automation channel
// answering) on an empty add-in store and on one with 100,000 contacts and
// 500,000 appointments; how long switching the explorer to each folder
// takes; the desk's peak memory. Against it, the naive item list: reading
// every row's list columns of the Scheduler folder up front, as a list that
// fills its widgets eagerly would.
//   desk_bench [CONTACTS APPOINTMENTS]   (default 100000 500000)

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/FolderItemModel.h"
#include "app/ListColumns.h"
#include "host/store/StoreFile.h"
#include "records/FieldMaps.h"
#include "tools/store/AddinStore.h"
#include "tools/store/StoreSeeder.h"

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
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return 0;
}

QJsonObject ask(QProcess& p, const QByteArray& line) {
    p.write(line + '\n');
    while (!p.canReadLine()) {
        if (!p.waitForReadyRead(120000)) {
            std::fprintf(stderr, "no reply to %s\n", line.constData());
            return {};
        }
    }
    return QJsonDocument::fromJson(p.readLine()).object();
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
    const auto columns = desk::listColumnsFor(records::str(records::kAppointmentMessageClass));
    std::size_t rows = 0;
    for (const QString& property : desk::propertiesOf(columns)) {
        rows = std::max(rows, store.column(folder, property).valueOr({}).size());
    }
    std::printf("  (eager list read %zu rows)\n", rows);
    return msSince(t);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const std::int64_t contacts = args.size() > 2 ? args[1].toLongLong() : 100000;
    const std::int64_t appointments = args.size() > 2 ? args[2].toLongLong() : 500000;

    QTemporaryDir dir;
    const QString emptyApp = dir.filePath(QStringLiteral("empty"));
    const QString fullApp = dir.filePath(QStringLiteral("full"));
    QDir().mkpath(emptyApp + QStringLiteral("/PST"));
    QDir().mkpath(fullApp + QStringLiteral("/PST"));
    const QString storeName = tools::kAddinStoreFile.toString();
    const QString emptyStore = emptyApp + u'/' + storeName;
    const QString fullStore = fullApp + u'/' + storeName;
    if (!tools::createAddinStore(emptyStore)) {
        return 1;
    }
    {
        auto store = tools::createAddinStore(fullStore);
        if (!store) {
            return 1;
        }
        QElapsedTimer t;
        t.start();
        if (!tools::StoreSeeder::seed(**store, {contacts, appointments})) {
            return 1;
        }
        std::printf("seeded %lld contacts and %lld appointments in %.1f s\n",
                    static_cast<long long>(contacts), static_cast<long long>(appointments),
                    msSince(t) / 1000.0);
    }

    std::vector<DeskRun> empty, full;
    for (int i = 0; i < kRuns; ++i) {
        empty.push_back(runDesk(emptyApp, emptyStore, dir.filePath(QStringLiteral("reg-empty"))));
        full.push_back(runDesk(fullApp, fullStore, dir.filePath(QStringLiteral("reg-full"))));
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
    const QStringList props =
        desk::propertiesOf(desk::listColumnsFor(records::str(records::kAppointmentMessageClass)));
    for (host::ItemId id : page) {
        (void)(*store)->load(id, props);
    }
    const double lazy = msSince(t);
    const double eager = eagerListMs(**store, folders->scheduler);
    std::printf(
        "Scheduler item list: lazy (ids + first %d rows) %.1f ms, eager (all %zu rows) "
        "%.1f ms, eager/lazy %.1fx\n",
        desk::FolderItemModel::kBatch, lazy, ids.size(), eager, eager / lazy);
    return 0;
}
