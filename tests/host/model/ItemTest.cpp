// Items: one live object per stored item, the order of the save and its
// Write event, the host's times, property errors, deletion, and values
// surviving a reopen of the store.

#include "HostFixture.h"
#include "host/HostErrors.h"
#include "host/ItemClass.h"
#include "host/UserProperties.h"
#include "host/UserProperty.h"
#include "host/events/EventField.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::host::test {
namespace {

class ItemTest : public HostFixture {};

TEST_F(ItemTest, FolderItemEventsReachEveryItemsOfTheFolderWhoeverChangedIt) {
    // Held by a list, apart from the Items objects that make and save the items.
    const auto listened = patients->Items();
    const auto otherFolder = scheduler->Items();
    QStringList heard;
    std::vector<Subscription> subs;
    subs.push_back(listened->events.ItemAdd.connect([&](const std::shared_ptr<Item>& item) {
        heard << u"add "_s + item->propertyText(u"PatientID"_s);
    }));
    subs.push_back(listened->events.ItemChange.connect([&](const std::shared_ptr<Item>& item) {
        heard << u"change "_s + item->propertyText(u"Last Name"_s);
    }));
    subs.push_back(
        listened->events.ItemRemove.connect([&](ItemId id) { heard << u"remove %1"_s.arg(id); }));
    subs.push_back(otherFolder->events.ItemAdd.connect(
        [&](const std::shared_ptr<Item>&) { heard << u"scheduler"_s; }));

    const auto item = savedPatient(u"7"_s, u"Okafor"_s);
    ASSERT_TRUE(item->setUserProperty(u"Last Name"_s, Variant(u"Bell"_s)).ok());
    ASSERT_TRUE((*patients->Items()->Find(u"[PatientID] = 7"_s))->Save().ok());
    // A save that a Write handler cancels stores nothing and tells nobody.
    Subscription cancel = item->events.Write.connect([](bool& c) { c = true; });
    ASSERT_TRUE(item->setUserProperty(u"Last Name"_s, Variant(u"Gray"_s)).ok());
    EXPECT_EQ(item->Save().error().number, err::kOperationCancelled);
    EXPECT_FALSE(item->Saved());
    cancel.disconnect();
    ASSERT_TRUE(item->Close(SaveMode::Discard).ok());
    EXPECT_EQ(text(item, u"Last Name"_s), u"Bell"_s);
    const ItemId id = item->entryId();
    ASSERT_TRUE(item->Delete().ok());
    // An item never stored leaves the folder unchanged.
    ASSERT_TRUE(newItem(patients)->Delete().ok());

    EXPECT_EQ(heard, (QStringList{u"add 7"_s, u"change Bell"_s, u"remove %1"_s.arg(id)}));
}

TEST_F(ItemTest, WriteRunsInsideSaveAndAHandlersChangeIsStoredWithIt) {
    auto item = savedPatient(u""_s, u"Smith"_s);
    std::vector<QString> log;
    EventField<ContactItem> objContactItem{[&](ContactItem& c) {
        std::vector<Subscription> subs;
        subs.push_back(c.events.Write.connect([&, self = &c](bool& cancel) {
            log.push_back(u"Write"_s);
            EXPECT_FALSE(cancel);  // the desk never sets it
            // The key a database insert hands back, set inside the save.
            EXPECT_TRUE(self->setUserProperty(u"PatientID"_s, Variant(77)).ok());
        }));
        return subs;
    }};
    // The tracked object is the one another path (a peer notice) finds.
    auto viaFind = patients->Items()->Find(u"[Last Name] = 'smith'"_s);
    ASSERT_TRUE(viaFind.ok());
    objContactItem = *viaFind;
    ASSERT_TRUE(item->setUserProperty(u"First Name"_s, Variant(u"Ann")).ok());
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(log.size(), 1u);
    // An appointment saved, then changed but never saved: lost with the desk.
    const QDateTime start = naiveDateTime(QDate(2026, 4, 1), QTime(10, 0));
    {
        auto a = savedAppointment(u"1001"_s);
        ASSERT_TRUE(a->setUserProperty(u"Start"_s, Variant(start)).ok());
        ASSERT_TRUE(a->Save().ok());
        ASSERT_TRUE(a->setUserProperty(u"REASON"_s, Variant(u"unsaved")).ok());
    }

    closeDesk();
    objContactItem = nullptr;
    item.reset();
    viaFind = Result<std::shared_ptr<Item>>(nullptr);
    openDesk();
    auto reopened = folder(u"Patients"_s)->Items()->Find(u"[PatientID] = 77"_s);
    ASSERT_TRUE(reopened.ok() && *reopened);
    EXPECT_EQ(text(*reopened, u"First Name"_s), u"Ann"_s);
    EXPECT_EQ((*reopened)->MessageClass(), u"IPM.Contact.Patient"_s);
    // The form mirrored the key the handler set into "Customer ID".
    EXPECT_EQ(text(*reopened, u"Customer ID"_s), u"77"_s);
    auto a = folder(u"Scheduler"_s)->Items()->Find(u"[Mileage] = 1001"_s);
    ASSERT_TRUE(a.ok() && *a);
    EXPECT_EQ(*(*a)->userProperty(u"Start"_s)->asDate(), start);
    EXPECT_EQ(text(*a, u"REASON"_s), QString());
}

TEST_F(ItemTest, TimesAreStampedBeforeWriteAndPropertiesAndClassAnswerAsStored) {
    auto item = newItem(patients);
    QDateTime seenInWrite;
    Subscription s = item->events.Write.connect(
        [&](bool&) { seenInWrite = *item->userProperty(u"Created"_s)->asDate(); });
    ASSERT_TRUE(item->Save().ok());
    const QDateTime first = clock.now();
    EXPECT_EQ(seenInWrite, first);
    clock.advance(3600);
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(*item->userProperty(u"Created"_s)->asDate(), first);
    EXPECT_EQ(*item->userProperty(u"Modified"_s)->asDate(), clock.now());

    // An absent user property fails with error five; built-in fields always answer.
    EXPECT_EQ(orlo::test::failure(item->userProperty(u"NoSuchField"_s)),
              err::kInvalidProcedureCall);
    EXPECT_EQ(item->setUserProperty(u"NoSuchField"_s, Variant(1)).error().number,
              err::kInvalidProcedureCall);
    EXPECT_EQ(item->UserProperties()->Find(u"NoSuchField"_s), nullptr);
    EXPECT_TRUE(item->userProperty(u"Mileage"_s)->isEmpty());
    ASSERT_TRUE(item->UserProperties()->Add(u"NoSuchField"_s).ok());
    EXPECT_TRUE(item->setUserProperty(u"NoSuchField"_s, Variant(1)).ok());
    // A new patient carries every property of the form, empty.
    EXPECT_EQ(text(item, u"PatientID"_s), QString());
    EXPECT_EQ(text(item, u"NotesPage2"_s), QString());

    // Find hands out the live object while one is held (tested where items
    // are found); once nobody holds it, a fresh one with the stored values.
    std::weak_ptr<Item> tracked = savedPatient(u"12"_s);
    EXPECT_TRUE(tracked.expired());
    auto again = patients->Items()->Find(u"[PatientID] = 12"_s);
    ASSERT_TRUE(again.ok() && *again);
    EXPECT_EQ(text(*again, u"PatientID"_s), u"12"_s);

    // The class follows the message class.
    EXPECT_EQ(newItem(patients)->Class(), kContactItem);
    EXPECT_EQ(newItem(scheduler)->Class(), kAppointmentItem);
    // A class is known by its whole first parts: "IPM.ContactX" is no contact.
    const std::vector<std::pair<const char16_t*, int>> cases = {
        {u"IPM.Note", 43}, {u"IPM.Document.Word", 41}, {u"IPM.ContactX", 43}};
    for (const auto& [cls, number] : cases) {
        EXPECT_EQ(itemClassOf(qs(cls)), number) << qs(cls).toStdString();
    }
}

TEST_F(ItemTest, DeleteRaisesBeforeDeleteRemovesTheItemAndLeavesADeadObject) {
    auto item = savedPatient(u"9"_s);
    std::shared_ptr<Item> seen;
    bool cancelNext = true;
    Subscription s =
        item->events.BeforeDelete.connect([&](const std::shared_ptr<Item>& i, bool& cancel) {
            seen = i;
            EXPECT_FALSE(cancel);
            cancel = cancelNext;
        });
    // Cancelled by a handler: the item stays.
    EXPECT_EQ(item->Delete().error().number, err::kOperationCancelled);
    EXPECT_EQ(*patients->Items()->Find(u"[PatientID] = 9"_s), item);
    cancelNext = false;
    ASSERT_TRUE(item->Delete().ok());
    EXPECT_EQ(seen, item);
    EXPECT_EQ(*patients->Items()->Find(u"[PatientID] = 9"_s), nullptr);
    EXPECT_EQ(*patients->Items()->Count(), 0);
    EXPECT_EQ(item->Save().error().number, err::kItemDeleted);
}

TEST_F(ItemTest, BuiltInFieldsKeepTheirTypesWhateverIsAssigned) {
    auto item = newItem(scheduler);
    // Values travel as text: a fill assigns "Start" the text of a date.
    ASSERT_TRUE(item->setUserProperty(u"Start"_s, Variant(u"02/05/2026 14:00:00")).ok());
    const QDateTime* start = item->userProperty(u"Start"_s)->asDate();
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(*start, naiveDateTime(QDate(2026, 5, 2), QTime(14, 0)));
    EXPECT_EQ(orlo::test::failure(item->setUserProperty(u"End"_s, Variant(u"soon"))),
              err::kTypeMismatch);
    EXPECT_TRUE(item->userProperty(u"End"_s)->isEmpty());
    ASSERT_TRUE(item->setUserProperty(u"Mileage"_s, Variant(qint64(44))).ok());
    EXPECT_EQ(*item->userProperty(u"Mileage"_s)->asText(), u"44"_s);
    ASSERT_TRUE(item->setUserProperty(u"ScheduleID"_s, Variant(u"44")).ok());
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(*scheduler->Items()->Find(u"[Start] = '2026-05-02 14:00'"_s), item);
}

}  // namespace
}  // namespace orlo::host::test
