// The peer network over loopback, in one process: a patient saved on one
// workstation until its contact exists on each of N others (N = 1, 3, 10),
// p50 and p99 against the 5-second poll a clinic's other systems use; and
// the receive path alone in lines per second (refreshing a known patient,
// its fills grouped against each one synced on its own, and dropping
// malformed lines).
//
// Every workstation has its own application folder, settings file, desk and
// store on one shared database, and listens on 127.0.0.(n + 2):20050
// (ORLO_BENCH_NET changes the network).
// Rounds: ORLO_BENCH_SAVES (default 200) saves for each N; ORLO_BENCH_OTHERS
// ("1,3,10" by default) the values of N.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "addin/Connect.h"
#include "addin/OutAddIn.h"
#include "common/AddinContext.h"
#include "common/AddinFolders.h"
#include "common/CTimer.h"
#include "common/basRegistry.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/Explorers.h"
#include "host/Folders.h"
#include "host/Inspector.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "peer/PeerReceiver.h"
#include "peer/formMain.h"
#include "platform/data/DatabaseFile.h"
#include "platform/registry/RegistryStore.h"
#include "platform/ui/MessageBox.h"
#include "records/Schema.h"
#include "tools/store/AddinStore.h"

using namespace orlo;
using namespace Qt::Literals::StringLiterals;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "peer_bench: %s\n", what);
    std::exit(1);
}

// The loopback network the workstations share: 127.0.0.x unless
// ORLO_BENCH_NET names another (say "127.0.9."), so that the figures can be
// taken while tests of other builds hold port 20050 on 127.0.0.x.
QString loopbackNet() {
    const QString net = qEnvironmentVariable("ORLO_BENCH_NET");
    return net.isEmpty() ? QStringLiteral("127.0.0.") : net;
}

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The CPU time this process has used, in milliseconds.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Workstation {
    Workstation(const QString& db, int n) {
        const QString app = dir.filePath(u"app"_s);
        for (const char* sub : {"PST", "META", "logs"}) {
            QDir(app).mkpath(QString::fromLatin1(sub));
        }
        if (!tools::createAddinStore(app + u"/PST/12-27Orlonetv1.pst"_s)) {
            fail("store");
        }
        RegistryStore store(dir.filePath(u"registry"_s));
        auto key = *store.createKey(RegistryRoot::CurrentUser, AddinRegistryKey);
        for (const auto& [name, value] :
             {std::pair{kDefaultDbLocationValue, db}, std::pair{kManualIpEnabledValue, u"1"_s},
              std::pair{kManualIpValue, QString(loopbackNet() + QString::number(n + 2))}}) {
            if (!store.setValue(key, QString::fromUtf16(name), {REG_SZ, value.toUtf8()})) {
                fail("settings");
            }
        }
        desk = host::Application::create(clock, Locale::unitedKingdom(),
                                         host::FormRegistry::standard(), &boxes);
        auto ns = *desk->GetNamespace(u"MAPI"_s);
        if (!ns->AddStore(dir.filePath(u"desk.pst"_s))) {
            fail("desk store");
        }
        explorer = desk->Explorers()->Add(*ns->Folders()->Item(1));
        connect = std::make_unique<addin::Connect>(AppFolder(app), dir.filePath(u"registry"_s));
        host::CustomArgs custom;
        if (!connect->OnConnection(desk, host::ConnectMode::Startup,
                                   host::AddInInst{u"OrlonetPROv1.Connect"_s, {}, {}}, custom)) {
            fail("connect");
        }
        form().Timer1().setInterval(24 * 3600 * 1000);
        patients = *addinFolder(desk, QString::fromUtf16(kPatientsFolderName));
        items = patients->Items();
        added = items->events.ItemAdd.connect(
            [this](const std::shared_ptr<host::Item>&) { arrived = Clock::now(); });
    }
    peer::formMain& form() { return *connect->outAddIn()->peerForm(); }
    int count() { return *patients->Items()->Count(); }

    QTemporaryDir dir;
    SystemClock clock;
    ScriptedMessageBoxes boxes;
    std::shared_ptr<host::Application> desk;
    std::shared_ptr<host::Explorer> explorer;
    std::unique_ptr<addin::Connect> connect;
    std::shared_ptr<host::MAPIFolder> patients;
    // When the last item arrived in the patients folder (its ItemAdd).
    std::shared_ptr<host::Items> items;
    host::Subscription added;
    Clock::time_point arrived;
};

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

void waitUntil(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (t.elapsed() > 20000) {
            fail("timed out");
        }
    }
}

