// Stores in the profile: adding, finding their top folders, removing them,
// and the profile list the shell keeps.

#include <QDir>
#include <QFile>

#include "HostFixture.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::host::test {
namespace {

class StoreProfileTest : public HostFixture {};

TEST_F(StoreProfileTest, AddStoreOpensOnceAndRemoveStoreClosesItAndItsObjectsFail) {
    int changes = 0;
    Subscription s = ns->events.profileChanged.connect([&] { ++changes; });
    ASSERT_TRUE(ns->AddStore(m_path).ok());  // already open: nothing happens
    EXPECT_EQ(ns->Folders()->Count(), 1);
    const QString second = m_dir.filePath(u"PST/other.pst"_s);
    QDir().mkpath(m_dir.filePath(u"PST"_s));
    ASSERT_TRUE(ns->AddStore(second).ok());
    EXPECT_TRUE(QFile::exists(second));
    EXPECT_EQ(ns->Folders()->Count(), 2);
    EXPECT_TRUE(ns->Folders()->Item(qs(NameSpace::kNewStoreName)).ok());
    EXPECT_EQ(ns->profileStores(), (QStringList{m_path, second}));
    EXPECT_EQ(changes, 1);

    auto item = savedPatient(u"1"_s);
    auto top = *ns->Folders()->Item(qs(kTop));
    ASSERT_FALSE(ns->RemoveStore(patients).ok());  // not a top folder
    ASSERT_TRUE(ns->RemoveStore(top).ok());
    EXPECT_EQ(ns->Folders()->Count(), 1);
    EXPECT_EQ(ns->Folders()->Item(qs(kTop)).error().number, err::kObjectNotFound);
    EXPECT_EQ(ns->profileStores(), QStringList{second});
    EXPECT_EQ(item->Save().error().number, err::kItemDeleted);
    EXPECT_EQ(patients->Items()->Find(u"[PatientID] = 1"_s).error().number, err::kItemDeleted);
    EXPECT_FALSE(ns->RemoveStore(top).ok());
    // The file stays and opens again with the item in it.
    ASSERT_TRUE(ns->AddStore(m_path).ok());
    auto again = folder(u"Patients"_s)->Items()->Find(u"[PatientID] = 1"_s);
    ASSERT_TRUE(again.ok());
    EXPECT_NE(*again, nullptr);
}

TEST_F(StoreProfileTest, AClosedDesksItemsOpenNoWindowAndTheProfileReopens) {
    EXPECT_EQ(*app->GetNamespace(u"mapi"_s), ns);
    EXPECT_EQ(app->GetNamespace(u"XML"_s).error().number, err::kInvalidArgument);
    auto item = savedPatient(u"3"_s);
    const QString foreign = m_dir.filePath(u"notes.txt"_s);
    orlo::test::writeFile(foreign, QByteArrayLiteral("not a store"));
    const QString missing = m_dir.filePath(u"gone.pst"_s);
    const QStringList profile = ns->profileStores();
    closeDesk();
    EXPECT_EQ(item->Display().error().number, err::kObjectNotAvailable);
    EXPECT_FALSE(item->GetInspector()->isDisplayed());
    openDesk();  // the fixture's desk reopened its own store already
    const std::vector<Error> errors = ns->openProfile(profile + QStringList{missing, foreign});
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].number, err::kFileNotFound);
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(ns->Folders()->Count(), 1);
}

}  // namespace
}  // namespace orlo::host::test
