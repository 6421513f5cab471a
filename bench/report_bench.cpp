// The reports at a clinic's full size: 100,000 patients and 500,000
// appointments, seeded once into a file that later runs reuse
// (ORLO_BENCH_DB names it; by default it sits in the build folder). For
// every report, the time a user waits for the first page: the frame's
// connection and static recordset, which opens with its first rows, and
// the layout and paint of page 1 as the preview shows it; then the whole
// report, every row read and the page count known. Against it, in the same
// run, the eager form: a recordset that reads every row when it opens
// (a keyset cursor) before the first page can show.
//
// Beside each report, the same translated statement straight through
// SQLite: stepping every row without reading a column, and stepping only
// the first page's rows. For the patient list also the naive viewer that
// lays out every page before it shows one, against the on-demand first
// page, and the whole PDF and CSV of its 100,000 rows.

#include <sqlite3.h>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "TestDatabases.h"
#include "common/DatabaseLocation.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/core/ProcessMemory.h"
#include "platform/data/Connection.h"
#include "platform/data/Recordset.h"
#include "platform/dialect/JetFunctions.h"
#include "platform/dialect/JetSql.h"
#include "platform/report/RecordsetData.h"
#include "platform/report/ReportExport.h"
#include "platform/report/ReportPages.h"
#include "records/Schema.h"
#include "reports/ReportCatalogue.h"
#include "reports/ReportLoader.h"
#include "reports/ReportSql.h"
#include "tools/Seeder.h"

using namespace orlo;
using reports::ReportId;

