#include "tools/DbCommands.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <optional>

#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/data/Connection.h"
#include "platform/data/ConnectionString.h"
#include "platform/data/DatabaseFile.h"
#include "platform/data/Recordset.h"
#include "platform/data/ServerDatabase.h"
#include "platform/pg/PgLocation.h"
#include "records/Schema.h"
#include "records/SchemaUpgrade.h"
#include "tools/Csv.h"
#include "tools/Seeder.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::tools {

namespace {

constexpr QStringView kUsage =
    u"usage:\n"
    u"  orlo db init PATH|URI\n"
    u"  orlo db init-scratch PATH\n"
    u"  orlo db upgrade PATH|URI\n"
    u"  orlo db query PATH \"SQL\" [--now \"YYYY-MM-DD HH:MM:SS\"]\n"
    u"  orlo db seed PATH --patients N --appointments M [--seed S] [--now \"YYYY-MM-DD "
    u"HH:MM:SS\"]\n";

int usageError(ToolIo& io, const QString& why) {
    io.err << "orlo db: " << why << "\n" << kUsage;
    return kExitUsage;
}

int failed(ToolIo& io, const Error& e) {
    io.err << "orlo db: " << e.description << " (error " << e.number << ")\n";
    return kExitFailure;
}

// "--name value" options after the positional arguments.
struct Options {
    QStringList positional;
    QHash<QString, QString> named;
};

std::optional<Options> parseOptions(const QStringList& args, const QStringList& known, ToolIo& io,
                                    int* exitCode) {
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a.startsWith(u"--"_s)) {
            if (!known.contains(a)) {
                *exitCode = usageError(io, u"unknown option %1"_s.arg(a));
                return std::nullopt;
            }
            if (i + 1 >= args.size()) {
                *exitCode = usageError(io, u"%1 needs a value"_s.arg(a));
                return std::nullopt;
            }
            o.named.insert(a, args[++i]);
        } else {
            o.positional << a;
        }
    }
    return o;
}

std::optional<QDateTime> parseNow(const Options& o, ToolIo& io, int* exitCode) {
    if (!o.named.contains(u"--now"_s)) {
        return SystemClock().now();
    }
    const QString text = o.named.value(u"--now"_s);
    const QDateTime dt = QDateTime::fromString(text, u"yyyy-MM-dd HH:mm:ss"_s);
    if (!dt.isValid()) {
        *exitCode = usageError(io, u"--now wants \"YYYY-MM-DD HH:MM:SS\", not '%1'"_s.arg(text));
        return std::nullopt;
    }
    return naiveDateTime(dt.date(), dt.time());
}

std::optional<qint64> parseCount(const Options& o, const QString& name, qint64 fallback, ToolIo& io,
                                 int* exitCode) {
    if (!o.named.contains(name)) {
        return fallback;
    }
    bool ok = false;
    const qint64 n = o.named.value(name).toLongLong(&ok);
    if (!ok || n < 0) {
        *exitCode = usageError(io, u"%1 wants a whole number >= 0"_s.arg(name));
        return std::nullopt;
    }
    return n;
}

QString csvValue(const Variant& v, const Locale& locale) {
    if (const QDateTime* d = v.asDate()) {
        return d->toString(u"yyyy-MM-dd HH:mm:ss"_s);
    }
    if (const double* d = v.asDouble()) {
        return QString::number(*d, 'g', 15);
    }
    return v.text(locale);
}

int init(const QStringList& args, ToolIo& io, data::DatabaseKind kind) {
    if (args.size() != 1 || args.first().trimmed().isEmpty()) {
        return usageError(io, u"init takes exactly one PATH"_s);
    }
    if (kind == data::DatabaseKind::Shared && data::isServerLocation(args.first())) {
        if (Status s =
                data::createServerDatabase(args.first(), records::sharedServerSchemaStatements());
            !s) {
            return failed(io, s.error());
        }
        io.out << "created " << pg::redactedUri(args.first()) << "\n";
        return kExitOk;
    }
    const QStringList statements = kind == data::DatabaseKind::Shared
                                       ? records::sharedSchemaStatements()
                                       : records::scratchSchemaStatements();
    if (Status s = data::createDatabaseFile(args.first(), statements, kind); !s) {
        return failed(io, s.error());
    }
    io.out << "created " << args.first() << "\n";
    return kExitOk;
}

int upgrade(const QStringList& args, ToolIo& io) {
    if (args.size() != 1) {
        return usageError(io, u"upgrade takes exactly one PATH"_s);
    }
    const SystemClock clock;
    const Locale locale = Locale::system();
    const Result<records::SchemaUpgrade> done =
        records::upgradeSharedSchema(args.first(), {clock, locale});
    if (!done) {
        return failed(io, done.error());
    }
    io.out << done->summary() << "\n";
    return kExitOk;
}

