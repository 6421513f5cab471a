#include "DeskTestStore.h"

#include <QDir>
#include <QFile>

#include "host/addins/AddinList.h"
#include "platform/data/DatabaseFile.h"
#include "platform/registry/RegistryStore.h"
#include "records/Schema.h"
#include "tools/store/AddinStore.h"
#include "tools/store/StoreSeeder.h"

namespace orlo::desk::test {

bool DeskTestStore::create(std::int64_t contacts, std::int64_t appointments) {
    if (!dir.isValid()) {
        return false;
    }
    appDir = dir.filePath(QStringLiteral("app"));
    registryFile = dir.filePath(QStringLiteral("registry"));
    storePath = appDir + QStringLiteral("/PST/12-27Orlonetv1.pst");
    if (!QDir().mkpath(appDir + QStringLiteral("/PST"))) {
        return false;
    }
    auto store = tools::createAddinStore(storePath);
    if (!store) {
        return false;
    }
    return tools::StoreSeeder::seed(**store, tools::SeedCounts{contacts, appointments}).ok();
}

bool DeskTestStore::listAddin(const QString& library) {
    const QString copy = QDir(appDir).filePath(QStringLiteral("liborlo.so"));
    if (!QFile::copy(library, copy)) {
        return false;
    }
    RegistryStore settings(registryFile);
    return host::AddinList(settings)
        .registerAddin({QStringLiteral("OrlonetPROv1.Connect"), copy,
                        host::AddinList::kLoadAtStartup, QStringLiteral("Orlo")})
        .ok();
}

QString DeskTestStore::addDatabase() {
    const QDir app(appDir);
    for (const char* sub : {"META", "logs", "Database", "Help"}) {
        if (!app.mkpath(QString::fromLatin1(sub))) {
            return {};
        }
    }
    const QString db = app.filePath(QStringLiteral("Database/Patients.mdb"));
    const bool made =
        data::createDatabaseFile(db, records::sharedSchemaStatements(), data::DatabaseKind::Shared)
            .ok();
    return made ? db : QString();
}

}  // namespace orlo::desk::test
