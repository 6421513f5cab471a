#include "TestDatabases.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <cstdio>

#include "platform/data/DatabaseFile.h"
#include "platform/data/ServerDatabase.h"
#include "platform/pg/PgDatabase.h"
#include "records/Schema.h"

namespace orlo::test {

namespace {

QString lit(const char* s) {
    if (s == nullptr) {
        return u"NULL"_s;
    }
    QString t = QString::fromUtf8(s);
    t.replace(QLatin1Char('\''), u"''"_s);
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// The suite's cluster, as ctest names it.
QString clusterUri() {
    return qEnvironmentVariable("ORLO_TEST_PG_URI");
}

// The cluster's URI with another database in place of the one it names.
QString withDatabase(const QString& uri, const QString& name) {
    const qsizetype slash = uri.indexOf(QLatin1Char('/'), uri.indexOf(u"://"_s) + 3);
    const qsizetype query = uri.indexOf(QLatin1Char('?'));
    return uri.left(slash + 1) + name + (query >= 0 ? uri.mid(query) : QString());
}

// Runs statements on the cluster's own database, or the one `uri` names.
bool adminExec(const QString& sql, const QString& uri = clusterUri()) {
    pg::PgResult<pg::PgDatabase> db = pg::PgDatabase::connect(uri);
    if (!db) {
        ADD_FAILURE() << db.error().message.toStdString();
        return false;
    }
    pg::PgDatabase server = std::move(db).value();
    const pg::PgStatus done = server.execScript(sql);
    EXPECT_TRUE(done.ok()) << (done.ok() ? "" : done.error().message.toStdString());
    return done.ok();
}

}  // namespace

namespace {

// The tests' raw SQL names tables and columns bare, as SQLite takes them in
// any case; the server wants the schema's upper-case names quoted.
QString forServer(const QString& sql) {
    static const QSet<QString> names = [] {
        QSet<QString> all = {u"PATIENTS"_s, u"SCHEDULED"_s, u"CURRENTSESSIONS"_s};
        for (const QString& c :
             records::patientColumns() + records::scheduleColumns() + records::sessionColumns()) {
            all.insert(c);
        }
        return all;
    }();
    QString out;
    QChar quote;
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            quote = c == quote ? QChar() : quote;
            out += c;
            ++i;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
            ++i;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            qsizetype j = i;
            while (j < sql.size() &&
                   (sql.at(j).isLetterOrNumber() || sql.at(j) == QLatin1Char('_'))) {
                ++j;
            }
            const QString word = sql.mid(i, j - i);
            out += names.contains(word.toUpper()) ? u"\""_s + word.toUpper() + u"\""_s : word;
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace

const char* engineName(Engine engine) {
    return engine == Engine::Server ? "Server" : "File";
}

TestDatabases::TestDatabases(Engine engine) : m_engine(engine) {
    EXPECT_TRUE(QDir(dir()).mkpath(u"Database"_s));
    EXPECT_TRUE(QDir(dir()).mkpath(u"META"_s));
    if (engine == Engine::Server) {
        if (clusterUri().isEmpty()) {
            ADD_FAILURE() << "ORLO_TEST_PG_URI is not set: run the test through ctest, which "
                             "starts the PostgreSQL cluster";
        } else {
            // The first database of a test process is made with the schema
            // and kept as the template of every later one, which is then a
            // plain copy of its files.
            static int made = 0;
            const QString pid = QString::number(QCoreApplication::applicationPid());
            const QString model = u"orlo_model_"_s + pid;
            if (made == 0 && adminExec(u"CREATE DATABASE "_s + model)) {
                const QString modelUri = withDatabase(clusterUri(), model);
                const Status created =
                    data::createServerDatabase(modelUri, records::sharedServerSchemaStatements());
                EXPECT_TRUE(created.ok())
                    << (created.ok() ? "" : created.error().description.toStdString());
                // The tests read lists back with SQLite's group_concat.
                adminExec(
                    u"CREATE FUNCTION group_concat_step(acc text, v text, sep "
                    "text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT CASE "
                    "WHEN v IS NULL THEN acc WHEN acc IS NULL THEN v ELSE acc || "
                    "sep || v END $$; CREATE AGGREGATE group_concat(text, text) "
                    "(SFUNC = group_concat_step, STYPE = text); CREATE FUNCTION "
                    "group_concat_step(acc text, v text) RETURNS text LANGUAGE sql "
                    "IMMUTABLE AS $$ SELECT group_concat_step(acc, v, ',') $$; "
                    "CREATE AGGREGATE group_concat(text) (SFUNC = "
                    "group_concat_step, STYPE = text)"_s,
                    modelUri);
            }
            m_serverName = u"orlo_test_%1_%2"_s.arg(pid).arg(++made);
            m_serverUri = withDatabase(clusterUri(), m_serverName);
            adminExec(
                u"CREATE DATABASE %1 TEMPLATE %2 STRATEGY FILE_COPY"_s.arg(m_serverName, model));
        }
    } else {
        EXPECT_TRUE(data::createDatabaseFile(sharedPath(), records::sharedSchemaStatements(),
                                             data::DatabaseKind::Shared)
                        .ok());
    }
    EXPECT_TRUE(data::createDatabaseFile(scratchPath(), records::scratchSchemaStatements(),
                                         data::DatabaseKind::Scratch)
                    .ok());
}

TestDatabases::~TestDatabases() {
    for (const QString& name : m_emptyServerNames + QStringList{m_serverName}) {
        if (!name.isEmpty()) {
            adminExec(u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(name));
        }
    }
}

QString TestDatabases::emptyServerDatabase() {
    static int made = 0;
    const QString name = u"orlo_empty_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++made);
    adminExec(u"CREATE DATABASE "_s + name);
    m_emptyServerNames << name;
    return withDatabase(clusterUri(), name);
}

void rawExecAt(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    const QString why = QString::fromUtf8(message ? message : "");
    sqlite3_free(message);
    sqlite3_close_v2(db);
    ASSERT_EQ(rc, SQLITE_OK) << why.toStdString() << " in " << sql.toStdString();
}

std::optional<QString> rawValueAt(const QString& path, const QString& sql) {
    // Opened for writing (never created) and waiting on locks like a workstation, so that a
    // file left with a hot journal by a killed writer is rolled back and read instead of
    // answering nothing; a write-protected file still opens read-only.
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(db, 30000);
    sqlite3_stmt* stmt = nullptr;
    std::optional<QString> result;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL) {
        result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    return result;
}

void TestDatabases::rawExec(const QString& sql, const QString& path) const {
    if (m_engine == Engine::Server && path.isEmpty()) {
        pg::PgResult<pg::PgDatabase> db = pg::PgDatabase::connect(m_serverUri);
        ASSERT_TRUE(db.ok()) << db.error().message.toStdString();
        pg::PgDatabase server = std::move(db).value();
        const pg::PgStatus done = server.execScript(forServer(sql));
        ASSERT_TRUE(done.ok()) << done.error().message.toStdString() << " in " << sql.toStdString();
        return;
    }
    rawExecAt(path.isEmpty() ? sharedPath() : path, sql);
}

std::optional<QString> TestDatabases::rawValue(const QString& sql, const QString& path) const {
    if (m_engine == Engine::Server && path.isEmpty()) {
        return rawValueOn(m_serverUri, forServer(sql));
    }
    return rawValueAt(path.isEmpty() ? sharedPath() : path, sql);
}

std::optional<QString> TestDatabases::rawValueOn(const QString& uri, const QString& sql) {
    pg::PgResult<pg::PgDatabase> db = pg::PgDatabase::connect(uri);
    if (!db) {
        return std::nullopt;
    }
    pg::PgDatabase server = std::move(db).value();
    const pg::PgResult<pg::PgRows> rows = server.exec(sql);
    if (!rows || rows->rowCount() == 0 || rows->isNull(0, 0)) {
        return std::nullopt;
    }
    return rows->text(0, 0);
}

qint64 TestDatabases::rawCount(const QString& sql) const {
    return rawValue(sql).value_or(u"-1"_s).toLongLong();
}

void TestDatabases::addPatients(const std::vector<SeedPatient>& patients) const {
    QString sql = u"BEGIN;"_s;
    for (const SeedPatient& p : patients) {
        sql +=
            u"INSERT INTO \"PATIENTS\" (\"PT_ID\", \"LAST NAME\", \"FIRST NAME\", \"DOB\", "
            "\"DIABETICYN\", \"HOUSENO\", \"STREET1\", \"CITY\", \"HOME_TEL\", \"CREATED\", "
            "\"DELETE_FLAG\") VALUES (%1, %2, %3, "
            "%4, %5, '1', 'High Street', 'York', '0123', '2026-01-01 09:00:00', 'NO');"_s.arg(
                QString::number(p.id), lit(p.last), lit(p.first), lit(p.dob), lit(p.diabetic));
    }
    rawExec(sql + u"COMMIT;"_s);
}

void TestDatabases::addAppointments(const std::vector<SeedAppointment>& appointments) const {
    QString sql = u"BEGIN;"_s;
    for (const SeedAppointment& a : appointments) {
        sql +=
            u"INSERT INTO \"SCHEDULED\" (\"SCHEDULE_ID\", \"PT_ID\", \"START_TIME\", "
            "\"END_TIME\", \"RECALLDUEDATE\", \"STATUS\", \"BALANCE1\", \"RECALLPERIOD\") VALUES "
            "(%1, %2, %3, %3, %4, "
            "%5, %6, '6');"_s.arg(QString::number(a.id), QString::number(a.patient), lit(a.start),
                                  lit(a.recall), lit(a.status), lit(a.balance));
    }
    rawExec(sql + u"COMMIT;"_s);
}

Result<tools::SeedCounts> seedClinic(const QString& path, const tools::SeedOptions& options,
                                     const Locale& locale) {
    ORLO_TRY(data::createDatabaseFile(path, records::sharedSchemaStatements(),
                                      data::DatabaseKind::Shared));
    return tools::seedDatabase(path, options, locale);
}

Result<QString> benchClinic(const QString& defaultPath, qint64 patients, qint64 appointments,
                            const Clock& clock, const Locale& locale) {
    QString path = qEnvironmentVariable("ORLO_BENCH_DB");
    if (path.isEmpty()) {
        path = defaultPath;
    }
    if (QFileInfo::exists(path)) {
        std::printf("reusing %s\n", qPrintable(path));
        return path;
    }
    QElapsedTimer t;
    t.start();
    tools::SeedOptions options;
    options.patients = patients;
    options.appointments = appointments;
    options.seed = 2026;
    options.now = clock.now();
    ORLO_TRY(seedClinic(path, options, locale));
    std::printf("seeded %lld patients and %lld appointments in %.1f s\n", patients, appointments,
                double(t.elapsed()) / 1000.0);
    return path;
}

QDateTime at(const char* canonical) {
    const QDateTime d =
        QDateTime::fromString(QString::fromLatin1(canonical), u"yyyy-MM-dd HH:mm:ss"_s);
    return naiveDateTime(d.date(), d.time());
}

QString shown(const Variant& v) {
    if (v.isNull()) {
        return u"<null>"_s;
    }
    if (const QDateTime* d = v.asDate()) {
        return d->toString(u"yyyy-MM-dd HH:mm:ss"_s);
    }
    if (const double* d = v.asDouble()) {
        return QString::number(*d, 'g', 15);
    }
    return v.text(Locale::unitedKingdom());
}

}  // namespace orlo::test
