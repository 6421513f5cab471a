// What the desk costs on two fault roads. First, orlo-desk --automation
// across many create-save-delete cycles of a contact: its resident memory
// after each block of cycles, which should stay flat once warmed up (the
// channel lets go of a deleted item's handle). Second, how long a save takes
// to tell the user that another program holds the shared database locked:
// one bounded wait of the connection's lock setting.
//   fault_bench [CYCLES]   (else ORLO_BENCH_CYCLES, else 20000)

#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "DeskTestStore.h"
#include "ProcessProbe.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/data/Connection.h"

using namespace orlo;

namespace {

qint64 residentKbOf(qint64 pid) {
    return test::procStatusKb(pid, "VmRSS:");
}

QJsonObject ask(QProcess& p, const QByteArray& line) {
    return test::askDesk(p, line);
}

void deskMemory(int cycles) {
    desk::test::DeskTestStore store;
    if (!store.create()) {
        std::fprintf(stderr, "cannot create the desk's store\n");
        return;
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QString::fromUtf8(ORLO_DESK_BINARY),
            {QStringLiteral("--automation"), QStringLiteral("--appdir"), store.appDir,
             QStringLiteral("--registry"), store.registryFile, QStringLiteral("--store"),
             store.storePath});
    ask(p, R"({"cmd":"state"})");
    const int block = std::max(1, cycles / 10);
    std::printf("orlo-desk --automation, create-save-delete of one contact:\n");
    std::printf("  %8s %12s\n", "cycles", "resident KB");
    const qint64 startKb = residentKbOf(p.processId());
    qint64 middleKb = startKb;
    std::printf("  %8d %12lld\n", 0, startKb);
    QElapsedTimer t;
    t.start();
    for (int i = 1; i <= cycles; ++i) {
        const QJsonObject made = ask(
            p,
            R"({"cmd":"create","folder":"Orlo Networked V.1/Patients","properties":{"Last Name":"Cycle"},"save":true})");
        const QByteArray id = made.value(QStringLiteral("id")).toString().toUtf8();
        ask(p, R"({"cmd":"delete","id":")" + id + R"("})");
        if (i % block == 0) {
            std::printf("  %8d %12lld\n", i, residentKbOf(p.processId()));
            std::fflush(stdout);  // a long run shows its figures as they come
        }
        if (i == cycles / 2) {
            middleKb = residentKbOf(p.processId());
        }
    }
    // Flat after warm-up: what the second half of the cycles added.
    const qint64 endKb = residentKbOf(p.processId());
    std::printf(
        "  start %lld KB, middle %lld KB, end %lld KB: %.1f bytes a cycle after the "
        "middle\n",
        startKb, middleKb, endKb,
        1024.0 * double(endKb - middleKb) / std::max(1, cycles - cycles / 2));
    std::printf("  %.2f ms a cycle\n", double(t.elapsed()) / std::max(1, cycles));
    ask(p, R"({"cmd":"quit"})");
    p.waitForFinished(30000);
}

void lockedDatabase() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Patients.mdb"));
    sqlite3* holder = nullptr;
    sqlite3_open(path.toUtf8().constData(), &holder);
    sqlite3_exec(holder, "CREATE TABLE T (A); BEGIN EXCLUSIVE; INSERT INTO T VALUES (1)", nullptr,
                 nullptr, nullptr);
    const PinnedClock clock(naiveDateTime(QDate(2026, 6, 15), QTime(10, 0)));
    const Locale locale = Locale::unitedKingdom();
    std::printf("a save against a database another program holds locked:\n");
    for (const int waitMs : {0, 1000}) {
        data::Connection conn({clock, locale, waitMs});
        QElapsedTimer t;
        t.start();
        const Status opened = conn.open(path);
        std::printf("  lock setting %5s: told after %6lld ms: %s\n",
                    waitMs == 0 ? "default" : qPrintable(QString::number(waitMs)),
                    static_cast<long long>(t.elapsed()),
                    opened ? "opened (not locked?)" : qPrintable(opened.error().description));
    }
    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QByteArray fromEnv = qgetenv("ORLO_BENCH_CYCLES");
    const int cycles = argc > 1 ? std::atoi(argv[1]) : !fromEnv.isEmpty() ? fromEnv.toInt() : 20000;
    lockedDatabase();
    deskMemory(cycles);
    return 0;
}
