// Add-in loading as the desk shell does it: the add-in list in a real
// settings file, and the manager loading the real liborlo.so from an
// application folder, connecting, removing and shutting it down; broken
// entries give clear errors and the other add-ins load all the same.

#include "AddinFixture.h"
#include "host/addins/AddinErrors.h"
#include "host/addins/AddinList.h"
#include "host/addins/AddinManager.h"

namespace orlo::addin::test {
namespace {

using host::AddinList;
using host::AddinManager;
using host::AddinRegistration;

const QString kOrlo = u"OrlonetPROv1.Connect"_s;

TEST(AddinListTest, EntriesAreTypedValuesBesideTheAddinsOwnAndOnlyThreeLoadsAtStart) {
    QTemporaryDir dir;
    RegistryStore store(dir.filePath(u"registry"_s));
    AddinList list(store);
    // The add-in's own settings live in the same key and must survive.
    auto key = store.createKey(RegistryRoot::CurrentUser, AddinRegistryKey);
    ASSERT_TRUE(key.ok());
    ASSERT_TRUE(store
                    .setValue(*key, u"defaultDBlocation"_s,
                              RegistryValue{REG_SZ, QByteArray("/srv/Patients.mdb")})
                    .ok());
    ASSERT_TRUE(list.registerAddin({kOrlo, u"/opt/orlo/liborlo.so"_s, 3, u"Orlo"_s}).ok());
    const auto value = [&](const char* name) {
        return **store.queryValue(*key, QLatin1String(name));
    };
    EXPECT_EQ(value("Path"), (RegistryValue{REG_SZ, QByteArray("/opt/orlo/liborlo.so")}));
    EXPECT_EQ(value("LoadBehavior"), (RegistryValue{REG_DWORD, QByteArray("\x03\0\0\0", 4)}));
    EXPECT_EQ(value("FriendlyName"), (RegistryValue{REG_SZ, QByteArray("Orlo")}));
    EXPECT_EQ(value("defaultDBlocation"), (RegistryValue{REG_SZ, QByteArray("/srv/Patients.mdb")}));

    EXPECT_FALSE(
        list.registration(u"orlonetpropv1.connect"_s).ok());  // a typo; case alone does not matter
    const auto orlo = list.registration(u"ORLONETPROV1.CONNECT"_s);
    ASSERT_TRUE(orlo.ok());
    EXPECT_EQ(orlo->progId, kOrlo);
    EXPECT_EQ(orlo->path, u"/opt/orlo/liborlo.so"_s);
    EXPECT_TRUE(orlo->loadsAtStartup());

    // Only LoadBehavior 3 loads at start-up.
    for (auto [name, behaviour] :
         {std::pair{"B.Connect", 2u}, std::pair{"A.Connect", 3u}, std::pair{"C.Connect", 0u},
          std::pair{"D.Connect", 9u}, std::pair{"E.Connect", 1u}, std::pair{"F.Connect", 19u}}) {
        ASSERT_TRUE(list.registerAddin({QLatin1String(name), u"/x.so"_s, behaviour, {}}).ok());
    }
    const auto all = list.registrations();
    ASSERT_TRUE(all.ok());
    QStringList listed;  // "*" marks those that load at start-up
    for (const AddinRegistration& r : *all) {
        listed << r.progId + (r.loadsAtStartup() ? u"*"_s : QString());
    }
    EXPECT_EQ(listed.join(u','),
              u"A.Connect*,B.Connect,C.Connect,D.Connect,E.Connect,F.Connect*,"
              "OrlonetPROv1.Connect*"_s);

    // A value of another type than REG_DWORD does not load the add-in.
    auto a = store.openKey(RegistryRoot::CurrentUser,
                           u"Software\\Microsoft\\Office\\Outlook\\Addins\\A.Connect");
    ASSERT_TRUE(a.ok());
    ASSERT_TRUE(store.setValue(*a, u"LoadBehavior"_s, {REG_SZ, QByteArray("3")}).ok());
    EXPECT_FALSE(list.registration(u"A.Connect"_s)->loadsAtStartup());

    EXPECT_EQ(list.registration(u"Nobody.Connect"_s).error().number, err::kCannotCreateObject);
    EXPECT_FALSE(list.registerAddin({u"A\\B"_s, {}, 3, {}}).ok());
}

// The desk of AddinFixture with liborlo.so copied into its application
// folder and listed in its settings file, which the add-in finds through
// ORLO_REGISTRY_FILE as a desk started with that variable would.
class AddinManagerTest : public AddinFixture {
protected:
    void SetUp() override {
        AddinFixture::SetUp();
        m_library = appFolder.path(u"liborlo.so"_s);
        ASSERT_TRUE(QFile::copy(QString::fromUtf8(ORLO_LIBORLO_PATH), m_library));
        qputenv(RegistryStore::kFileVariable, registryFile().toLocal8Bit());
        ASSERT_TRUE(
            list().registerAddin({kOrlo, m_library, AddinList::kLoadAtStartup, u"Orlo"_s}).ok());
    }
    void TearDown() override { qunsetenv(RegistryStore::kFileVariable); }

    AddinList list() { return AddinList(m_settings); }
    quint32 loadBehavior() { return list().registration(kOrlo)->loadBehavior; }

