// The missing-database check that reports and search forms run before they
// open their data, and the default location.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "common/DatabaseLocation.h"

using namespace orlo;

namespace {

class DatabaseLocationTest : public ::testing::Test {
protected:
    DatabaseLocationTest() : m_store(m_dir.filePath(QStringLiteral("registry"))), m_reg(m_store) {}

    bool setLocation(const QString& path) {
        return m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kDefaultDbLocationValue,
                                      path, REG_SZ);
    }

    QTemporaryDir m_dir;
    RegistryStore m_store;
    basRegistry m_reg;
    ScriptedMessageBoxes m_boxes;
};

const QString kMissingText = QStringLiteral(
    "Unable to find database. \rPatients.mdb could not be found - Cannot load Patient Finder!\r"
    "Please check the database location by clicking on Orlo -> Settings...");

}  // namespace

TEST_F(DatabaseLocationTest, NoLocationShowsTheCriticalBoxUnderTheCallersTitle) {
    EXPECT_FALSE(checkDatabaseLocation(m_reg, m_boxes, DatabaseCheckCaller::Report));
    ASSERT_TRUE(setLocation(QString()));
    EXPECT_FALSE(checkDatabaseLocation(m_reg, m_boxes, DatabaseCheckCaller::SearchData));
    const std::vector<MessageBoxRequest> expected = {
        {kMissingText, QStringLiteral("Orlo Software Error"), MsgIcon::Critical, MsgButtons::OK},
        {kMissingText, QStringLiteral("Software Error"), MsgIcon::Critical, MsgButtons::OK},
    };
    EXPECT_EQ(m_boxes.shown(), expected);
}

TEST_F(DatabaseLocationTest, ALocationIsReadAfreshAndNotCheckedOnDisk) {
    ASSERT_TRUE(setLocation(QStringLiteral("/nowhere/Patients.mdb")));
    EXPECT_EQ(checkDatabaseLocation(m_reg, m_boxes, DatabaseCheckCaller::Report),
              QStringLiteral("/nowhere/Patients.mdb"));
    // Another process (the settings dialog of this user) moves the database.
    RegistryStore otherStore(m_store.filePath());
    basRegistry other(otherStore);
    ASSERT_TRUE(other.RegWriteKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kDefaultDbLocationValue,
                                       QStringLiteral("/new/P.mdb"), REG_SZ));
    EXPECT_EQ(checkDatabaseLocation(m_reg, m_boxes, DatabaseCheckCaller::SearchData),
              QStringLiteral("/new/P.mdb"));
    EXPECT_TRUE(m_boxes.shown().empty());
}

TEST(DatabaseLocation, DefaultPathAndConnectionTexts) {
    EXPECT_EQ(defaultDatabasePath(AppFolder(QStringLiteral("/opt/orlo"))),
              QStringLiteral("/opt/orlo/Database/Patients.mdb"));
    EXPECT_EQ(reportConnectionString(QStringLiteral("/d/P.mdb")),
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data "
                             "Source= /d/P.mdb"));
    EXPECT_EQ(connectionTestString(QStringLiteral("/d/P.mdb")),
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/P.mdb;Persist "
                             "Security Info=False"));
}
