// The item list model stays lazy on a large folder and shows the patient
// and appointment columns from the record layouts' property names.

#include <gtest/gtest.h>

#include "DeskTestStore.h"
#include "TestSupport.h"
#include "app/FolderItemModel.h"
#include "app/FolderPaths.h"
#include "host/Application.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "platform/core/Clock.h"

using namespace orlo;
using namespace orlo::desk;
using namespace orlo::desk::test;

namespace {

class FolderItemModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.create(kContacts, kAppointments));
        app = host::Application::create(clock, Locale::unitedKingdom());
        ns = *app->GetNamespace(QStringLiteral("MAPI"));
        ASSERT_TRUE(ns->AddStore(store.storePath).ok());
    }

    std::shared_ptr<host::MAPIFolder> folder(const char16_t* path) {
        auto f = folderAt(*ns, QString::fromUtf16(path));
        EXPECT_TRUE(f.ok());
        return f.ok() ? *f : nullptr;
    }

    static constexpr int kContacts = 1000;
    static constexpr int kAppointments = 450;
    DeskTestStore store;
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 15), QTime(9, 30))};
    std::shared_ptr<host::Application> app;
    std::shared_ptr<host::NameSpace> ns;
};

}  // namespace

TEST_F(FolderItemModelTest, FetchesRowsInBatchesAndReadsOnlyWhatIsShown) {
    FolderItemModel model(Locale::unitedKingdom());
    model.setFolder(folder(kPatients));
    EXPECT_EQ(model.totalCount(), kContacts);
    EXPECT_EQ(model.rowCount(), FolderItemModel::kBatch);
    EXPECT_EQ(model.rowsRead(), 0u);
    ASSERT_TRUE(model.canFetchMore({}));
    model.fetchMore({});
    EXPECT_EQ(model.rowCount(), 2 * FolderItemModel::kBatch);
    while (model.canFetchMore({})) {
        model.fetchMore({});
    }
    EXPECT_EQ(model.rowCount(), kContacts);
    EXPECT_EQ(model.rowsRead(), 0u);

    // Reading a cell reads that row once, whatever column is asked next.
    const QString name = model.data(model.index(7, 0), Qt::DisplayRole).toString();
    EXPECT_EQ(name, QStringLiteral("Smith, Ben"));  // seeded patient 8
    EXPECT_FALSE(model.data(model.index(7, 1), Qt::DisplayRole).toString().isEmpty());
    EXPECT_EQ(model.rowsRead(), 1u);
    EXPECT_FALSE(model.data(model.index(kContacts, 0), Qt::DisplayRole).isValid());
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Telephone"));
}

TEST_F(FolderItemModelTest, AppointmentColumnsAndRefreshAfterChanges) {
    FolderItemModel model(Locale::unitedKingdom());
    model.setFolder(folder(kScheduler));
    QStringList headers;
    for (int c = 0; c < model.columnCount(); ++c) {
        headers << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    EXPECT_EQ(headers, (QStringList{QStringLiteral("Start"), QStringLiteral("End"),
                                    QStringLiteral("Patient"), QStringLiteral("Reason"),
                                    QStringLiteral("Status")}));

    // A saved appointment shows after a refresh, with its dates as the
    // workstation writes them and the patient as "Last, First".
    auto added = folder(kScheduler)->Items()->Add();
    ASSERT_TRUE(added.ok());
    const auto item = *added;
    ASSERT_TRUE(item->setUserProperty(QStringLiteral("Start"),
                                      Variant(naiveDateTime(QDate(2026, 4, 2), QTime(10, 15))))
                    .ok());
    ASSERT_TRUE(
        item->setUserProperty(QStringLiteral("LNAME"), Variant(QStringLiteral("Okafor"))).ok());
    ASSERT_TRUE(
        item->setUserProperty(QStringLiteral("FNAME"), Variant(QStringLiteral("Grace"))).ok());
    ASSERT_TRUE(
        item->setUserProperty(QStringLiteral("REASON"), Variant(QStringLiteral("Recall"))).ok());
    ASSERT_TRUE(item->Save().ok());
    model.refresh();
    EXPECT_EQ(model.totalCount(), kAppointments + 1);
    while (model.canFetchMore({})) {
        model.fetchMore({});
    }
    const int row = model.rowOf(item->entryId());
    ASSERT_EQ(row, kAppointments);
    EXPECT_EQ(model.data(model.index(row, 0), Qt::DisplayRole).toString(),
              QStringLiteral("02/04/2026 10:15:00"));
    EXPECT_EQ(model.data(model.index(row, 1), Qt::DisplayRole).toString(), QString());
    EXPECT_EQ(model.data(model.index(row, 2), Qt::DisplayRole).toString(),
              QStringLiteral("Okafor, Grace"));
    EXPECT_EQ(model.data(model.index(row, 3), Qt::DisplayRole).toString(),
              QStringLiteral("Recall"));

    // Deleted: the refreshed list no longer has the row.
    ASSERT_TRUE(item->Delete().ok());
    model.refresh();
    EXPECT_EQ(model.totalCount(), kAppointments);
    EXPECT_EQ(model.rowOf(item->entryId()), -1);
}
