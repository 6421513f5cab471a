#pragma once
// The data layer's one door to the SQL dialect layer: translating the
// system's Jet SQL texts and recordset filters, the Jet functions installed
// on every SQLite handle, and the canonical text of a stored date.

#include <sqlite3.h>

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/core/Result.h"

namespace orlo {
class Clock;
class Locale;
}  // namespace orlo

namespace orlo::data::detail {

class Session;

struct FilterClause {
    QString where;           // an SQLite condition with ? parameters
    QStringList parameters;  // their values, in order
};

Result<QString> translateSql(const QString& jetSql, const Session& session);
Result<FilterClause> translateFilterText(const QString& filter, const Session& session);
Status installJetFunctions(sqlite3* db, const Clock& clock, const Locale& locale);

QString canonicalDateText(const QDateTime& dt);
std::optional<QDateTime> parseCanonicalDateText(const QString& text);
// A date text typed in the locale's forms or ISO 8601, in canonical form;
// type mismatch (13) when it is no date.
Result<QString> coerceDateToCanonical(const QString& text, const Locale& locale);
// The error number an SQLite message raised by the dialect's functions
// stands for (type mismatch, invalid procedure call), or 0.
long functionErrorNumber(const QString& sqliteMessage);

}  // namespace orlo::data::detail
