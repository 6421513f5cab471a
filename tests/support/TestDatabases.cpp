#include "TestDatabases.h"

#include <sqlite3.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

#include "platform/data/DatabaseFile.h"
#include "records/Schema.h"

using namespace Qt::Literals::StringLiterals;

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

}  // namespace

TestDatabases::TestDatabases() {
    EXPECT_TRUE(QDir(dir()).mkpath(u"Database"_s));
    EXPECT_TRUE(QDir(dir()).mkpath(u"META"_s));
    EXPECT_TRUE(data::createDatabaseFile(sharedPath(), records::sharedSchemaStatements(),
                                         data::DatabaseKind::Shared)
                    .ok());
    EXPECT_TRUE(data::createDatabaseFile(scratchPath(), records::scratchSchemaStatements(),
                                         data::DatabaseKind::Scratch)
                    .ok());
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
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
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
    rawExecAt(path.isEmpty() ? sharedPath() : path, sql);
}

std::optional<QString> TestDatabases::rawValue(const QString& sql, const QString& path) const {
    return rawValueAt(path.isEmpty() ? sharedPath() : path, sql);
}

qint64 TestDatabases::rawCount(const QString& sql) const {
    return rawValue(sql).value_or(u"-1"_s).toLongLong();
}

void TestDatabases::addPatients(const std::vector<SeedPatient>& patients) const {
    QString sql = u"BEGIN;"_s;
    for (const SeedPatient& p : patients) {
        sql +=
            u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB, DIABETICYN, "
            "HOUSENO, STREET1, CITY, HOME_TEL, CREATED, DELETE_FLAG) VALUES (%1, %2, %3, "
            "%4, %5, '1', 'High Street', 'York', '0123', '2026-01-01 09:00:00', 'NO');"_s.arg(
                QString::number(p.id), lit(p.last), lit(p.first), lit(p.dob), lit(p.diabetic));
    }
    rawExec(sql + u"COMMIT;"_s);
}

void TestDatabases::addAppointments(const std::vector<SeedAppointment>& appointments) const {
    QString sql = u"BEGIN;"_s;
    for (const SeedAppointment& a : appointments) {
        sql +=
            u"INSERT INTO SCHEDULED (SCHEDULE_ID, PT_ID, START_TIME, END_TIME, "
            "RECALLDUEDATE, STATUS, BALANCE1, RECALLPERIOD) VALUES (%1, %2, %3, %3, %4, "
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
