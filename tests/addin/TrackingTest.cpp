// Which items the add-in listens to, and the close rules of the main
// window and the item windows, on a real desk and store.

#include "AddinFixture.h"
#include "host/Views.h"
#include "sync/UnloadLists.h"

namespace orlo::addin::test {
namespace {

class TrackingTest : public ConnectedAddinFixture {
protected:
    // The add-in's handlers on an item's events.
    static int contactHandlers(const host::Item& item) {
        return item.events.Open.handlerCount() + item.events.Write.handlerCount() +
               item.events.BeforeDelete.handlerCount() + item.events.Close.handlerCount();
    }
    static int appointmentHandlers(const host::Item& item) {
        return item.events.Open.handlerCount() + item.events.Write.handlerCount() +
               item.events.CustomPropertyChange.handlerCount();
    }
};

TEST_F(TrackingTest, EveryOpenContactAndAppointmentWindowIsBoundUntilItCloses) {
    auto first = patient(u"1"_s);
    auto second = patient(u"2"_s);
    auto visit = appointment(u"10"_s);
    ASSERT_TRUE(first->Display().ok());
    ASSERT_TRUE(visit->Display().ok());
    ASSERT_TRUE(second->Display().ok());
    // A later window does not take the earlier ones' place.
    EXPECT_EQ(contactHandlers(*first), 4);
    EXPECT_EQ(contactHandlers(*second), 4);
    EXPECT_EQ(appointmentHandlers(*visit), 3);
    EXPECT_EQ(addin().inspector(), second->GetInspector());

    // A window that closes lets go of its item; the others stay bound.
    ASSERT_TRUE(first->Close(host::SaveMode::Discard).ok());
    EXPECT_EQ(contactHandlers(*first), 0);
    EXPECT_EQ(contactHandlers(*second), 4);
    ASSERT_TRUE(first->Display().ok());
    EXPECT_EQ(contactHandlers(*first), 4);

    // Mail and other items change nothing but which window is the latest.
    auto note = mail();
    auto task = *inbox->Items()->Add(u"IPM.Task"_s);
    ASSERT_TRUE(note->Display().ok() && task->Display().ok());
    EXPECT_EQ(contactHandlers(*first), 4);
    EXPECT_EQ(appointmentHandlers(*visit), 3);
    EXPECT_EQ(addin().inspector(), task->GetInspector());
    EXPECT_EQ(contactHandlers(*note), 0);

    // A folder switch keeps the views of the new folder.
    ASSERT_TRUE(explorer->SelectFolder(addinFolderNamed(kSchedulerFolderName)).ok());
    ASSERT_NE(addin().views(), nullptr);
    EXPECT_EQ(addin().views()->folderName(), u"Scheduler"_s);

    // Stopping the add-in twice is harmless.
    addin().StopAddin();
    addin().StopAddin();
    EXPECT_FALSE(addin().isRunning());
    EXPECT_EQ(addin().nameSpace(), nullptr);
    EXPECT_EQ(contactHandlers(*first), 0);
    // The desk's own events find no add-in left to call.
    explorer->Close();
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(orlo::test::readFile(appPath(sync::kPatientUnloadList)), QByteArray());
}

TEST_F(TrackingTest, ClosingTheMainWindowWritesTheListsAndWaitsForTheLastItemWindow) {
    auto other = patient(u"7"_s);
    auto contact = patient(u"8"_s);
    appointment(u"30"_s);
    ASSERT_TRUE(contact->Display().ok());
    ASSERT_TRUE(other->Display().ok());

    explorer->Close();
    EXPECT_EQ(orlo::test::readFile(appPath(sync::kPatientUnloadList)), "7\r\n8\r\n");
    EXPECT_EQ(orlo::test::readFile(appPath(sync::kScheduleUnloadList)), "30\r\n");
    // Item windows are still open: the add-in keeps running, also when the
    // latest of them closes (the close the add-in hears).
    EXPECT_TRUE(addin().isRunning());
    ASSERT_TRUE(other->Close(host::SaveMode::Discard).ok());
    EXPECT_TRUE(addin().isRunning());
    EXPECT_EQ(contactHandlers(*contact), 4);

    // The last item window closes with no main window left: shut-down.
    ASSERT_TRUE(other->Display().ok());
    ASSERT_TRUE(contact->Close(host::SaveMode::Discard).ok());
    ASSERT_TRUE(other->Close(host::SaveMode::Discard).ok());
    EXPECT_FALSE(addin().isRunning());
    EXPECT_EQ(addin().inspector(), nullptr);
    EXPECT_EQ(addin().explorer(), nullptr);
    EXPECT_EQ(ctx().application, nullptr);
    EXPECT_EQ(contactHandlers(*other), 0);

    // The desk disconnects afterwards: the shut-down runs a second time.
    disconnectAddin(host::RemoveMode::HostShutdown);
    EXPECT_EQ(addinConnect.outAddIn(), nullptr);
    EXPECT_TRUE(addinStoreOpen());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(TrackingTest, ClosingTheOnlyWindowStopsAtOnceEvenWithAListMissing) {
    patient(u"5"_s);
    appointment(u"44"_s);
    ASSERT_TRUE(QFile::remove(appPath(sync::kScheduleUnloadList)));
    explorer->Close();
    // The box and the log entry: see the unload list tests.
    EXPECT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(orlo::test::readFile(appPath(sync::kPatientUnloadList)), "5\r\n");
    // The failure did not keep the shut-down rule from running.
    EXPECT_FALSE(addin().isRunning());
    // Items opened afterwards reach nothing.
    auto later = patient(u"6"_s);
    ASSERT_TRUE(later->Display().ok());
    EXPECT_EQ(contactHandlers(*later), 0);
}

}  // namespace
}  // namespace orlo::addin::test
