// Start-up of the add-in on a real desk, settings file and store: the
// settings written once, the store opened once, the desk objects held, and
// a start-up that goes on past a missing or damaged store.

#include <QHostAddress>

#include "AddinFixture.h"
#include "host/commandbars/CommandBar.h"
#include "host/commandbars/CommandBarControls.h"
#include "host/commandbars/CommandBars.h"

namespace orlo::addin::test {
namespace {

class StartupTest : public AddinFixture {};

// The first start writes the default settings once as text and upgrades an
// older database once (the log says so); a later start keeps existing
// settings and takes empty ones as missing.
TEST_F(StartupTest, AnOlderDatabaseIsUpgradedOnceAndAFirstStartWritesTheDefaultsOnce) {
    const QString defaultDb = appFolder.root() + u"/Database/Patients.mdb"_s;
    orlo::test::rawExecAt(defaultDb,
                          u"DROP INDEX SCHEDULED_START_TIME; DROP INDEX SCHEDULED_BALANCE1; "
                          "PRAGMA user_version = 0"_s);
    // What the upgrade did is in the log, and the next start finds the
    // database current and says nothing; the database itself: see the admin
    // tool's test.
    const QByteArray logged = "[15/03/2026 : 17:45:00] [INFO] upgraded " + defaultDb.toUtf8() +
                              " from schema version 0 to 4: added SCHEDULED_BALANCE1, "
                              "SCHEDULED_START_TIME\r\n";
    for (int start = 1; start <= 2; ++start) {
        ASSERT_TRUE(connectAddin().ok());
        EXPECT_EQ(orlo::test::readFile(appPath(u"\\logs\\error.log")), logged) << start;
        disconnectAddin(host::RemoveMode::HostShutdown);
    }

    // A first start without settings writes the defaults once as text.
    ASSERT_TRUE(QFile::remove(registryFile()));
    ASSERT_TRUE(connectAddin().ok());
    EXPECT_EQ(stored(kDefaultDbLocationValue), (RegistryValue{REG_SZ, defaultDb.toUtf8()}));
    EXPECT_EQ(stored(kManualIpEnabledValue), (RegistryValue{REG_SZ, QByteArray("0")}));
    // The workstation's address, as its listener reports it.
    const auto address = stored(kManualIpValue);
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(address->type, REG_SZ);
    EXPECT_EQ(QHostAddress(QString::fromUtf8(address->data)).protocol(),
              QAbstractSocket::IPv4Protocol);
    EXPECT_EQ(QString::fromUtf8(address->data), ctx().LocalIP);
    EXPECT_EQ(ctx().DbLocation, defaultDb);
    EXPECT_TRUE(ctx().PatientItemSaveEnabled && ctx().ApptItemSaveEnabled);
    EXPECT_TRUE(boxes.shown().empty());
    QByteArray settings = orlo::test::readFile(registryFile());
    disconnectAddin(host::RemoveMode::HostShutdown);
    ASSERT_TRUE(connectAddin().ok());
    EXPECT_EQ(orlo::test::readFile(registryFile()), settings);

    // Settings of the user's own are kept; empty ones count as missing.
    disconnectAddin(host::RemoveMode::HostShutdown);
    storeText(kDefaultDbLocationValue, u"/srv/clinic/Patients.mdb"_s);
    storeText(kManualIpValue, u"10.0.0.7"_s);
    settings = orlo::test::readFile(registryFile());
    ASSERT_TRUE(connectAddin().ok());
    EXPECT_EQ(orlo::test::readFile(registryFile()), settings);
    EXPECT_EQ(ctx().DbLocation, u"/srv/clinic/Patients.mdb"_s);
    disconnectAddin(host::RemoveMode::HostShutdown);
    storeText(kDefaultDbLocationValue, QString());
    storeText(kManualIpEnabledValue, QString());
    ASSERT_TRUE(connectAddin().ok());
    EXPECT_EQ(ctx().DbLocation, defaultDb);
    EXPECT_EQ(stored(kManualIpEnabledValue), (RegistryValue{REG_SZ, QByteArray("0")}));
}

TEST_F(StartupTest, HoldsTheDeskObjectsOpensTheStoreAndFindsTheRefreshControl) {
    ASSERT_FALSE(addinStoreOpen());
    ASSERT_TRUE(connectAddin().ok());
    EXPECT_TRUE(addinStoreOpen());
    EXPECT_TRUE(ns->profileStores().contains(appPath(kAddinPstName)));
    OutAddIn& a = addin();
    EXPECT_TRUE(a.isRunning());
    EXPECT_EQ(a.explorer(), explorer);
    EXPECT_EQ(ctx().application, app);
    // The desk's "Standard" bar has no "Refresh DB" control; none is made.
    EXPECT_EQ(a.refreshDbControl(), nullptr);
    EXPECT_EQ(explorer->CommandBars()->FindControl(qs(kRefreshDbTag)), nullptr);

    disconnectAddin(host::RemoveMode::HostShutdown);
    auto control = *(*explorer->CommandBars()->Item(u"Standard"_s))
                        ->Controls()
                        ->Add(host::ControlType::Button);
    control->setTag(u"Refresh DB"_s);
    ASSERT_TRUE(connectAddin().ok());
    EXPECT_EQ(addin().refreshDbControl(), control);
}

// A desk without message boxes is refused; one without any window starts
// nothing, and an item window alone is enough.
TEST_F(StartupTest, ADeskWithoutBoxesOrWindowsStartsNothingAndAnItemWindowIsEnough) {
    auto bare = host::Application::create(clock, Locale::unitedKingdom());
    bare->Explorers()->Add(inbox);
    host::CustomArgs custom;
    ASSERT_FALSE(
        addinConnect.OnConnection(bare, host::ConnectMode::Startup, host::AddInInst{}, custom)
            .ok());
    EXPECT_EQ(addinConnect.outAddIn(), nullptr);
    explorer->Close();
    ASSERT_EQ(app->Explorers()->Count(), 0);
    const QByteArray settings = orlo::test::readFile(registryFile());
    ASSERT_TRUE(connectAddin().ok());
    EXPECT_EQ(addinConnect.outAddIn(), nullptr);
    EXPECT_FALSE(addinStoreOpen());
    EXPECT_EQ(orlo::test::readFile(registryFile()), settings);
    // Disconnecting an add-in that never started does nothing either.
    disconnectAddin(host::RemoveMode::UserClosed);
    EXPECT_TRUE(boxes.shown().empty());

    ASSERT_TRUE(mail()->Display().ok());
    ASSERT_TRUE(connectAddin().ok());
    ASSERT_NE(addinConnect.outAddIn(), nullptr);
    EXPECT_TRUE(addin().isRunning());
    EXPECT_EQ(addin().explorer(), nullptr);
    EXPECT_TRUE(addinStoreOpen());
}

TEST_F(StartupTest, AStoreAlreadyOpenIsNotAddedAgain) {
    // Another copy of the store, open under the same top folder name: the
    // add-in goes by the name and leaves the profile as it is.
    const QString copy = files.dir.filePath(u"elsewhere.pst"_s);
    ASSERT_TRUE(tools::createAddinStore(copy).ok());
    ASSERT_TRUE(ns->AddStore(copy).ok());
    const QStringList before = ns->profileStores();
    ASSERT_TRUE(connectAddin().ok());
    EXPECT_EQ(ns->profileStores(), before);
    EXPECT_TRUE(boxes.shown().empty());
}

// A missing store is reported once, a damaged one gives the open error;
// nothing is made in its place and the rest of the start runs.
TEST_F(StartupTest, AMissingOrDamagedStoreIsReportedAndTheStartGoesOn) {
    ASSERT_TRUE(QFile::remove(appPath(kAddinPstName)));
    ASSERT_TRUE(connectAddin().ok());
    EXPECT_EQ(boxes.shown(),
              (std::vector<MessageBoxRequest>{
                  {u"Unable to locate Outlook PST file. Please verify that the file "
                   "hasn't been deleted or moved."_s,
                   u"Outlook PST Load Error"_s, MsgIcon::Critical, MsgButtons::OK}}));
    EXPECT_FALSE(QFileInfo::exists(appPath(kAddinPstName)));
    EXPECT_FALSE(addinStoreOpen());
    EXPECT_TRUE(addin().isRunning());
    EXPECT_EQ(addin().explorer(), explorer);
    EXPECT_TRUE(ctx().PatientItemSaveEnabled);
    EXPECT_TRUE(stored(kManualIpEnabledValue).has_value());

    disconnectAddin(host::RemoveMode::HostShutdown);
    boxes.clear();
    orlo::test::writeFile(appPath(kAddinPstName), QByteArray("not a store at all"));
    ASSERT_TRUE(connectAddin().ok());
    ASSERT_EQ(boxes.shown().size(), 1u);
    const MessageBoxRequest& box = boxes.shown().front();
    EXPECT_EQ(box.title, u"Open PST Error"_s);
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(box.buttons, MsgButtons::OK);
    // The error's number, CR LF, its description (which names the file).
    const QStringList parts = box.text.split(u"\r\n"_s);
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0], QString::number(err::kProviderFailure));
    EXPECT_TRUE(parts[1].contains(u"12-27Orlonetv1.pst"_s)) << parts[1].toStdString();
    EXPECT_EQ(orlo::test::readFile(appPath(kAddinPstName)), QByteArray("not a store at all"));
    EXPECT_TRUE(addin().isRunning());
    EXPECT_TRUE(ctx().ApptItemSaveEnabled);
}

}  // namespace
}  // namespace orlo::addin::test
