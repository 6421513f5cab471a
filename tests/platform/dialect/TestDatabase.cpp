#include "TestDatabase.h"

#include <gtest/gtest.h>
#include <QRegularExpression>

#include "records/Schema.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::test {

namespace {

QVariant firstColumn(const sqlite::Statement& row) {
    switch (row.columnType(0)) {
        case SQLITE_NULL:
            return QVariant();
        case SQLITE_INTEGER:
            return QVariant(qint64{row.columnInt(0)});
        case SQLITE_FLOAT:
            return QVariant(row.columnDouble(0));
        default:
            return QVariant(row.columnText(0));
    }
}

// Runs `sql` with `params` bound as texts, the first column of every row
// into `values`; "" on success, else SQLite's message.
QString run(const sqlite::Database& db, const QString& sql, const QStringList& params,
            QList<QVariant>& values) {
    auto prepared = db.prepare(sql);
    if (!prepared) {
        return prepared.error().message;
    }
    sqlite::Statement stmt = std::move(prepared).value();
    for (int i = 0; i < params.size(); ++i) {
        stmt.bindText(i + 1, params.at(i));
    }
    const sqlite::SqlStatus walked =
        stmt.forEachRow([&](const sqlite::Statement& row) { values.append(firstColumn(row)); });
    return walked.ok() ? QString() : walked.error().message;
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
    auto opened = sqlite::Database::open(u":memory:"_s, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    EXPECT_TRUE(opened.ok());
    m_db = std::move(opened).value();
    EXPECT_TRUE(data::registerJetFunctions(m_db.handle(), clock, locale).ok());
    // The tables as the shared and scratch databases make them, without
    // their indexes (a test adds the one it looks at).
    const QStringList statements =
        withTables ? records::sharedSchemaStatements() + records::scratchSchemaStatements()
                   : QStringList();
    for (const QString& sql : statements.filter(QRegularExpression(u"^CREATE TABLE"_s))) {
        EXPECT_EQ(execRaw(sql), QString()) << sql.toStdString();
    }
}

QString TestDatabase::execRaw(const QString& sql, const QStringList& params) {
    QList<QVariant> ignored;
    return run(m_db, sql, params, ignored);
}

QString TestDatabase::exec(const QString& jetSql) {
    const auto sql = data::translateJetSql(jetSql, sharedDialect());
    return sql ? execRaw(*sql) : sql.error().description;
}

QList<QVariant> TestDatabase::column(const QString& sql, const QStringList& params) {
    QList<QVariant> values;
    const QString message = run(m_db, sql, params, values);
    EXPECT_EQ(message, QString()) << sql.toStdString();
    return values;
}

QVariant TestDatabase::value(const QString& sql, const QStringList& params) {
    QList<QVariant> values;
    const QString message = run(m_db, sql, params, values);
    return !message.isEmpty() ? QVariant(message) : values.value(0);
}

}  // namespace orlo::test
