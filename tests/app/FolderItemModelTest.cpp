// The item list model stays lazy on a large folder, shows the patient and
// appointment columns from the record layouts' property names, and follows
// the folder's item events.

#include <QCoreApplication>

#include "TestDesk.h"
#include "TestSupport.h"
#include "app/FolderItemModel.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::desk;
using namespace orlo::desk::test;

namespace {

constexpr int kContacts = 1000;
constexpr int kAppointments = 450;
using FolderItemModelTest = orlo::test::SeededDeskTest<kContacts, kAppointments>;

}  // namespace

TEST_F(FolderItemModelTest, FetchesInBatchesReadsOnlyWhatIsShownAndFollowsItemEvents) {
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
    EXPECT_EQ(model.data(model.index(7, 0), Qt::DisplayRole).toString(), u"Smith, Ben"_s);
    EXPECT_FALSE(model.data(model.index(7, 1), Qt::DisplayRole).toString().isEmpty());
    EXPECT_EQ(model.rowsRead(), 1u);
    EXPECT_FALSE(model.data(model.index(kContacts, 0), Qt::DisplayRole).isValid());
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), u"Home telephone"_s);

    // The appointment columns follow the folder's item events.
    model.setFolder(folder(kScheduler));
    QStringList headers;
    for (int c = 0; c < model.columnCount(); ++c) {
        headers << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    EXPECT_EQ(headers, (QStringList{u"Start"_s, u"End"_s, u"Patient"_s, u"Reason"_s, u"Status"_s}));
    while (model.canFetchMore({})) {
        model.fetchMore({});
    }
    QStringList heard;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int last) {
                         heard << u"inserted %1-%2"_s.arg(first).arg(last);
                     });
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved,
                     [&](const QModelIndex&, int first, int last) {
                         heard << u"removed %1-%2"_s.arg(first).arg(last);
                     });
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         heard << u"changed %1-%2"_s.arg(from.row()).arg(to.row());
                     });

    // Saved by anyone: the list has the rows once the event loop turns, all
    // added in one insertion, with the dates as the workstation writes them
    // and the patient as "Last, First".
    const auto save = [&](const char* last, int day) {
        auto item = *folder(kScheduler)->Items()->Add();
        EXPECT_TRUE(item->setUserProperty(
                            u"Start"_s, Variant(naiveDateTime(QDate(2026, 4, day), QTime(10, 15))))
                        .ok() &&
                    item->setUserProperty(u"LNAME"_s, Variant(QString::fromLatin1(last))).ok() &&
                    item->setUserProperty(u"FNAME"_s, Variant(u"Grace"_s)).ok() &&
                    item->Save().ok());
        return item;
    };
    const auto item = save("Okafor", 2);
    const auto other = save("Bell", 3);
    QCoreApplication::processEvents();
    EXPECT_EQ(model.totalCount(), kAppointments + 2);
    const int row = model.rowOf(item->entryId());
    ASSERT_EQ(row, kAppointments);
    EXPECT_EQ(model.rowOf(other->entryId()), kAppointments + 1);
    EXPECT_EQ(model.data(model.index(row, 0), Qt::DisplayRole).toString(),
              u"02/04/2026 10:15:00"_s);
    EXPECT_EQ(model.data(model.index(row, 1), Qt::DisplayRole).toString(), QString());
    EXPECT_EQ(model.data(model.index(row, 2), Qt::DisplayRole).toString(), u"Okafor, Grace"_s);

    // Saved again: its row is read again.
    ASSERT_TRUE(item->setUserProperty(u"REASON"_s, Variant(u"Recall"_s)).ok());
    ASSERT_TRUE(item->Save().ok());
    QCoreApplication::processEvents();
    EXPECT_EQ(model.data(model.index(row, 3), Qt::DisplayRole).toString(), u"Recall"_s);

    // Deleted: the row goes, the one after it moves up.
    ASSERT_TRUE(item->Delete().ok());
    QCoreApplication::processEvents();
    EXPECT_EQ(model.totalCount(), kAppointments + 1);
    EXPECT_EQ(model.rowOf(item->entryId()), -1);
    EXPECT_EQ(model.rowOf(other->entryId()), kAppointments);
    EXPECT_EQ(heard,
              (QStringList{u"inserted 450-451"_s, u"changed 450-450"_s, u"removed 450-450"_s}));
}
