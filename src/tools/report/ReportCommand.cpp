#include "tools/report/ReportCommand.h"

#include <QDateTime>
#include <QHash>
#include <optional>

#include "common/DatabaseLocation.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/data/Connection.h"
#include "platform/data/Recordset.h"
#include "platform/report/ReportExport.h"
#include "platform/report/ReportPages.h"
#include "reports/ReportCatalogue.h"
#include "reports/ReportLoader.h"
#include "reports/ReportSql.h"

namespace orlo::tools {

namespace {

using reports::ReportId;

constexpr char kUsage[] =
    "usage: orlo report NAME --db PATH [--as-of \"YYYY-MM-DD HH:MM:SS\"] [--patient ID]\n"
    "                   [--year Y --month M] [--locale uk|us|system] (--pdf FILE | --csv FILE)\n";

constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

struct Request {
    const reports::ReportEntry* entry = nullptr;
    QHash<QString, QString> options;
    QString option(const char* name) const { return options.value(QLatin1String(name)); }
    bool has(const char* name) const { return options.contains(QLatin1String(name)); }
};

int usage(ToolIo& io, const QString& why) {
    io.err << "orlo report: " << why << "\n" << kUsage;
    return kExitUsage;
}

void listReports(ToolIo& io) {
    io.out << kUsage << "\nreports:\n";
    for (const reports::ReportEntry& e : reports::reportCatalogue()) {
        io.out << "  " << QString::fromUtf16(e.object).leftJustified(14) << " "
               << QString::fromUtf16(e.alias).leftJustified(17) << " "
               << (e.id == ReportId::MontlyRecall ? QStringLiteral("<Month> <Year> ") : QString())
               << QString::fromUtf16(e.title) << "\n";
    }
}

std::optional<Request> parse(const QStringList& args, ToolIo& io, int* code) {
    static const QStringList kOptions = {QStringLiteral("--db"),      QStringLiteral("--as-of"),
                                         QStringLiteral("--patient"), QStringLiteral("--year"),
                                         QStringLiteral("--month"),   QStringLiteral("--locale"),
                                         QStringLiteral("--pdf"),     QStringLiteral("--csv")};
    Request r;
    r.entry = reports::findReport(args.first());
    if (r.entry == nullptr) {
        *code = usage(io, QStringLiteral("no report is called '%1' ('orlo report' lists them)")
                              .arg(args.first()));
        return std::nullopt;
    }
    for (qsizetype i = 1; i < args.size(); i += 2) {
        if (!kOptions.contains(args[i]) || i + 1 >= args.size()) {
            *code = usage(io, kOptions.contains(args[i])
                                  ? QStringLiteral("%1 needs a value").arg(args[i])
                                  : QStringLiteral("unknown argument %1").arg(args[i]));
            return std::nullopt;
        }
        r.options.insert(args[i], args[i + 1]);
    }
    const auto need = [&](bool ok, const QString& why) {
        if (!ok && *code == kExitOk) {
            *code = usage(io, why);
        }
        return ok;
    };
    *code = kExitOk;
    need(r.has("--db"), QStringLiteral("--db PATH is required"));
    need(r.has("--pdf") != r.has("--csv"), QStringLiteral("give one of --pdf FILE or --csv FILE"));
    if (r.entry->id == ReportId::DataReport9) {
        need(reports::isPlainId(r.option("--patient")),
             QStringLiteral("DataReport9 needs --patient ID (digits only)"));
    }
    if (r.entry->id == ReportId::MontlyRecall) {
        const int month = r.option("--month").toInt();
        need(reports::isPlainId(r.option("--year")) && r.option("--year").size() == 4,
             QStringLiteral("MontlyRecall needs --year YYYY"));
        need(reports::isPlainId(r.option("--month")) && month >= 1 && month <= 12,
             QStringLiteral("MontlyRecall needs --month 1-12"));
    }
    const QString locale = r.option("--locale");
    need(locale.isEmpty() || locale == u"uk" || locale == u"us" || locale == u"system",
         QStringLiteral("--locale is uk, us or system"));
    return *code == kExitOk ? std::optional<Request>(r) : std::nullopt;
}

Locale localeOf(const QString& name) {
    if (name == u"uk") {
        return Locale::unitedKingdom();
    }
    if (name == u"us") {
        return Locale::unitedStates();
    }
    return Locale::system();
}

int failed(ToolIo& io, const Error& e) {
    io.err << "orlo report: " << e.description << " (error " << e.number << ")\n";
    return kExitFailure;
}

}  // namespace

int runReportCommand(const QStringList& args, ToolIo& io) {
    if (args.isEmpty()) {
        listReports(io);
        return kExitOk;
    }
    int code = kExitOk;
    const std::optional<Request> r = parse(args, io, &code);
    if (!r) {
        return code;
    }
    QDateTime now = SystemClock().now();
    if (r->has("--as-of")) {
        const QString text = r->option("--as-of");
        QDateTime at = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!at.isValid()) {
            at = QDateTime(QDate::fromString(text, QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
        }
        if (!at.isValid()) {
            return usage(
                io, QStringLiteral("--as-of wants \"YYYY-MM-DD HH:MM:SS\", not '%1'").arg(text));
        }
        now = naiveDateTime(at.date(), at.time());
    }
    const PinnedClock clock(now);
    const Locale locale = localeOf(r->option("--locale"));
    const QString db = r->option("--db");

    std::unique_ptr<report::Report> report;
    // Kept while the report reads it: MontlyRecall's rows are handed in.
    std::unique_ptr<data::Connection> connection;
    if (r->entry->id == ReportId::MontlyRecall) {
        connection = std::make_unique<data::Connection>(data::DataContext{clock, locale});
        auto rows = std::make_shared<data::Recordset>();
        const QString month = QString::number(r->option("--month").toInt());
        Status s = connection->open(reportConnectionString(db));
        if (s) {
            s = rows->open(reports::recallMonthSql(r->option("--year"), month), *connection,
                           data::kOpenKeyset, data::kLockOptimistic, data::kCmdUnspecified);
        }
        if (!s) {
            return failed(io, s.error());
        }
        auto made = reports::MontlyRecall(QLatin1String(kMonths[month.toInt() - 1]),
                                          r->option("--year"), std::move(rows), clock, locale);
        if (!made) {
            return failed(io, made.error());
        }
        report = std::move(made).value();
    } else {
        QString sql = QString::fromUtf16(r->entry->sql);
        if (r->entry->id == ReportId::DataReport9) {
            sql += r->option("--patient");
        }
        reports::LoadFailure failure;
        report = reports::loadReportData(r->entry->id, sql, db, clock, locale, failure);
        if (!report) {
            return failed(io, failure.error);
        }
    }

    const Result<report::ReportPages> pages = report::ReportPages::create(*report);
    if (!pages) {
        return failed(io, pages.error());
    }
    const bool pdf = r->has("--pdf");
    const QString file = r->option(pdf ? "--pdf" : "--csv");
    if (Status s = pdf ? report::writePdf(*pages, file) : report::writeCsv(*pages, file); !s) {
        return failed(io, s.error());
    }
    io.out << report->definition().caption() << ": " << pages->rowCount() << " rows, "
           << pages->pageCount() << (pages->pageCount() == 1 ? " page" : " pages") << " -> " << file
           << "\n";
    return kExitOk;
}

}  // namespace orlo::tools
