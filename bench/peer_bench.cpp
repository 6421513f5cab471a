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
// Rounds: ORLO_BENCH_SAVES (default 200) saves for each N.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
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
    std::vector<double> ms;
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
        QElapsedTimer t;
        t.start();
        if (!item->Save()) {
            fail("save");
        }
        waitUntil([&] {
            return std::all_of(ws.begin() + 1, ws.end(),
                               [&](const auto& w) { return w->count() == r; });
        });
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        if (!item->GetInspector()->Close(host::SaveMode::Discard)) {
            fail("close");
        }
    }
    const double p99 = percentile(ms, 0.99);
    std::printf(
        "save until on %2d others: p50 %7.2f ms  p99 %7.2f ms  (%d saves; a 5 s poll "
        "is %.0fx slower than p99)\n",
        others, percentile(ms, 0.5), p99, rounds, 5000.0 / p99);
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
    const auto notice = [](int n) -> QByteArray {
        QByteArray line = "P,2,1,Smith,Ann,01/02/1970";
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
        std::printf("receive path, %-40s %10.0f lines/s\n", what, perSecond);
        return perSecond;
    };
    const double grouped = run("refreshing a known patient:", notice, false);
    const double naive = run("refreshing, each fill synced on its own:", notice, true);
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
    for (int others : {1, 3, 10}) {
        saveToOthers(others, rounds);
    }
    receivePath(2000);
    return 0;
}
