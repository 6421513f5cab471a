#include "DeskTestStore.h"

#include <QDir>

#include "LoopbackAddress.h"
#include "platform/registry/RegistryStore.h"
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
    // The workstation listens on an address of this test alone.
    RegistryStore settings(registryFile);
    const auto key =
        settings.createKey(RegistryRoot::CurrentUser,
                           u"Software\\Microsoft\\Office\\Outlook\\Addins\\OrlonetPROv1.Connect");
    if (!key || !settings.setValue(*key, QStringLiteral("ManualIPEnabled"), {kRegSz, "1"}) ||
        !settings.setValue(*key, QStringLiteral("ManualIP"),
                           {kRegSz, orlo::test::privateLoopbackAddress().toUtf8()})) {
        return false;
    }
    auto store = tools::createAddinStore(storePath);
    if (!store) {
        return false;
    }
    return tools::StoreSeeder::seed(**store, tools::SeedCounts{contacts, appointments}).ok();
}

}  // namespace orlo::desk::test