int query(const QStringList& args, ToolIo& io) {
    int code = kExitOk;
    std::optional<Options> o = parseOptions(args, {u"--now"_s}, io, &code);
    if (!o) {
        return code;
    }
    if (o->positional.size() != 2) {
        return usageError(io, u"query takes PATH and one SQL text"_s);
    }
    std::optional<QDateTime> now = parseNow(*o, io, &code);
    if (!now) {
        return code;
    }
    if (QFileInfo(o->positional[0]).isDir()) {
        // Said here, naming the path as given: the connection would only
        // report that it found no file.
        io.err << "orlo db: " << o->positional[0] << " is a folder, not a database file.\n";
        return kExitFailure;
    }
    const PinnedClock clock(*now);
    const Locale locale = Locale::system();
    data::Connection conn({clock, locale});
    conn.setProvider(QString::fromUtf16(data::kJetProvider));
    if (Status s = conn.open(o->positional[0]); !s) {
        return failed(io, s.error());
    }
    const QString sql = o->positional[1];
    if (!sql.trimmed().startsWith(u"SELECT"_s, Qt::CaseInsensitive)) {
        Result<qint64> n = conn.execute(sql);
        if (!n) {
            return failed(io, n.error());
        }
        io.out << *n << "\n";
        return kExitOk;
    }
    data::Recordset rs;
    if (Status s = rs.open(sql, conn, data::kOpenStatic, data::kLockReadOnly); !s) {
        return failed(io, s.error());
    }
    QStringList header;
    for (int i = 0; i < rs.fieldCount(); ++i) {
        header << rs.fieldName(i).valueOr(QString());
    }
    io.out << csvLine(header);
    while (!rs.eof()) {
        QStringList row;
        for (int i = 0; i < rs.fieldCount(); ++i) {
            row << csvValue(rs.field(i).valueOr(Variant::null()), locale);
        }
        io.out << csvLine(row);
        if (Status s = rs.moveNext(); !s) {
            return failed(io, s.error());
        }
    }
    return kExitOk;
}

int seed(const QStringList& args, ToolIo& io) {
    int code = kExitOk;
    std::optional<Options> o = parseOptions(
        args, {u"--patients"_s, u"--appointments"_s, u"--seed"_s, u"--now"_s}, io, &code);
    if (!o) {
        return code;
    }
    if (o->positional.size() != 1) {
        return usageError(io, u"seed takes exactly one PATH"_s);
    }
    if (!o->named.contains(u"--patients"_s) && !o->named.contains(u"--appointments"_s)) {
        return usageError(io, u"seed wants --patients N or --appointments M"_s);
    }
    SeedOptions options;
    std::optional<qint64> patients = parseCount(*o, u"--patients"_s, 0, io, &code);
    if (!patients) {
        return code;
    }
    std::optional<qint64> appointments = parseCount(*o, u"--appointments"_s, 0, io, &code);
    if (!appointments) {
        return code;
    }
    std::optional<qint64> seedValue = parseCount(*o, u"--seed"_s, 1, io, &code);
    if (!seedValue) {
        return code;
    }
    std::optional<QDateTime> now = parseNow(*o, io, &code);
    if (!now) {
        return code;
    }
    options.patients = *patients;
    options.appointments = *appointments;
    options.seed = std::uint64_t(*seedValue);
    options.now = *now;
    QElapsedTimer timer;
    timer.start();
    Result<SeedCounts> counts = seedDatabase(o->positional[0], options, Locale::system());
    if (!counts) {
        return failed(io, counts.error());
    }
    io.out << "added " << counts->patients << " patients and " << counts->appointments
           << " appointments in " << timer.elapsed() << " ms\n";
    return kExitOk;
}

}  // namespace

int runDbCommands(const QStringList& args, ToolIo& io) {
    if (args.isEmpty()) {
        io.err << kUsage;
        return kExitUsage;
    }
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    if (command == u"init"_s) {
        return init(rest, io, data::DatabaseKind::Shared);
    }
    if (command == u"init-scratch"_s) {
        return init(rest, io, data::DatabaseKind::Scratch);
    }
    if (command == u"upgrade"_s) {
        return upgrade(rest, io);
    }
    if (command == u"query"_s) {
        return query(rest, io);
    }
    if (command == u"seed"_s) {
        return seed(rest, io);
    }
    return usageError(io, u"unknown command '%1'"_s.arg(command));
}

}  // namespace orlo::tools
