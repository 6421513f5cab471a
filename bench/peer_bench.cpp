// The peer network over loopback: a patient saved on one workstation until
// its contact exists on each of N others (N = 1, 3, 10), p50 and p99
// against the 5-second poll a clinic's other systems use; the round split
// at the moment the sender's notice leaves (after its database commit);
// the shared database's commit alone with the journal kept against the
// journal deleted; and the receive path alone in lines per second
// (refreshing a known patient, its fills grouped against each one synced
// on its own, and dropping malformed lines).
//
// The N others run two ways: all in the sender's process on its one
// thread (their fills then run one after the other inside the sender's
// save), and each in a process of its own, as real workstations are (this
// binary started again with --receiver; each reports when the item arrived
// on the machine's monotonic clock).
//
// Every workstation has its own application folder, settings file, desk and
// store on one shared database, and listens on 127.0.0.(n + 2):20050
// (ORLO_BENCH_NET changes the network).
// Rounds: ORLO_BENCH_SAVES (default 200) saves for each N; ORLO_BENCH_OTHERS
// ("1,3,10" by default) the values of N; ORLO_BENCH_PROCESSES "0" or "1"
// runs only the one-process or only the process-per-workstation form.

#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
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
#include "platform/sqlite/Database.h"
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
        added = items->events.ItemAdd.connect([this](const std::shared_ptr<host::Item>&) {
            arrived = Clock::now();
            ++arrivals;
            if (onArrival) {
                onArrival();
            }
        });
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
    int arrivals = 0;
    std::function<void()> onArrival;
};

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

// Runs the event loop until `done`. `sleep`: between events the thread
// sleeps instead of polling, so that workstations in other processes get
// the cores (a timer wakes it to check the time limit).
void waitUntil(const std::function<bool()>& done, bool sleep = false) {
    QElapsedTimer t;
    t.start();
    QTimer wake;
    if (sleep) {
        wake.start(100);
    }
    while (!done()) {
        QCoreApplication::processEvents(sleep ? QEventLoop::WaitForMoreEvents
                                              : QEventLoop::AllEvents);
        if (t.elapsed() > 60000) {
            fail("timed out");
        }
    }
}

qint64 sinceBoot(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

// Workstation `n` in a process of its own: connects to those before it,
// says "ready", then writes "<arrivals> <ns>" for each patient that arrives
// (the machine's monotonic clock, which every process shares), until its
// standard input closes.
int runReceiver(const QString& db, int n) {
    Workstation w(db, n);
    for (int t = 0; t < 4 * n; ++t) {
        w.form().Timer1().RaiseTimer();
    }
    waitUntil([&] { return w.form().connectedCount() >= n; }, true);
    w.onArrival = [&w] {
        std::printf("%d %lld\n", w.arrivals, static_cast<long long>(sinceBoot(w.arrived)));
        std::fflush(stdout);
    };
    std::printf("ready\n");
    std::fflush(stdout);
    bool open = true;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char bytes[64];
        if (::read(STDIN_FILENO, bytes, sizeof bytes) <= 0) {
            open = false;
            input.setEnabled(false);
        }
    });
    while (open) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return 0;
}

// The other workstations of one run, wherever they live: when each had
// item number `r` (the order of its arrivals).
class Others {
public:
    virtual ~Others() = default;
    virtual bool allHave(int r) = 0;
    virtual std::vector<Clock::time_point> arrivals(int r) = 0;
};

class InProcess final : public Others {
public:
    explicit InProcess(std::vector<std::unique_ptr<Workstation>>& ws) : m_ws(ws) {}
    bool allHave(int r) override {
        return std::all_of(m_ws.begin() + 1, m_ws.end(),
                           [&](const auto& w) { return w->count() == r; });
    }
    std::vector<Clock::time_point> arrivals(int) override {
        std::vector<Clock::time_point> at;
        for (auto w = m_ws.begin() + 1; w != m_ws.end(); ++w) {
            at.push_back((*w)->arrived);
        }
        return at;
    }

private:
    std::vector<std::unique_ptr<Workstation>>& m_ws;
};

