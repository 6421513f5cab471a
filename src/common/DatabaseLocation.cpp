#include "common/DatabaseLocation.h"

namespace orlo {

QString defaultDatabasePath(const AppFolder& folder) {
    return folder.path(QString::fromUtf16(kDefaultDatabaseName));
}

std::optional<QString> checkDatabaseLocation(const basRegistry& registry, MessageBoxService& boxes,
                                             DatabaseCheckCaller caller) {
    const Variant location =
        registry.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, kDefaultDbLocationValue);
    const QString* path = location.asText();
    if (path != nullptr && !path->isEmpty()) {
        return *path;
    }
    const char16_t* title = caller == DatabaseCheckCaller::Report ? kReportDatabaseErrorTitle
                                                                  : kSearchDatabaseErrorTitle;
    boxes.show(QString::fromUtf16(kMissingDatabaseText), MsgButtons::OK, MsgIcon::Critical,
               QString::fromUtf16(title));
    return std::nullopt;
}

QString reportConnectionString(const QString& databasePath) {
    return QStringLiteral(
               "Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;"
               "Data Source= ") +
           databasePath;
}

QString connectionTestString(const QString& databasePath) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + databasePath +
           QStringLiteral(";Persist Security Info=False");
}

}  // namespace orlo
