// Compaction of a clinic's database: 100,000 patients and 500,000
// appointments (the clinic the report benchmark seeds and keeps), copied,
// with 20% of the appointments deleted. The in-place compaction the
// settings dialog runs (VACUUM under the exclusive lock), against the
// same copy compacted into a new file that then replaces the database
// (VACUUM INTO and a rename), in the same run: time and size before and
// after.

#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

#include "TestDatabases.h"
#include "platform/data/Compaction.h"

using namespace orlo;

namespace {

constexpr qint64 kPatients = 100000;
constexpr qint64 kAppointments = 500000;

bool exec(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(db);
    return ok;
}

// A copy of the clinic with every fifth appointment deleted.
bool prepare(const QString& clinic, const QString& path) {
    QFile::remove(path);
    return QFile::copy(clinic, path) &&
           exec(path, "DELETE FROM SCHEDULED WHERE SCHEDULE_ID % 5 = 0");
}

double mib(qint64 bytes) {
    return double(bytes) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const PinnedClock clock(naiveDateTime(QDate(2026, 6, 15), QTime(10, 0)));
    const Locale locale = Locale::unitedKingdom();
    const Result<QString> clinic = test::benchClinic(QStringLiteral(ORLO_BENCH_DEFAULT_DB),
                                                     kPatients, kAppointments, clock, locale);
    if (!clinic) {
        std::fprintf(stderr, "cannot seed: %s\n", qPrintable(clinic.error().description));
        return 1;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Patients.mdb"));

    if (!prepare(*clinic, path)) {
        std::fprintf(stderr, "cannot copy the clinic\n");
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    const data::Compaction c =
        data::compactDatabase({clock, locale}, QStringLiteral("Microsoft.JET.OLEDB.4.0"), path, {});
    const double inPlace = double(timer.nsecsElapsed()) / 1e9;
    if (c.outcome != data::Compaction::Outcome::Done) {
        std::fprintf(stderr, "compaction failed: %s\n", qPrintable(c.error.description));
        return 1;
    }

    if (!prepare(*clinic, path)) {
        return 1;
    }
    const qint64 copyBefore = QFileInfo(path).size();
    const QString copy = path + QStringLiteral(".compact");
    timer.restart();
    const QByteArray into = "VACUUM INTO '" + copy.toUtf8() + "'";
    if (!exec(path, into.constData()) ||
        std::rename(copy.toUtf8().constData(), path.toUtf8().constData()) != 0) {
        std::fprintf(stderr, "copy compaction failed\n");
        return 1;
    }
    const double copied = double(timer.nsecsElapsed()) / 1e9;

    std::printf("\ncompaction of %lld patients, %lld appointments less 20%%\n", kPatients,
                kAppointments);
    std::printf("%-22s %9s %12s %12s\n", "form", "time_s", "before_MiB", "after_MiB");
    std::printf("%-22s %9.2f %12.1f %12.1f\n", "in place (VACUUM)", inPlace, mib(c.sizeBefore),
                mib(c.sizeAfter));
    std::printf("%-22s %9.2f %12.1f %12.1f\n", "copy and rename", copied, mib(copyBefore),
                mib(QFileInfo(path).size()));
    std::printf("in place / copy: %.2f\n", copied > 0 ? inPlace / copied : 0.0);
    return 0;
}
