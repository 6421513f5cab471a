// Stores in the profile: adding, finding their top folders, removing them,
// and the profile list the shell keeps.

#include <QDir>
#include <QFile>

#include "HostFixture.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"

namespace orlo::host::test {
namespace {

class StoreProfileTest : public HostFixture {};

TEST_F(StoreProfileTest, AddStoreOpensOnceAndCreatesAMissingFile) {
    int changes = 0;
    Subscription s = ns->events.profileChanged.connect([&] { ++changes; });
    ASSERT_TRUE(ns->AddStore(m_path).ok());  // already open: nothing happens
    EXPECT_EQ(ns->Folders()->Count(), 1);
    const QString second = m_dir.filePath(QStringLiteral("PST/other.pst"));
    QDir().mkpath(m_dir.filePath(QStringLiteral("PST")));
    ASSERT_TRUE(ns->AddStore(second).ok());
    EXPECT_TRUE(QFile::exists(second));
    EXPECT_EQ(ns->Folders()->Count(), 2);
    EXPECT_TRUE(ns->Folders()->Item(qs(NameSpace::kNewStoreName)).ok());
    EXPECT_EQ(ns->profileStores(), (QStringList{m_path, second}));
    EXPECT_EQ(changes, 1);
}

TEST_F(StoreProfileTest, RemoveStoreClosesItAndItsObjectsFail) {
    auto item = savedPatient(QStringLiteral("1"));
    auto top = *ns->Folders()->Item(qs(kTop));
    ASSERT_FALSE(ns->RemoveStore(patients).ok());  // not a top folder
    ASSERT_TRUE(ns->RemoveStore(top).ok());
    EXPECT_EQ(ns->Folders()->Count(), 0);
    EXPECT_FALSE(ns->Folders()->Item(qs(kTop)).ok());
    EXPECT_EQ(ns->Folders()->Item(qs(kTop)).error().number, err::kObjectNotFound);
    EXPECT_TRUE(ns->profileStores().isEmpty());
    EXPECT_EQ(item->Save().error().number, err::kItemDeleted);
    EXPECT_EQ(patients->Items()->Find(QStringLiteral("[PatientID] = 1")).error().number,
              err::kItemDeleted);
    EXPECT_FALSE(ns->RemoveStore(top).ok());
    // The file stays and opens again with the item in it.
    ASSERT_TRUE(ns->AddStore(m_path).ok());
    auto again =
        folder(QStringLiteral("Patients"))->Items()->Find(QStringLiteral("[PatientID] = 1"));
    ASSERT_TRUE(again.ok());
    EXPECT_NE(*again, nullptr);
}

TEST_F(StoreProfileTest, SavedProfileReopensAndReportsMissingAndForeignFiles) {
    const QString foreign = m_dir.filePath(QStringLiteral("notes.txt"));
    orlo::test::writeFile(foreign, QByteArrayLiteral("not a store"));
    const QString missing = m_dir.filePath(QStringLiteral("gone.pst"));
    const QStringList profile = ns->profileStores();
    closeDesk();
    openDesk();  // the fixture's desk reopened its own store already
    const std::vector<Error> errors = ns->openProfile(profile + QStringList{missing, foreign});
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].number, err::kFileNotFound);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(ns->Folders()->Count(), 1);
}

TEST_F(StoreProfileTest, OnlyTheMapiNamespaceExists) {
    EXPECT_EQ(*app->GetNamespace(QStringLiteral("mapi")), ns);
    EXPECT_EQ(app->GetNamespace(QStringLiteral("XML")).error().number, err::kInvalidArgument);
}

TEST_F(StoreProfileTest, ItemsOfAClosedDeskCannotOpenWindows) {
    auto item = savedPatient(QStringLiteral("3"));
    closeDesk();
    EXPECT_EQ(item->Display().error().number, err::kObjectNotAvailable);
    EXPECT_FALSE(item->GetInspector()->isDisplayed());
}

}  // namespace
}  // namespace orlo::host::test
