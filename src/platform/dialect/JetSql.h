#pragma once
// Translation of the system's SQL texts, written in the file database's
// dialect, into SQL that SQLite runs. The texts stay exactly as the add-in
// builds them; this layer rewrites them token by token:
//   [LAST NAME] -> "LAST NAME";  [PATIENTS.LAST NAME] -> "PATIENTS"."LAST NAME"
//   DELETE * FROM t -> DELETE FROM t
//   Now, Now() -> jet_now();  DATEDIFF, YEAR, MONTH, DAY, DateSerial, CDate
//     -> the functions registered by registerJetFunctions()
//   LIKE '*x?' -> LIKE '%x_' (case-insensitive through the registered like())
//   "text" -> 'text';  #3/5/2026# -> '2026-03-05 00:00:00';  a & b -> a || b
//   a quoted text written into or compared with a date column
//     -> jet_cdate('text'), which stores the canonical date or fails with
//        kTypeMismatchMessage when the text is no date
// Everything else (between ... And ..., <>, Asc, Values(, sub-queries)
// passes unchanged: SQLite accepts it as it is.
//
// Every name comes out in double quotes and every text in single quotes, so
// a connection can switch off SQLite's double-quoted texts
// (SQLITE_DBCONFIG_DQS_DML and _DDL set to 0): a misspelt column name then
// fails to prepare instead of silently becoming a text.

#include <QString>
#include <QStringView>
#include <functional>

#include "platform/core/Result.h"

namespace orlo {
class Locale;
}

namespace orlo::data {

// The number of a Recordset.Filter text that cannot be read.
inline constexpr long kInvalidFilter = 3001;
// The source of the errors this layer raises.
inline constexpr QStringView kDialectErrorSource = u"Orlo SQL dialect";

// What the translator needs to know about the schema.
struct DialectContext {
    // Whether table.column holds dates: quoted texts written into such a
    // column (UPDATE ... SET col = '...', INSERT ... (cols) Values('...'))
    // or compared with it are coerced into the canonical date. `table` is
    // empty when the statement names no table for the column and none could
    // be inferred. May be empty: then no column holds dates.
    std::function<bool(QStringView table, QStringView column)> isDateColumn;
    // Set for a PostgreSQL server, which has none of the functions this
    // layer registers on SQLite: the statement's now (canonical text) and
    // the locale date texts are read in. Now and the day bounds then come
    // out as text literals of that moment, date texts are coerced here
    // (type mismatch for a text that is no date), and LIKE becomes ILIKE.
    std::function<QString()> serverNow{};
    // The server's spelling of a table or column name (names there are
    // case-sensitive, the dialect's are not), or an empty text for a name
    // the schema does not have. A bare word the schema knows and an alias
    // after AS come out quoted in that spelling.
    std::function<QString(QStringView name)> serverName{};
    const Locale* serverLocale = nullptr;
};

// The SQLite text of one statement in the dialect. A syntax error the
// translator can see (an unterminated literal or bracket, an unknown
// character, an invalid #date#) is an Error with number err::kCommandError;
// everything else is left for SQLite to judge when it prepares the text.
Result<QString> translateJetSql(const QString& sql, const DialectContext& ctx);

// A name as SQLite wants it: in double quotes, a dot inside splitting table
// and column ("PATIENTS.LAST NAME" -> "PATIENTS"."LAST NAME").
QString quoteSqlName(QStringView name);

// A text as an SQL literal: in single quotes, every single quote doubled.
QString quoteSqlText(QStringView text);

}  // namespace orlo::data
