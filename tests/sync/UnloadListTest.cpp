// The unload lists written from the add-in's folders: exact bytes, folder
// order, values that are missing, the missing list file, and an old list
// that survives a write that cannot happen.

#include <gtest/gtest.h>

#include <QDir>

#include "TestSupport.h"
#include "common/AddinContext.h"
#include "common/AddinFolders.h"
#include "common/basRegistry.h"
#include "host/Application.h"
#include "host/Folders.h"
#include "host/Item.h"
#include "host/ItemClass.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "platform/ui/MessageBox.h"
#include "records/FieldMaps.h"
#include "sync/UnloadLists.h"
#include "tools/store/AddinStore.h"

using namespace orlo;

namespace {

QString qs(const char16_t* s) {
    return QString::fromUtf16(s);
}

class UnloadListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QDir root(m_dir.path());
        for (const char* sub : {"PST", "META", "logs"}) {
            ASSERT_TRUE(root.mkpath(QLatin1String(sub)));
        }
        test::writeFile(patientList(), "old\r\n");
        test::writeFile(scheduleList(), "old\r\n");
        auto store = tools::createAddinStore(AddinPstPath(m_folder));
        ASSERT_TRUE(store.ok());
        m_store = std::move(store).value();
        auto tree = tools::addinFolders(*m_store);
        ASSERT_TRUE(tree.ok());
        m_tree = *tree;
    }

    // Items stored before the desk opens the store, as another workstation's
    // fill or an older version may have left them.
    void storeContact(host::PropertyMap props,
                      const QString& cls = qs(records::kPatientMessageClass)) {
        ASSERT_TRUE(m_store->insert(m_tree.patients, cls, props).ok());
    }
    void storeAppointment(host::PropertyMap props) {
        ASSERT_TRUE(
            m_store->insert(m_tree.scheduler, qs(records::kAppointmentMessageClass), props).ok());
    }

    // Opens the desk on the store and connects the context to it.
    void openDesk() {
        m_store.reset();
        m_app = host::Application::create(m_clock, Locale::unitedKingdom());
        ASSERT_TRUE(
            (*m_app->GetNamespace(QStringLiteral("MAPI")))->AddStore(AddinPstPath(m_folder)).ok());
        m_ctx.application = m_app;
    }

    QString patientList() const { return m_folder.path(qs(sync::kPatientUnloadList)); }
    QString scheduleList() const { return m_folder.path(qs(sync::kScheduleUnloadList)); }
    QString logFile() const { return m_folder.path(QStringLiteral("\\logs\\error.log")); }

    QTemporaryDir m_dir;
    AppFolder m_folder{m_dir.path()};
    PinnedClock m_clock{naiveDateTime(QDate(2026, 3, 15), QTime(18, 5, 9))};
    Locale m_locale = Locale::unitedKingdom();
    ScriptedMessageBoxes m_boxes;
    RegistryStore m_registryStore{m_dir.filePath(QStringLiteral("registry"))};
    basRegistry m_registry{m_registryStore, m_locale};
    AddinContext m_ctx{m_clock, m_locale, m_boxes, m_folder, m_registry};
    std::unique_ptr<host::StoreFile> m_store;
    tools::AddinFolders m_tree;
    std::shared_ptr<host::Application> m_app;
};

}  // namespace

TEST_F(UnloadListTest, PatientListHoldsEveryPatientIdInFolderOrder) {
    storeContact({{QStringLiteral("PatientID"), QStringLiteral("12")}});
    storeContact({{QStringLiteral("PatientID"), QStringLiteral("3")}});
    // Saved before it reached the database: an empty key.
    storeContact({{QStringLiteral("PatientID"), QString()}});
    // A plain contact dropped into the folder has no "PatientID" at all.
    storeContact({{QStringLiteral("Last Name"), QStringLiteral("Plain")}},
                 qs(host::kContactMessageClass));
    storeContact({{QStringLiteral("PatientID"), 100007}});
    openDesk();
    ASSERT_TRUE(sync::WritePatientUnloadList(m_ctx).ok());
    EXPECT_EQ(test::readFile(patientList()), "12\r\n3\r\n\r\n\r\n100007\r\n");
    EXPECT_EQ(test::readFile(scheduleList()), "old\r\n");
    EXPECT_TRUE(m_boxes.shown().empty());
}

TEST_F(UnloadListTest, ScheduleListHoldsMileageNotScheduleId) {
    storeAppointment({{QStringLiteral("ScheduleID"), QStringLiteral("5")},
                      {QStringLiteral("Mileage"), QStringLiteral("900")}});
    // Mileage never set: an empty line, whatever the ScheduleID says.
    storeAppointment({{QStringLiteral("ScheduleID"), QStringLiteral("6")}});
    storeAppointment({{QStringLiteral("Mileage"), QStringLiteral("41")}});
    openDesk();
    // An appointment saved through the desk while it runs is listed too.
    auto scheduler = addinFolder(m_app, qs(kSchedulerFolderName));
    ASSERT_TRUE(scheduler.ok());
    auto added = (*scheduler)->Items()->Add();
    ASSERT_TRUE(added.ok());
    ASSERT_TRUE((*added)->setUserProperty(QStringLiteral("ScheduleID"), Variant(u"77")).ok());
    ASSERT_TRUE((*added)->Save().ok());

    ASSERT_TRUE(sync::WriteScheduleUnloadList(m_ctx).ok());
    EXPECT_EQ(test::readFile(scheduleList()), "900\r\n\r\n41\r\n77\r\n");
    EXPECT_EQ(test::readFile(patientList()), "old\r\n");
}