void saveToOthers(int others, int rounds) {
    QTemporaryDir dbDir;
    const QString db = dbDir.filePath(u"Patients.mdb"_s);
    if (!data::createDatabaseFile(db, records::sharedSchemaStatements(),
                                  data::DatabaseKind::Shared)) {
        fail("database");
    }
    std::vector<std::unique_ptr<Workstation>> ws;
    for (int n = 0; n <= others; ++n) {
        ws.push_back(std::make_unique<Workstation>(db, n));
        for (int t = 0; t < 4 * n; ++t) {
            ws.back()->form().Timer1().RaiseTimer();
        }
    }
    waitUntil([&] {
        return std::all_of(ws.begin(), ws.end(),
                           [&](const auto& w) { return w->form().connectedCount() == others; });
    });
    Workstation& sender = *ws.front();
    if (!sender.explorer->SelectFolder(sender.patients)) {
        fail("folder");
    }
    // Each round: until the item exists on every other workstation (the
    // last ItemAdd among them), and until the sender's save returns (it
    // stores its own item durably after the notice has left). All the
    // workstations share this one thread, so the others' fills run inside
    // the sender's save, one after the other, and a round's CPU time is the
    // sender's save plus N fills.
    std::vector<double> ms;
    std::vector<double> saved;
    std::vector<double> firstMs;  // the sender's database work, the wire, one fill
    double cpu = 0;
    for (int r = 1; r <= rounds; ++r) {
        auto item = *sender.patients->Items()->Add();
        for (const auto& [name, value] :
             {std::pair{u"Last Name"_s, QStringLiteral("Bench%1").arg(r)},
              std::pair{u"First Name"_s, u"Ann"_s}, std::pair{u"DOB"_s, u"01/02/1970"_s}}) {
            if (!item->setUserProperty(name, Variant(value))) {
                fail("property");
            }
        }
        if (!item->Display()) {
            fail("display");
        }
        const double cpu0 = cpuMs();
        const Clock::time_point t0 = Clock::now();
        if (!item->Save()) {
            fail("save");
        }
        const Clock::time_point returned = Clock::now();
        waitUntil([&] {
            return std::all_of(ws.begin() + 1, ws.end(),
                               [&](const auto& w) { return w->count() == r; });
        });
        cpu += cpuMs() - cpu0;
        Clock::time_point last = t0;
        Clock::time_point first = Clock::time_point::max();
        for (auto w = ws.begin() + 1; w != ws.end(); ++w) {
            last = std::max(last, (*w)->arrived);
            first = std::min(first, (*w)->arrived);
        }
        ms.push_back(msBetween(t0, last));
        firstMs.push_back(msBetween(t0, first));
        saved.push_back(msBetween(t0, returned));
        if (!item->GetInspector()->Close(host::SaveMode::Discard)) {
            fail("close");
        }
    }
    const double p99 = percentile(ms, 0.99);
    std::printf(
        "save until on %2d others: p50 %7.2f ms  p99 %7.2f ms  (%d saves; a 5 s poll "
        "is %.0fx slower than p99)\n",
        others, percentile(ms, 0.5), p99, rounds, 5000.0 / p99);
    std::printf(
        "   the first other has it: p50 %7.2f ms; the sender's save returns: p50 %7.2f ms  "
        "p99 %7.2f ms; CPU per round %.2f ms\n",
        percentile(firstMs, 0.5), percentile(saved, 0.5), percentile(saved, 0.99), cpu / rounds);
}

void receivePath(int lines) {
    QTemporaryDir dbDir;
    const QString db = dbDir.filePath(u"Patients.mdb"_s);
    if (!data::createDatabaseFile(db, records::sharedSchemaStatements(),
                                  data::DatabaseKind::Shared)) {
        fail("database");
    }
    Workstation w(db, 0);
    peer::PeerReceiver receiver(*w.connect->context());
    // A patient notice with key `key` whose Customer ID is `key` too and
    // whose value 15 is `n`.
    const auto notice = [](const char* op, int key, int n) -> QByteArray {
        QByteArray line = QByteArray(op) + QByteArray::number(key) + ",Smith,Ann,01/02/1970";
        for (int v = 5; v <= 50; ++v) {
            line += ',' + (v == 15 ? QByteArray::number(n) : QByteArray());
        }
        return line + "\r\n";
    };
    // syncEach: the naive form, every fill committed (synced) on its own.
    const auto run = [&](const char* what, const std::function<QByteArray(int)>& make,
                         bool syncEach) {
        peer::ReceiveBuffer buffer;
        QByteArray line;
        const double cpu0 = cpuMs();
        QElapsedTimer t;
        t.start();
        for (int n = 0; n < lines; ++n) {
            receiver.append(buffer, make(n), u"127.0.0.9"_s, peer::kReceiveBufferLimit);
            while (peer::PeerReceiver::takeLine(buffer, line)) {
                receiver.handleLine(line, u"127.0.0.9"_s);
                if (syncEach && !receiver.commitFills()) {
                    fail("commit");
                }
            }
        }
        if (!receiver.commitFills()) {
            fail("commit");
        }
        const double perSecond = lines / (static_cast<double>(t.nsecsElapsed()) / 1e9);
        std::printf("receive path, %-40s %10.0f lines/s  CPU %.3f ms a line\n", what, perSecond,
                    (cpuMs() - cpu0) / lines);
        return perSecond;
    };
    run(
        "adding a new patient:", [&](int n) { return notice("P,1,", 100000 + n, n); }, false);
    const double grouped = run(
        "refreshing a known patient:", [&](int n) { return notice("P,2,", 1, n); }, false);
    const double naive = run(
        "refreshing, each fill synced on its own:", [&](int n) { return notice("P,2,", 1, n); },
        true);
    std::printf("receive path, grouped fills against each synced: %.1fx\n", grouped / naive);
    run(
        "dropping short lines:", [](int) { return QByteArray("P,1,7,too few\r\n"); }, false);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool ok = false;
    int rounds = qEnvironmentVariableIntValue("ORLO_BENCH_SAVES", &ok);
    rounds = ok && rounds > 0 ? rounds : 200;
    // ORLO_BENCH_OTHERS (say "10") runs only those network sizes and skips
    // the receive path, for profiling one of them.
    const QString only = qEnvironmentVariable("ORLO_BENCH_OTHERS");
    for (int others : {1, 3, 10}) {
        if (only.isEmpty() || only.split(u',').contains(QString::number(others))) {
            saveToOthers(others, rounds);
        }
    }
    if (only.isEmpty()) {
        receivePath(2000);
    }
    return 0;
}
