#pragma once
// Where the shared database lives: the registry value "defaultDBlocation",
// read afresh by every report and search form when it opens its data, with
// the check that stops them when no location is set, the default location
// under the application folder, and the connection texts built from it.

#include <QString>
#include <optional>

#include "common/basRegistry.h"
#include "platform/core/AppFolder.h"
#include "platform/ui/MessageBox.h"

namespace orlo {

// Who runs the missing-database check; decides the box's title.
enum class DatabaseCheckCaller { Report, SearchData };

inline constexpr char16_t kMissingDatabaseText[] =
    u"Unable to find database. \rPatients.mdb could not be found - Cannot load Patient Finder!"
    u"\rPlease check the database location by clicking on Orlo -> Settings...";
inline constexpr char16_t kReportDatabaseErrorTitle[] = u"Orlo Software Error";
inline constexpr char16_t kSearchDatabaseErrorTitle[] = u"Software Error";

// The database's default place: "\Database\Patients.mdb" in the application
// folder.
inline constexpr char16_t kDefaultDatabaseName[] = u"\\Database\\Patients.mdb";
QString defaultDatabasePath(const AppFolder& folder);

// Reads "defaultDBlocation". Empty: shows the critical box with the caller's
// title and returns nothing, so the caller opens no data. Otherwise returns
// the path without looking at the file: a wrong path shows up as the
// provider's own error when the caller opens its connection.
std::optional<QString> checkDatabaseLocation(const basRegistry& registry, MessageBoxService& boxes,
                                             DatabaseCheckCaller caller);

// The provider every connection names, and the connection texts of the
// reports and of the settings dialog's connection test.
inline constexpr char16_t kJetProvider[] = u"Microsoft.JET.OLEDB.4.0";
QString reportConnectionString(const QString& databasePath);
QString connectionTestString(const QString& databasePath);

}  // namespace orlo
