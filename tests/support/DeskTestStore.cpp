#include "DeskTestStore.h"

#include <QDir>
#include <QFile>

#include "LoopbackAddress.h"
#include "host/addins/AddinList.h"
#include "platform/data/DatabaseFile.h"
#include "platform/registry/RegistryStore.h"
#include "records/Schema.h"
#include "tools/store/AddinStore.h"
#include "tools/store/StoreSeeder.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::desk::test {

bool DeskTestStore::create(std::int64_t contacts, std::int64_t appointments) {
    if (!dir.isValid()) {
        return false;
    }
    appDir = dir.filePath(u"app"_s);
    registryFile = dir.filePath(u"registry"_s);
    storePath = appDir + u"/PST/12-27Orlonetv1.pst"_s;
    if (!QDir().mkpath(appDir + u"/PST"_s)) {
        return false;
    }
    // The workstation listens on an address of this test alone.
    RegistryStore settings(registryFile);
    const auto key =
        settings.createKey(RegistryRoot::CurrentUser,
                           u"Software\\Microsoft\\Office\\Outlook\\Addins\\OrlonetPROv1.Connect");
    if (!key || !settings.setValue(*key, u"ManualIPEnabled"_s, {kRegSz, "1"}) ||
        !settings.setValue(*key, u"ManualIP"_s,
                           {kRegSz, orlo::test::privateLoopbackAddress().toUtf8()})) {
        return false;
    }
    auto store = tools::createAddinStore(storePath);
    if (!store) {
        return false;
    }
    return tools::StoreSeeder::seed(**store, tools::SeedCounts{contacts, appointments}).ok();
}

bool DeskTestStore::listAddin(const QString& library) {
    const QString copy = QDir(appDir).filePath(u"liborlo.so"_s);
    if (!QFile::copy(library, copy)) {
        return false;
    }
    RegistryStore settings(registryFile);
    return host::AddinList(settings)
        .registerAddin(
            {u"OrlonetPROv1.Connect"_s, copy, host::AddinList::kLoadAtStartup, u"Orlo"_s})
        .ok();
}

QString DeskTestStore::addDatabase() {
    const QDir app(appDir);
    for (const char* sub : {"META", "logs", "Database", "Help"}) {
        if (!app.mkpath(QString::fromLatin1(sub))) {
            return {};
        }
    }
    const QString db = app.filePath(u"Database/Patients.mdb"_s);
    const bool made =
        data::createDatabaseFile(db, records::sharedSchemaStatements(), data::DatabaseKind::Shared)
            .ok();
    return made ? db : QString();
}

QString DeskTestStore::createWithAddin(const QString& library) {
    if (!create()) {
        return {};
    }
    const QString db = addDatabase();
    return !db.isEmpty() && listAddin(library) ? db : QString();
}

}  // namespace orlo::desk::test
