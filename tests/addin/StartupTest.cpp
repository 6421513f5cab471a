// Start-up of the add-in on a real desk, settings file and store: the
// settings written once, the store opened once, the desk objects held, and
// a start-up that goes on past a missing or damaged store.

#include <QHostAddress>

#include "AddinFixture.h"
#include "host/commandbars/CommandBar.h"
#include "host/commandbars/CommandBarControls.h"
#include "host/commandbars/CommandBars.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::addin::test {
namespace {

class StartupTest : public AddinFixture {};

TEST_F(StartupTest, FirstStartWritesTheDefaultsOnceAsText) {
    ASSERT_TRUE(QFile::remove(registryFile()));
    ASSERT_TRUE(connect().ok());
    const QString defaultDb = appFolder.root() + u"/Database/Patients.mdb"_s;
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
    EXPECT_TRUE(ctx().PatientItemSaveEnabled);
    EXPECT_TRUE(ctx().ApptItemSaveEnabled);
    EXPECT_TRUE(boxes.shown().empty());

    // The next start finds the values and writes nothing.
    const QByteArray settings = orlo::test::readFile(registryFile());
    disconnect(host::RemoveMode::HostShutdown);
    ASSERT_TRUE(connect().ok());
    EXPECT_EQ(orlo::test::readFile(registryFile()), settings);
    EXPECT_EQ(ctx().DbLocation, defaultDb);
}

TEST_F(StartupTest, AnOlderDatabaseIsUpgradedOnceAndTheLogSaysSo) {
    const QString db = appFolder.root() + u"/Database/Patients.mdb"_s;
    {
        data::Connection conn({clock, locale});
        conn.setProvider(u"Microsoft.JET.OLEDB.4.0"_s);
        ASSERT_TRUE(conn.open(db).ok());
        ASSERT_TRUE(conn.execute(u"DROP INDEX SCHEDULED_START_TIME"_s).ok());
        ASSERT_TRUE(conn.execute(u"DROP INDEX SCHEDULED_BALANCE1"_s).ok());
        ASSERT_TRUE(conn.execute(u"PRAGMA user_version = 0"_s).ok());
    }
    // What it did is in the log; the database itself: see the admin tool's test.
    ASSERT_TRUE(connect().ok());
    const QByteArray logged = "[15/03/2026 : 17:45:00] [INFO] upgraded " + db.toUtf8() +
                              " from schema version 0 to 2: added SCHEDULED_BALANCE1, "
                              "SCHEDULED_START_TIME\r\n";
    EXPECT_EQ(orlo::test::readFile(appPath(u"\\logs\\error.log")), logged);

    // The next start finds it current and says nothing.
    disconnect(host::RemoveMode::HostShutdown);
    ASSERT_TRUE(connect().ok());
    EXPECT_EQ(orlo::test::readFile(appPath(u"\\logs\\error.log")), logged);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(StartupTest, ExistingSettingsAreKeptAndEmptyOnesCountAsMissing) {
    storeText(kDefaultDbLocationValue, u"/srv/clinic/Patients.mdb"_s);
    storeText(kManualIpValue, u"10.0.0.7"_s);
    const QByteArray settings = orlo::test::readFile(registryFile());
    ASSERT_TRUE(connect().ok());
    EXPECT_EQ(orlo::test::readFile(registryFile()), settings);
    EXPECT_EQ(ctx().DbLocation, u"/srv/clinic/Patients.mdb"_s);

    disconnect(host::RemoveMode::HostShutdown);
    storeText(kDefaultDbLocationValue, QString());
    storeText(kManualIpEnabledValue, QString());
    ASSERT_TRUE(connect().ok());
    EXPECT_EQ(ctx().DbLocation, appPath(u"\\Database\\Patients.mdb"));
    EXPECT_EQ(stored(kManualIpEnabledValue), (RegistryValue{REG_SZ, QByteArray("0")}));
}

TEST_F(StartupTest, HoldsTheDeskObjectsOpensTheStoreAndFindsTheRefreshControl) {
    ASSERT_FALSE(addinStoreOpen());
    ASSERT_TRUE(connect().ok());
    EXPECT_TRUE(addinStoreOpen());
    EXPECT_TRUE(ns->profileStores().contains(appPath(kAddinPstName)));
    OutAddIn& a = addin();
    EXPECT_TRUE(a.isRunning());
    EXPECT_EQ(a.explorer(), explorer);
    EXPECT_EQ(ctx().application, app);
    // The desk's "Standard" bar has no "Refresh DB" control; none is made.
    EXPECT_EQ(a.refreshDbControl(), nullptr);
    EXPECT_EQ(explorer->CommandBars()->FindControl(qs(kRefreshDbTag)), nullptr);

    disconnect(host::RemoveMode::HostShutdown);
    auto control = *(*explorer->CommandBars()->Item(u"Standard"_s))
                        ->Controls()
                        ->Add(host::ControlType::Button);
    control->setTag(u"Refresh DB"_s);
    ASSERT_TRUE(connect().ok());
    EXPECT_EQ(addin().refreshDbControl(), control);
}

TEST_F(StartupTest, ADeskWithoutAnyWindowStartsNothing) {
    explorer->Close();
    ASSERT_EQ(app->Explorers()->Count(), 0);
    const QByteArray settings = orlo::test::readFile(registryFile());
    ASSERT_TRUE(connect().ok());
    EXPECT_EQ(addinConnect.outAddIn(), nullptr);
    EXPECT_FALSE(addinStoreOpen());
    EXPECT_EQ(orlo::test::readFile(registryFile()), settings);
    EXPECT_TRUE(boxes.shown().empty());
    // Disconnecting an add-in that never started does nothing either.
    disconnect(host::RemoveMode::UserClosed);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(StartupTest, AnItemWindowAloneIsEnoughToStart) {
    auto item = mail();
    ASSERT_TRUE(item->Display().ok());
    explorer->Close();
    ASSERT_TRUE(connect().ok());
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
    ASSERT_TRUE(connect().ok());
    EXPECT_EQ(ns->profileStores(), before);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(StartupTest, AMissingStoreIsReportedOnceAndTheStartGoesOn) {
    ASSERT_TRUE(QFile::remove(appPath(kAddinPstName)));
    ASSERT_TRUE(connect().ok());
    EXPECT_EQ(boxes.shown(),
              (std::vector<MessageBoxRequest>{
                  {u"Unable to locate Outlook PST file. Please verify that the file "
                   "hasn't been deleted or moved."_s,
                   u"Outlook PST Load Error"_s, MsgIcon::Critical, MsgButtons::OK}}));
    // Nothing was created in its place, and everything after it ran.
    EXPECT_FALSE(QFileInfo::exists(appPath(kAddinPstName)));
    EXPECT_FALSE(addinStoreOpen());
    EXPECT_TRUE(addin().isRunning());
    EXPECT_EQ(addin().explorer(), explorer);
    EXPECT_TRUE(ctx().PatientItemSaveEnabled);
    EXPECT_TRUE(stored(kManualIpEnabledValue).has_value());
}

TEST_F(StartupTest, ADamagedStoreGivesTheOpenErrorAndTheStartGoesOn) {
    orlo::test::writeFile(appPath(kAddinPstName), QByteArray("not a store at all"));
    ASSERT_TRUE(connect().ok());
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

TEST_F(StartupTest, ADeskWithoutMessageBoxesIsRefused) {
    auto bare = host::Application::create(clock, Locale::unitedKingdom());
    bare->Explorers()->Add(inbox);
    host::CustomArgs custom;
    const Status s =
        addinConnect.OnConnection(bare, host::ConnectMode::Startup, host::AddInInst{}, custom);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(addinConnect.outAddIn(), nullptr);
}

}  // namespace
}  // namespace orlo::addin::test