    QString m_library;
    RegistryStore m_settings{registryFile()};
};

TEST_F(AddinManagerTest, LoadsLiborloFromTheApplicationFolderAndRunsItsLifecycle) {
    AddinManager manager(m_settings, app);
    const std::vector<host::AddinLoadError> errors = manager.connectStartupAddins();
    for (const auto& e : errors) {
        ADD_FAILURE() << e.progId.toStdString() << ": " << e.error.description.toStdString();
    }
    ASSERT_EQ(manager.connectedAddins(), QStringList{kOrlo});
    ASSERT_NE(manager.addin(kOrlo), nullptr);
    // The library started in its own folder: the default database lies
    // there, and the store of its PST folder is open in the desk.
    const RegistryKey key = *m_settings.openKey(RegistryRoot::CurrentUser, AddinRegistryKey);
    EXPECT_EQ(**m_settings.queryValue(key, u"defaultDBlocation"_s),
              (RegistryValue{REG_SZ, (appFolder.root() + u"/Database/Patients.mdb").toUtf8()}));
    EXPECT_TRUE(addinStoreOpen());
    manager.startupComplete();

    // The user removes it: store out of the profile, exit window, not loaded.
    ASSERT_TRUE(manager.removeAddin(kOrlo).ok());
    EXPECT_TRUE(manager.connectedAddins().isEmpty());
    EXPECT_FALSE(addinStoreOpen());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, u"Orlo"_s);  // the exit window: see the removal test
    EXPECT_EQ(loadBehavior(), AddinList::kNotLoaded);
    EXPECT_TRUE(manager.connectStartupAddins().empty());
    EXPECT_TRUE(manager.connectedAddins().isEmpty());

    // Ticked again: loaded anew, marked to load at start-up.
    ASSERT_TRUE(manager.connectAddin(kOrlo).ok());
    EXPECT_TRUE(addinStoreOpen());
    EXPECT_EQ(loadBehavior(), AddinList::kLoadAtStartup);

    // The desk closes: disconnected as a normal close, the store stays.
    manager.shutdown();
    EXPECT_TRUE(manager.connectedAddins().isEmpty());
    EXPECT_TRUE(addinStoreOpen());
    EXPECT_EQ(boxes.shown().size(), 1u);
}

// Broken entries give clear errors and the rest loads; a manager left
// running shuts its add-ins down.
TEST_F(AddinManagerTest, BrokenEntriesGiveClearErrorsAndALeftManagerShutsDown) {
    const QString missing = files.dir.filePath(u"gone/liborlo.so"_s);
    const QString notALibrary = files.dir.filePath(u"readme.so"_s);
    orlo::test::writeFile(notALibrary, "plain text");
    const QString noFactory = QString::fromUtf8(ORLO_NOFACTORY_PATH);
    for (const AddinRegistration& r :
         std::vector<AddinRegistration>{{u"A1.Missing"_s, missing, 3, {}},
                                        {u"A2.NotALibrary"_s, notALibrary, 3, {}},
                                        {u"A3.NoFactory"_s, noFactory, 3, {}},
                                        {u"A4.WrongProgId"_s, m_library, 3, {}},
                                        {u"A5.NoPath"_s, QString(), 3, {}}}) {
        ASSERT_TRUE(list().registerAddin(r).ok());
    }
    auto manager = std::make_unique<AddinManager>(m_settings, app);
    const std::vector<host::AddinLoadError> errors = manager->connectStartupAddins();
    ASSERT_EQ(errors.size(), 5u);
    const auto expectError = [&](std::size_t i, const QString& progId, long number,
                                 const QString& mentions) {
        EXPECT_EQ(errors[i].progId, progId);
        EXPECT_EQ(errors[i].error.number, number) << progId.toStdString();
        EXPECT_TRUE(errors[i].error.description.contains(mentions))
            << errors[i].error.description.toStdString();
    };
    expectError(0, u"A1.Missing"_s, host::err::kErrorLoadingDll, missing);
    expectError(1, u"A2.NotALibrary"_s, host::err::kErrorLoadingDll, notALibrary);
    expectError(2, u"A3.NoFactory"_s, host::err::kDllEntryPointNotFound, u"orlo_create_addin"_s);
    expectError(3, u"A4.WrongProgId"_s, err::kCannotCreateObject, u"A4.WrongProgId"_s);
    expectError(4, u"A5.NoPath"_s, err::kCannotCreateObject, u"Path"_s);
    // Orlo itself came up all the same.
    EXPECT_EQ(manager->connectedAddins(), QStringList{kOrlo});
    EXPECT_TRUE(addinStoreOpen());

    // Unticking a listed add-in that never loaded only changes the list.
    ASSERT_TRUE(manager->removeAddin(u"A1.Missing"_s).ok());
    EXPECT_EQ(list().registration(u"A1.Missing"_s)->loadBehavior, AddinList::kNotLoaded);
    EXPECT_FALSE(manager->removeAddin(u"Unknown.Addin"_s).ok());
    EXPECT_FALSE(manager->connectAddin(u"Unknown.Addin"_s).ok());

    // Connected twice: nothing changes. The manager goes without a
    // shut-down: the add-in lets go of the desk, and closing the main
    // window writes no list.
    auto contact = patient(u"3"_s);
    ASSERT_TRUE(contact->Display().ok());
    ASSERT_TRUE(manager->connectAddin(kOrlo).ok());
    EXPECT_EQ(manager->connectedAddins(), QStringList{kOrlo});
    manager.reset();
    patient(u"4"_s);
    explorer->Close();
    EXPECT_EQ(orlo::test::readFile(appPath(u"\\META\\UNLOADP.log")), QByteArray());
    EXPECT_TRUE(addinStoreOpen());
}

}  // namespace
}  // namespace orlo::addin::test