class InProcesses final : public Others {
public:
    InProcesses(const QString& db, int others) {
        for (int n = 1; n <= others; ++n) {
            auto p = std::make_unique<QProcess>();
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p->start(QCoreApplication::applicationFilePath(),
                     {u"--receiver"_s, db, QString::number(n)});
            if (!p->waitForStarted()) {
                fail("receiver process");
            }
            Child& c = m_children.emplace_back();
            c.process = std::move(p);
            QProcess* proc = c.process.get();
            const size_t index = m_children.size() - 1;
            QObject::connect(proc, &QProcess::readyReadStandardOutput,
                             [this, index] { readFrom(index); });
            // The next one registers after this one, so that it finds it.
            waitUntil([&] { return m_children[index].ready; }, true);
        }
    }
    ~InProcesses() override {
        for (Child& c : m_children) {
            c.process->closeWriteChannel();
        }
        for (Child& c : m_children) {
            if (!c.process->waitForFinished(20000)) {
                c.process->kill();
                c.process->waitForFinished();
            }
        }
    }
    bool allHave(int r) override {
        return std::all_of(m_children.begin(), m_children.end(),
                           [&](const Child& c) { return c.arrived.count(r) > 0; });
    }
    std::vector<Clock::time_point> arrivals(int r) override {
        std::vector<Clock::time_point> at;
        for (const Child& c : m_children) {
            at.emplace_back(std::chrono::nanoseconds(c.arrived.at(r)));
        }
        return at;
    }

private:
    struct Child {
        std::unique_ptr<QProcess> process;
        bool ready = false;
        std::map<int, qint64> arrived;
    };
    void readFrom(size_t index) {
        Child& c = m_children[index];
        while (c.process->canReadLine()) {
            const QByteArray line = c.process->readLine().trimmed();
            if (line == "ready") {
                c.ready = true;
                continue;
            }
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 2) {
                c.arrived[parts[0].toInt()] = parts[1].toLongLong();
            }
        }
    }
    std::vector<Child> m_children;
};

double mean(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) {
        sum += x;
    }
    return v.empty() ? 0 : sum / static_cast<double>(v.size());
}

// `separate`: each other workstation in a process of its own.
void saveToOthers(int others, int rounds, bool separate) {
    QTemporaryDir dbDir;
    const QString db = dbDir.filePath(u"Patients.mdb"_s);
    if (!data::createDatabaseFile(db, records::sharedSchemaStatements(),
                                  data::DatabaseKind::Shared)) {
        fail("database");
    }
    std::vector<std::unique_ptr<Workstation>> ws;
    ws.push_back(std::make_unique<Workstation>(db, 0));
    std::unique_ptr<Others> rest;
    if (separate) {
        rest = std::make_unique<InProcesses>(db, others);
    } else {
        for (int n = 1; n <= others; ++n) {
            ws.push_back(std::make_unique<Workstation>(db, n));
            for (int t = 0; t < 4 * n; ++t) {
                ws.back()->form().Timer1().RaiseTimer();
            }
        }
        rest = std::make_unique<InProcess>(ws);
    }
    waitUntil(
        [&] {
            return std::all_of(ws.begin(), ws.end(),
                               [&](const auto& w) { return w->form().connectedCount() >= others; });
        },
        separate);
    Workstation& sender = *ws.front();
    if (!sender.explorer->SelectFolder(sender.patients)) {
        fail("folder");
    }
    // The notice leaves right after the sender's database commit: its echo.
    Clock::time_point sent;
    QObject::connect(&sender.form(), &peer::formMain::echoed, [&sent] { sent = Clock::now(); });
    // Each round: until the item exists on every other workstation (the
    // last ItemAdd among them), and until the sender's save returns (it
    // stores its own item durably after the notice has left). In one
    // process the others' fills run inside the sender's save, one after
    // the other, and a round's CPU time is the sender's save plus N fills.
    std::vector<double> ms;
    std::vector<double> saved;
    std::vector<double> commitMs;  // the sender's database work up to the notice
    std::vector<double> firstMs;   // the notice until the first other has it
    std::vector<double> lastMs;    // the notice until the last other has it
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
        waitUntil([&] { return rest->allHave(r); }, separate);
        cpu += cpuMs() - cpu0;
        const std::vector<Clock::time_point> at = rest->arrivals(r);
        const Clock::time_point first = *std::min_element(at.begin(), at.end());
        const Clock::time_point last = std::max(t0, *std::max_element(at.begin(), at.end()));
        ms.push_back(msBetween(t0, last));
        saved.push_back(msBetween(t0, returned));
        commitMs.push_back(msBetween(t0, sent));
        firstMs.push_back(msBetween(sent, first));
        lastMs.push_back(msBetween(sent, last));
        if (!item->GetInspector()->Close(host::SaveMode::Discard)) {
            fail("close");
        }
    }
    const double p99 = percentile(ms, 0.99);
    std::printf(
        "%s save until on %2d others: p50 %7.2f ms  p99 %7.2f ms  mean %6.2f ms  (%d saves; a "
        "5 s poll is %.0fx slower than p99)\n",
        separate ? "[processes]" : "[1 thread] ", others, percentile(ms, 0.5), p99, mean(ms),
        rounds, 5000.0 / p99);
    std::printf(
        "   sender's database until the notice leaves: p50 %6.2f p99 %7.2f ms; then the first "
        "other has it: p50 %6.2f p99 %7.2f ms, the last: p50 %6.2f p99 %7.2f ms\n",
        percentile(commitMs, 0.5), percentile(commitMs, 0.99), percentile(firstMs, 0.5),
        percentile(firstMs, 0.99), percentile(lastMs, 0.5), percentile(lastMs, 0.99));
    std::printf(
        "   the sender's save returns: p50 %7.2f ms  p99 %7.2f ms; sender's CPU per round "
        "%.2f ms%s\n",
        percentile(saved, 0.5), percentile(saved, 0.99), cpu / rounds,
        separate ? "" : " (with the N fills)");
}

