#include "TestDatabase.h"

#include <gtest/gtest.h>

#include "records/Schema.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::test {

namespace {

void bind(sqlite3_stmt* stmt, const QStringList& params) {
    for (int i = 0; i < params.size(); ++i) {
        const QByteArray utf8 = params.at(i).toUtf8();
        sqlite3_bind_text(stmt, i + 1, utf8.constData(), static_cast<int>(utf8.size()),
                          SQLITE_TRANSIENT);
    }
}

QVariant columnValue(sqlite3_stmt* stmt) {
    switch (sqlite3_column_type(stmt, 0)) {
        case SQLITE_NULL:
            return QVariant();
        case SQLITE_INTEGER:
            return QVariant(qint64{sqlite3_column_int64(stmt, 0)});
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(stmt, 0));
        default:
            return QVariant(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                                  sqlite3_column_bytes(stmt, 0)));
    }
}

}  // namespace

bool isSharedDateColumn(QStringView table, QStringView column) {
    static const QStringList patients = {u"DOB"_s, u"CREATED"_s, u"LAST_UPDATED"_s};
    static const QStringList scheduled = {u"START_TIME"_s, u"END_TIME"_s, u"RECALLDUEDATE"_s,
                                          u"CREATED_ON"_s, u"UPDATED_ON"_s};
    const auto in = [&](const QStringList& list) {
        return list.contains(column.toString(), Qt::CaseInsensitive);
    };
    if (table.compare(u"PATIENTS", Qt::CaseInsensitive) == 0) {
        return in(patients);
    }
    if (table.compare(u"SCHEDULED", Qt::CaseInsensitive) == 0) {
        return in(scheduled);
    }
    if (table.compare(u"CURRENTSESSIONS", Qt::CaseInsensitive) == 0) {
        return column.compare(u"LOGGED_IN_AT", Qt::CaseInsensitive) == 0;
    }
    return false;
}

data::DialectContext sharedDialect() {
    data::DialectContext ctx;
    ctx.isDateColumn = isSharedDateColumn;
    return ctx;
}

QString translated(const QString& jet) {
    const auto sql = data::translateJetSql(jet, sharedDialect());
    EXPECT_TRUE(sql.ok()) << jet.toStdString() << ": " << sql.error().description.toStdString();
    return sql.ok() ? *sql : QString();
}

TestDatabase::TestDatabase(const Clock& clock, const Locale& locale, bool withTables) {
    EXPECT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
    const Status registered = data::registerJetFunctions(m_db, clock, locale);
    EXPECT_TRUE(registered.ok());
    if (!withTables) {
        return;
    }
    // The tables as the shared and scratch databases make them, without
    // their indexes (a test adds the one it looks at).
    for (const QString& sql :
         records::sharedSchemaStatements() + records::scratchSchemaStatements()) {
        if (sql.startsWith(u"CREATE TABLE"_s)) {
            EXPECT_EQ(execRaw(sql), QString()) << sql.toStdString();
        }
    }
}

TestDatabase::~TestDatabase() {
    sqlite3_close(m_db);
}

QString TestDatabase::execRaw(const QString& sql, const QStringList& params) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, utf8.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        return QString::fromUtf8(sqlite3_errmsg(m_db));
    }
    bind(stmt, params);
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(stmt);
    }
    const QString message = rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_finalize(stmt);
    return message;
}

QString TestDatabase::exec(const QString& jetSql) {
    const auto sql = data::translateJetSql(jetSql, sharedDialect());
    if (!sql) {
        return sql.error().description;
    }
    return execRaw(*sql);
}

QList<QVariant> TestDatabase::column(const QString& sql, const QStringList& params) {
    QList<QVariant> values;
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, utf8.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql.toStdString() << ": " << sqlite3_errmsg(m_db);
        return values;
    }
    bind(stmt, params);
    int rc = 0;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        values.append(columnValue(stmt));
    }
    if (rc != SQLITE_DONE) {
        ADD_FAILURE() << sql.toStdString() << ": " << sqlite3_errmsg(m_db);
    }
    sqlite3_finalize(stmt);
    return values;
}

QVariant TestDatabase::value(const QString& sql, const QStringList& params) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, utf8.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        return QString::fromUtf8(sqlite3_errmsg(m_db));
    }
    bind(stmt, params);
    QVariant result;
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        result = columnValue(stmt);
    } else if (rc != SQLITE_DONE) {
        result = QString::fromUtf8(sqlite3_errmsg(m_db));
    }
    sqlite3_finalize(stmt);
    return result;
}

}  // namespace orlo::test