TEST_F(UnloadListTest, EmptyFoldersEmptyTheListsAndLeaveNoTemporaryFiles) {
    openDesk();
    ASSERT_TRUE(sync::WritePatientUnloadList(m_ctx).ok());
    ASSERT_TRUE(sync::WriteScheduleUnloadList(m_ctx).ok());
    EXPECT_TRUE(QFileInfo::exists(patientList()));
    EXPECT_EQ(test::readFile(patientList()), QByteArray());
    EXPECT_EQ(test::readFile(scheduleList()), QByteArray());
    EXPECT_EQ(QDir(m_folder.path(QStringLiteral("META"))).entryList(QDir::Files),
              (QStringList{QStringLiteral("UNLOADP.log"), QStringLiteral("UNLOADS.log")}));
}

TEST_F(UnloadListTest, AMissingListIsReportedEveryTimeAndNeverCreated) {
    storeContact({{QStringLiteral("PatientID"), QStringLiteral("1")}});
    storeAppointment({{QStringLiteral("Mileage"), QStringLiteral("2")}});
    openDesk();
    ASSERT_TRUE(QFile::remove(patientList()));
    ASSERT_TRUE(QFile::remove(scheduleList()));

    const Status patients = sync::WritePatientUnloadList(m_ctx);
    ASSERT_FALSE(patients.ok());
    EXPECT_EQ(patients.error().number, err::kFileNotFound);
    const Status schedules = sync::WriteScheduleUnloadList(m_ctx);
    ASSERT_FALSE(schedules.ok());
    m_clock.advance(61);
    (void)sync::WritePatientUnloadList(m_ctx);

    EXPECT_FALSE(QFileInfo::exists(patientList()));
    EXPECT_FALSE(QFileInfo::exists(scheduleList()));
    const MessageBoxRequest patientBox{
        QStringLiteral("Cannot Load Patient Unload File. Please recreate."),
        QStringLiteral("Error"), MsgIcon::Critical, MsgButtons::OK};
    const MessageBoxRequest scheduleBox{
        QStringLiteral("Cannot Load Schedule Unload File. Please recreate."),
        QStringLiteral("Error"), MsgIcon::Critical, MsgButtons::OK};
    EXPECT_EQ(m_boxes.shown(),
              (std::vector<MessageBoxRequest>{patientBox, scheduleBox, patientBox}));
    EXPECT_EQ(test::readFile(logFile()),
              "[15/03/2026 : 18:05:09] [ERROR] Cannot Load Patient Unload File.\r\n"
              "[15/03/2026 : 18:05:09] [ERROR] Cannot Load Schedule Unload File.\r\n"
              "[15/03/2026 : 18:06:10] [ERROR] Cannot Load Patient Unload File.\r\n");
}

TEST_F(UnloadListTest, AListThatCannotBeWrittenKeepsTheOldOne) {
    storeContact({{QStringLiteral("PatientID"), QStringLiteral("1")}});
    openDesk();
    // The add-in's store is gone from the profile: the folder cannot be
    // reached, and the old list must stay whole for the next resync.
    auto ns = *m_app->GetNamespace(QStringLiteral("MAPI"));
    ASSERT_TRUE(ns->RemoveStore(*addinTopFolder(m_app)).ok());
    const Status s = sync::WritePatientUnloadList(m_ctx);
    EXPECT_FALSE(s.ok());
    EXPECT_EQ(test::readFile(patientList()), "old\r\n");

    // No application at all (the add-in was stopped): the same.
    m_ctx.application = nullptr;
    EXPECT_EQ(sync::WriteScheduleUnloadList(m_ctx).error().number, err::kObjectNotSet);
    EXPECT_EQ(test::readFile(scheduleList()), "old\r\n");

    // A list that is not a file the add-in can replace.
    openDesk();
    ASSERT_TRUE(QFile::remove(patientList()));
    ASSERT_TRUE(QDir().mkpath(patientList()));
    EXPECT_FALSE(sync::WritePatientUnloadList(m_ctx).ok());
    EXPECT_TRUE(m_boxes.shown().empty());

    // Nobody is told at once, but the log says that the lists are stale.
    const QStringList entries =
        QString::fromUtf8(test::readFile(logFile())).split(QStringLiteral("\r\n"));
    ASSERT_EQ(entries.size(), 4) << entries.join(u'|').toStdString();
    EXPECT_TRUE(entries[0].startsWith(
        QStringLiteral("[15/03/2026 : 18:05:09] [ERROR] Cannot Write Patient Unload File. ")));
    EXPECT_EQ(entries[1], QStringLiteral("[15/03/2026 : 18:05:09] [ERROR] Cannot Write Schedule "
                                         "Unload File. Object variable or With block variable "
                                         "not set"));
    EXPECT_TRUE(entries[2].startsWith(QStringLiteral("[15/03/2026 : 18:05:09] [ERROR] Cannot "
                                                     "Write Patient Unload File. The unload "
                                                     "list ") +
                                      patientList() + QStringLiteral(" cannot be written: ")));
    EXPECT_EQ(entries[3], QString());
}
