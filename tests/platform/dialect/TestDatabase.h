#pragma once
// An in-memory SQLite database with the shared tables (PATIENTS, SCHEDULED,
// CURRENTSESSIONS, the four scratch tables), the dialect's functions on it
// and small helpers to run translated SQL and read single values.

#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/dialect/Dialect.h"
#include "platform/sqlite/Database.h"

namespace orlo::test {

// The date columns of the shared tables.
bool isSharedDateColumn(QStringView table, QStringView column);
data::DialectContext sharedDialect();
// The SQLite text of `jet` under sharedDialect(); "" (and a failure) when
// the translator refuses it.
QString translated(const QString& jet);

class TestDatabase {
public:
    TestDatabase(const Clock& clock, const Locale& locale, bool withTables = true);

    sqlite3* handle() const { return m_db.handle(); }

    // Runs raw SQLite text; "" on success, else SQLite's message.
    QString execRaw(const QString& sql, const QStringList& params = {});
    // Translates the dialect's text and runs it; "" or the error's text.
    QString exec(const QString& jetSql);
    // The first column of every row of a raw SQLite query (NULL as an
    // invalid QVariant). Fails the test on an error.
    QList<QVariant> column(const QString& sql, const QStringList& params = {});
    // The one value of a raw SQLite query, or the error message as text.
    QVariant value(const QString& sql, const QStringList& params = {});

private:
    sqlite::Database m_db;
};

}  // namespace orlo::test
