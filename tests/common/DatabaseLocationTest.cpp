// The missing-database check that reports and search forms run before they
// open their data (its box under each caller's title: see the report
// catalogue's and the search forms' tests), and the default location.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "common/DatabaseLocation.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;

namespace {

class DatabaseLocationTest : public ::testing::Test {
protected:
    DatabaseLocationTest() : m_store(m_dir.filePath(u"registry"_s)), m_reg(m_store) {}

    QTemporaryDir m_dir;
    RegistryStore m_store;
    basRegistry m_reg;
    ScriptedMessageBoxes m_boxes;
};

}  // namespace

TEST_F(DatabaseLocationTest, ALocationIsReadAfreshAndNotCheckedOnDisk) {
    ASSERT_TRUE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kDefaultDbLocationValue,
                                       u"/nowhere/Patients.mdb"_s, REG_SZ));
    EXPECT_EQ(checkDatabaseLocation(m_reg, m_boxes, DatabaseCheckCaller::Report),
              u"/nowhere/Patients.mdb"_s);
    // Another process (the settings dialog of this user) moves the database.
    RegistryStore otherStore(m_store.filePath());
    basRegistry other(otherStore);
    ASSERT_TRUE(other.RegWriteKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kDefaultDbLocationValue,
                                       u"/new/P.mdb"_s, REG_SZ));
    EXPECT_EQ(checkDatabaseLocation(m_reg, m_boxes, DatabaseCheckCaller::SearchData),
              u"/new/P.mdb"_s);
    EXPECT_TRUE(m_boxes.shown().empty());
}

TEST(DatabaseLocation, DefaultPathAndConnectionTexts) {
    EXPECT_EQ(defaultDatabasePath(AppFolder(u"/opt/orlo"_s)), u"/opt/orlo/Database/Patients.mdb"_s);
    EXPECT_EQ(reportConnectionString(u"/d/P.mdb"_s),
              u"Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info=False;Data "
              "Source= /d/P.mdb"_s);
    EXPECT_EQ(connectionTestString(u"/d/P.mdb"_s),
              u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/P.mdb;Persist "
              "Security Info=False"_s);
}