// One patient row written and committed on the shared file the way a save
// writes it (synchronous=FULL), with the journal deleted at each commit
// (SQLite's default) and kept with its header zeroed (what the data layer
// sets); both in this run.
void commitAlone(int rounds) {
    const auto run = [&](const char* mode) {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Patients.mdb"_s);
        if (!data::createDatabaseFile(path, records::sharedSchemaStatements(),
                                      data::DatabaseKind::Shared)) {
            fail("database");
        }
        auto opened = sqlite::Database::open(path, SQLITE_OPEN_READWRITE);
        if (!opened) {
            fail("open");
        }
        sqlite::Database db = std::move(opened).value();
        if (!db.exec(QStringLiteral("PRAGMA journal_mode=%1").arg(QLatin1String(mode))) ||
            !db.exec(u"PRAGMA synchronous=FULL"_s)) {
            fail("journal mode");
        }
        std::vector<double> ms;
        for (int r = 0; r < rounds; ++r) {
            const Clock::time_point t0 = Clock::now();
            if (!db.exec(QStringLiteral("INSERT INTO PATIENTS (\"LAST NAME\", \"FIRST NAME\", "
                                        "CITY) VALUES ('Bench%1', 'Ann', '%2')")
                             .arg(r)
                             .arg(QString(400, u'x')))) {
                fail("insert");
            }
            ms.push_back(msBetween(t0, Clock::now()));
        }
        return ms;
    };
    // Alternated, so that a burst of other disk traffic meets both.
    std::vector<double> deleted;
    std::vector<double> kept;
    for (int part = 0; part < 4; ++part) {
        for (double m : run("DELETE")) {
            deleted.push_back(m);
        }
        for (double m : run("PERSIST")) {
            kept.push_back(m);
        }
    }
    std::printf(
        "shared database commit, journal deleted: p50 %6.2f ms  p99 %7.2f ms  mean %6.2f ms\n",
        percentile(deleted, 0.5), percentile(deleted, 0.99), mean(deleted));
    std::printf(
        "shared database commit, journal kept:    p50 %6.2f ms  p99 %7.2f ms  mean %6.2f ms  "
        "(deleted/kept: p50 %.2fx, p99 %.2fx)\n",
        percentile(kept, 0.5), percentile(kept, 0.99), mean(kept),
        percentile(deleted, 0.5) / percentile(kept, 0.5),
        percentile(deleted, 0.99) / percentile(kept, 0.99));
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
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args.at(1) == u"--receiver") {
        return runReceiver(args.at(2), args.at(3).toInt());
    }
    bool ok = false;
    int rounds = qEnvironmentVariableIntValue("ORLO_BENCH_SAVES", &ok);
    rounds = ok && rounds > 0 ? rounds : 200;
    // ORLO_BENCH_OTHERS (say "10") runs only those network sizes and skips
    // the rest, for profiling one of them.
    const QString only = qEnvironmentVariable("ORLO_BENCH_OTHERS");
    const QString processes = qEnvironmentVariable("ORLO_BENCH_PROCESSES");
    for (bool separate : {false, true}) {
        if (!processes.isEmpty() && processes != (separate ? u"1"_s : u"0"_s)) {
            continue;
        }
        for (int others : {1, 3, 10}) {
            if (only.isEmpty() || only.split(u',').contains(QString::number(others))) {
                saveToOthers(others, rounds, separate);
            }
        }
    }
    if (only.isEmpty()) {
        commitAlone(rounds / 4 > 0 ? rounds / 4 : 1);
        receivePath(2000);
    }
    return 0;
}