namespace {

constexpr qint64 kPatients = 100000;
constexpr qint64 kAppointments = 500000;
constexpr int kRuns = 3;

double seconds(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e9;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The preview's first page: laid out and painted at screen size; then,
// when `whole` is given, the rest of the rows read and the pages counted.
double firstPage(report::Report& report, int* pages, double* whole = nullptr) {
    QElapsedTimer t;
    t.start();
    auto laidOut = report::ReportPages::create(report);
    if (!laidOut) {
        return -1;
    }
    QImage image((laidOut->paperSize() * 96.0 / 72.0).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(96.0 / 72.0, 96.0 / 72.0);
    laidOut->paint(painter, 0);
    painter.end();
    const double first = seconds(t);
    if (whole) {
        if (!laidOut->fetchAll()) {
            return -1;
        }
        *whole = seconds(t);
    }
    *pages = laidOut->pageCount();
    return first;
}

struct Loaded {
    std::unique_ptr<report::Report> report;
    std::unique_ptr<data::Connection> connection;  // MontlyRecall's, handed in
    double seconds = -1;
};

QString statementOf(ReportId id);

// The eager form: the report's statement in a recordset that reads every
// row at open.
Loaded loadEager(ReportId id, const QString& db, const Clock& clock, const Locale& locale) {
    Loaded out;
    QElapsedTimer t;
    t.start();
    out.connection = std::make_unique<data::Connection>(data::DataContext{clock, locale});
    auto rows = std::make_shared<data::Recordset>();
    if (!out.connection->open(reportConnectionString(db)) ||
        !rows->open(statementOf(id), *out.connection, data::kOpenKeyset)) {
        return out;
    }
    out.report = std::make_unique<report::Report>(reports::reportDefinition(id));
    out.report->setDataSource(std::make_shared<report::RecordsetData>(std::move(rows), locale));
    out.seconds = seconds(t);
    return out;
}

Loaded load(ReportId id, const QString& db, const Clock& clock, const Locale& locale) {
    Loaded out;
    QElapsedTimer t;
    t.start();
    if (id == ReportId::MontlyRecall) {
        out.connection = std::make_unique<data::Connection>(data::DataContext{clock, locale});
        auto rows = std::make_shared<data::Recordset>();
        rows->setFetchOnDemand(true);
        if (!out.connection->open(reportConnectionString(db)) ||
            !rows->open(reports::recallMonthSql(QStringLiteral("2026"), QStringLiteral("12")),
                        *out.connection, data::kOpenStatic)) {
            return out;
        }
        auto made = reports::MontlyRecall(QStringLiteral("December"), QStringLiteral("2026"),
                                          std::move(rows), clock, locale);
        out.report = made ? std::move(made).value() : nullptr;
    } else {
        QString sql = QString::fromUtf16(reports::reportEntry(id).sql);
        if (id == ReportId::DataReport9) {
            sql += QStringLiteral("54321");
        }
        reports::LoadFailure failure;
        out.report = reports::loadReportData(id, sql, db, clock, locale, failure);
    }
    out.seconds = seconds(t);
    return out;
}

// The report's statement straight through SQLite (as the data layer opens
// the file, with the same page cache): every row stepped, and the first
// `pageRows` rows only.
struct EngineTimes {
    double allRows = -1;
    double firstPage = -1;
};

QString statementOf(ReportId id) {
    if (id == ReportId::MontlyRecall) {
        return reports::recallMonthSql(QStringLiteral("2026"), QStringLiteral("12"));
    }
    QString sql = QString::fromUtf16(reports::reportEntry(id).sql);
    return id == ReportId::DataReport9 ? sql + QStringLiteral("54321") : sql;
}

EngineTimes sqliteTimes(ReportId id, const QString& db, const Clock& clock, const Locale& locale,
                        qint64 pageRows) {
    const data::DialectContext ctx{
        [](QStringView, QStringView column) { return records::isDateColumn(column); }};
    const auto sql = data::translateJetSql(statementOf(id), ctx);
    EngineTimes times;
    if (!sql) {
        return times;
    }
    const QByteArray text = sql->toUtf8();
    for (const qint64 limit : {qint64(-1), pageRows}) {
        sqlite3* raw = nullptr;
        sqlite3_open_v2(db.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_exec(raw, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
        if (!data::registerJetFunctions(raw, clock, locale)) {
            sqlite3_close_v2(raw);
            return times;
        }
        QElapsedTimer t;
        t.start();
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(raw, text.constData(), -1, &stmt, nullptr);
        qint64 n = 0;
        while ((limit < 0 || n < limit) && sqlite3_step(stmt) == SQLITE_ROW) {
            ++n;
        }
        sqlite3_finalize(stmt);
        (limit < 0 ? times.allRows : times.firstPage) = seconds(t);
        sqlite3_close_v2(raw);
    }
    return times;
}

// How SQLite runs a report's statement: which index serves the search and
// the order (a sort of every row before the first one shows is the cost a
// first page cannot avoid).
void printPlan(ReportId id, const QString& db) {
    const data::DialectContext ctx{
        [](QStringView, QStringView column) { return records::isDateColumn(column); }};
    const auto sql = data::translateJetSql(statementOf(id), ctx);
    sqlite3* raw = nullptr;
    sqlite3_open_v2(db.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const PinnedClock clock(QDateTime::currentDateTime());
    if (!sql || !data::registerJetFunctions(raw, clock, Locale::unitedKingdom())) {
        sqlite3_close_v2(raw);
        return;
    }
    const QByteArray explain = (QStringLiteral("EXPLAIN QUERY PLAN ") + *sql).toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(raw, explain.constData(), -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::printf("    %s\n", reinterpret_cast<const char*>(sqlite3_column_text(stmt, 3)));
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close_v2(raw);
}

}  // namespace

int main(int argc, char** argv) {
    // As the desk and the admin tool run.
    std::printf("freed memory kept for reuse: %s\n",
                orlo::keepFreedMemoryForReuse() ? "yes" : "no");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const PinnedClock clock(naiveDateTime(QDate(2026, 6, 15), QTime(10, 0)));
    const Locale locale = Locale::unitedKingdom();
    const Result<QString> clinic = orlo::test::benchClinic(QStringLiteral(ORLO_BENCH_DEFAULT_DB),
                                                           kPatients, kAppointments, clock, locale);
    if (!clinic) {
        std::fprintf(stderr, "cannot seed: %s\n", qPrintable(clinic.error().description));
        return 1;
    }
    const QString& db = *clinic;
    // "--plans" prints only how SQLite runs each report (quick, for a schema change).
    const bool plansOnly = argc > 1 && qstrcmp(argv[1], "--plans") == 0;
    if (plansOnly) {
        for (const reports::ReportEntry& entry : reports::reportCatalogue()) {
            std::printf("  %s\n", qPrintable(QString::fromUtf16(entry.alias)));
            printPlan(entry.id, db);
        }
        return 0;
    }

    std::printf("\n%-14s %-16s %7s %7s | %8s %8s %8s | %8s %7s | %10s %11s\n", "report", "alias",
                "rows", "pages", "query_s", "page1_s", "whole_s", "eager_s", "ratio", "sqlite_all",
                "sqlite_page1");
    for (const reports::ReportEntry& entry : reports::reportCatalogue()) {
        std::vector<double> query;
        std::vector<double> page;
        std::vector<double> whole;
        std::vector<double> eager;
        qint64 rows = 0;
        int pages = 0;
        for (int run = 0; run < kRuns; ++run) {
            Loaded l = load(entry.id, db, clock, locale);
            Loaded e = loadEager(entry.id, db, clock, locale);
            if (!l.report || !e.report) {
                std::fprintf(stderr, "%s failed to load\n",
                             qPrintable(QString::fromUtf16(entry.object)));
                return 1;
            }
            double all = -1;
            query.push_back(l.seconds);
            page.push_back(l.seconds + firstPage(*l.report, &pages, &all));
            whole.push_back(l.seconds + all);
            int eagerPages = 0;
            eager.push_back(e.seconds + firstPage(*e.report, &eagerPages));
            rows = l.report->dataSource() ? l.report->dataSource()->rowCount() : 0;
            if (eagerPages != pages || e.report->dataSource()->rowCount() != rows) {
                std::fprintf(stderr, "%s: the two forms disagree\n",
                             qPrintable(QString::fromUtf16(entry.object)));
                return 1;
            }
        }
        const double p = median(page);
        const double ea = median(eager);
        const EngineTimes engine = sqliteTimes(entry.id, db, clock, locale, 24);
        std::printf("%-14s %-16s %7lld %7d | %8.3f %8.3f %8.3f | %8.3f %7.1f | %10.3f %11.3f%s\n",
                    qPrintable(QString::fromUtf16(entry.object)),
                    qPrintable(QString::fromUtf16(entry.alias)), rows, pages, median(query), p,
                    median(whole), ea, p > 0 ? ea / p : 0.0, engine.allRows, engine.firstPage,
                    p < 0.5 ? "" : "  (over 0.5 s)");
    }
    std::printf(
        "page1_s: open and first page on screen; whole_s: every row read, pages counted;\n"
        "eager_s: first page when the recordset reads every row at open; ratio eager/page1\n");
    std::printf("\nplans:\n");
    for (const reports::ReportEntry& entry : reports::reportCatalogue()) {
        std::printf("  %s\n", qPrintable(QString::fromUtf16(entry.alias)));
        printPlan(entry.id, db);
    }

    // The patient list: on-demand first page against laying out every page
    // first, then the whole PDF and CSV.
    Loaded list = load(ReportId::DataReport11, db, clock, locale);
    auto pages = report::ReportPages::create(*list.report);
    if (!pages) {
        return 1;
    }
    int count = 0;
    const double onDemand = firstPage(*list.report, &count);
    QElapsedTimer t;
    t.start();
    if (!pages->fetchAll()) {
        return 1;
    }
    for (int p = 0; p < pages->pageCount(); ++p) {
        QPicture picture;
        QPainter painter(&picture);
        pages->paint(painter, p);
    }
    const double everyPage = seconds(t);
    std::printf(
        "\npatient list, first page on demand %.4f s, every page laid out first %.3f s, "
        "ratio %.0f\n",
        onDemand, everyPage, onDemand > 0 ? everyPage / onDemand : 0.0);

    QTemporaryDir out;
    t.restart();
    if (!report::writePdf(*pages, out.filePath(QStringLiteral("list.pdf")))) {
        return 1;
    }
    const double pdf = seconds(t);
    t.restart();
    if (!report::writeCsv(*pages, out.filePath(QStringLiteral("list.csv")))) {
        return 1;
    }
    const double csv = seconds(t);
    std::printf("patient list, %lld rows: PDF %d pages %.2f s (%.1f MB), CSV %.2f s (%.1f MB)\n",
                pages->rowCount(), pages->pageCount(), pdf,
                double(QFileInfo(out.filePath(QStringLiteral("list.pdf"))).size()) / 1e6, csv,
                double(QFileInfo(out.filePath(QStringLiteral("list.csv"))).size()) / 1e6);
    return 0;
}
