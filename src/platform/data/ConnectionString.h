#pragma once
// Reading the connection strings the system builds: a bare path (with the
// provider set on the connection), "Provider=...;Data Source= path;..." in
// either order of its parts, or a postgresql:// URI for the server back end.

#include <QString>

#include "platform/core/Result.h"

namespace orlo::data {

// The provider name the system sets; compared case-insensitively, since the
// system spells it two ways.
inline constexpr char16_t kJetProvider[] = u"Microsoft.JET.OLEDB.4.0";

struct ConnectionTarget {
    enum class Kind { SqliteFile, Postgres };
    Kind kind = Kind::SqliteFile;
    QString provider;  // as given, or kJetProvider when none was given
    QString location;  // the file path or the URI
};

// Whether a database location (the "defaultDBlocation" setting, the
// settings dialog's box, a command line's --db) names a PostgreSQL server:
// a "postgresql://" or "postgres://" URI. Anything else is a file path.
bool isServerLocation(const QString& location);

// `provider` is the connection's Provider property (may be empty).
Result<ConnectionTarget> parseConnectionString(const QString& provider,
                                               const QString& connectionString);

// The full connection string an open connection reports back: provider,
// data source and sharing mode, "Data Source=" followed by the path up to ";"
// (a server's URI without its password).
QString fullConnectionString(const ConnectionTarget& target);

}  // namespace orlo::data
