// The desk's object model on real store files. Items: one live object per
// stored item, the order of the save and its Write event, the host's times,
// property errors, deletion, and values surviving a reopen of the store;
// then events, finding, windows, forms and the profile's stores.

#include <QDir>
#include <QFile>
#include "GarbledFile.h"
#include "HostFixture.h"
#include "host/BuiltInFields.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/ItemClass.h"
#include "host/ItemKeys.h"
#include "host/UserProperties.h"
#include "host/UserProperty.h"
#include "host/Views.h"
#include "host/commandbars/CommandBars.h"
#include "host/events/Event.h"
#include "host/events/EventField.h"
#include "host/forms/FormPage.h"

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

// The keys read in one pass answer as Find does (which values are equal is
// the find key's): the property's values across the folder, blanks never.
TEST_F(ItemTest, KeysReadOnceAnswerAsFindDoesAndAnUnreadableStoreAnswersWithAnError) {
    savedPatient(QString());
    savedPatient(u"012"_s, u"Leeds"_s);
    savedPatient(u"120"_s);
    auto keys = ItemKeys::read(*patients, u"PatientID"_s);
    auto names = ItemKeys::read(*patients, u"Last Name"_s);
    ASSERT_TRUE(keys.ok() && names.ok());
    const struct {
        const ItemKeys& keys;
        Variant value;
        bool found;
    } cases[] = {
        {*keys, Variant(qint64(12)), true},
        {*keys, Variant(qint64(1)), false},
        {*keys, Variant(QString()), false},
        {*names, Variant(u"LEEDS"_s), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.keys.contains(c.value), c.found)
            << c.value.text(Locale::unitedKingdom()).toStdString();
    }
    // A store whose file cannot be read answers Find and Count with its error:
    // taken for "no such item", it would let the add-in add the patient again.
    for (int i = 0; i < 40; ++i) {
        savedPatient(QString::number(i), QString(200, QChar(u'a' + i % 26)));
    }
    ASSERT_GT(orlo::test::garbleAfterFirstPage(m_path).size(), 8192);

    const auto find = patients->Items()->Find(u"[PatientID] = 12"_s);
    ASSERT_FALSE(find.ok());
    EXPECT_EQ(find.error().number, orlo::err::kProviderFailure);
    EXPECT_TRUE(find.error().description.startsWith(u"The item store file \""_s + m_path +
                                                    u"\" is damaged"_s))
        << find.error().description.toStdString();
    EXPECT_EQ(orlo::test::failure(patients->Items()->Count()), orlo::err::kProviderFailure);
}

// Items.Find on every key field the add-in searches, Add with the folder's
// default form or a named class, and walking a folder with SetColumns.
TEST_F(ItemTest, AddMakesTheDefaultOrNamedClassAndKeysFindByTheirField) {
    auto contact = newItem(patients);
    EXPECT_EQ(contact->MessageClass(), u"IPM.Contact.Patient"_s);
    EXPECT_EQ(*patients->Items()->Count(), 0);  // not stored until saved
    auto appointment = newItem(scheduler);
    EXPECT_EQ(appointment->MessageClass(), u"IPM.Appointment.Scheduler"_s);
    EXPECT_TRUE(appointment->hasProperty(u"RecallDBFormatted"_s));

    auto top = ns->Folders()->Item(qs(kTop));
    auto plain = (*top)->Folders()->Add(u"Contacts"_s, FolderKind::Contacts);
    ASSERT_TRUE(plain.ok());
    auto standard = (*plain)->Items()->Add();
    ASSERT_TRUE(standard.ok());
    EXPECT_EQ((*standard)->MessageClass(), u"IPM.Contact"_s);
    EXPECT_FALSE((*standard)->hasProperty(u"PatientID"_s));
    // A standard contact has no custom pages at all.
    EXPECT_EQ((*standard)->GetInspector()->ModifiedFormPages(u"General"_s).error().number,
              err::kUnknownFormControl);
    auto patient = (*plain)->Items()->Add(u"IPM.Contact.Patient"_s);
    ASSERT_TRUE(patient.ok());
    EXPECT_TRUE((*patient)->hasProperty(u"PatientID"_s));
    ASSERT_TRUE((*patient)->Save().ok());
    EXPECT_EQ(*(*plain)->Items()->Count(), 1);
    // Which keys are equal is the store's find key's (tested with it); here the
    // fields and the filter's forms.
    savedPatient(QString());  // a new item without a key is never found
    const std::shared_ptr<Item> p[] = {savedPatient(u"12"_s), savedPatient(u"120"_s, u"Leeds"_s)};
    const std::shared_ptr<Item> a[] = {savedAppointment(u"5001"_s), savedAppointment(u"5002"_s)};
    for (const auto& [name, minute] : {std::pair{u"Start"_s, 0}, std::pair{u"End"_s, 30}}) {
        const QDateTime at = naiveDateTime(QDate(2026, 5, 2), QTime(14, minute));
        ASSERT_TRUE(a[1]->setUserProperty(name, Variant(at)).ok());
    }
    ASSERT_TRUE(a[1]->Save().ok());
    const struct {
        bool patient;
        const char* filter;
        int found;  // index in p or a; -1 for none
    } cases[] = {
        {true, "[PatientID] = 12", 0},
        {true, "[Last Name] = \"leeds\"", 1},
        {true, "[PatientID] = 120", 1},
        {true, "[Customer ID] = 120", 1},
        {true, "[Customer ID] = '12'", 0},
        // Misses: a prefix, another number, an empty key.
        {true, "[PatientID] = 1", -1},
        {true, "[Customer ID] = 13", -1},
        {true, "[PatientID] = ", -1},
        {true, "[PatientID] = ''", -1},
        {false, "[ScheduleID] = 5002", 1},
        {false, "[Mileage] = 5001", 0},
        {false, "[Mileage] = 500", -1},
        // Both were saved at the pinned time; the first in folder order wins.
        {false, "[Created] = '15/03/2026 09:30:00'", 0},
        {false, "[Modified] = '2026-03-15 09:30:00'", 0},
        {false, "[Start] = '02/05/2026 14:00:00'", 1},
        {false, "[End] = '02/05/2026 14:30:00'", 1},
        {false, "[Start] = '02/05/2026 14:30:00'", -1},
    };
    for (const auto& c : cases) {
        auto found = (c.patient ? patients : scheduler)->Items()->Find(QString::fromUtf8(c.filter));
        ASSERT_TRUE(found.ok()) << c.filter;
        EXPECT_EQ(*found, c.found < 0 ? nullptr : (c.patient ? p : a)[c.found]) << c.filter;
    }
    // Malformed filters are errors, not misses.
    for (const char16_t* bad :
         {u"PatientID = 12", u"[PatientID] 12", u"[PatientID = 12", u"[] = 12",
          u"[PatientID] = abc", u"[PatientID] = 'open", u"[PatientID] = 'a'b'", u""}) {
        EXPECT_EQ(orlo::test::failure(patients->Items()->Find(qs(bad))), err::kCannotParseCondition)
            << qs(bad).toStdString();
    }
}

TEST_F(ItemTest, SetColumnsWalksInFolderOrderAndItemByIndexFollowsTheFolder) {
    std::vector<std::shared_ptr<Item>> made;
    for (const char16_t* id : {u"30", u"10", u"20"}) {
        made.push_back(savedAppointment(qs(id)));
    }
    auto empty = newItem(scheduler);
    ASSERT_TRUE(empty->Save().ok());
    auto held = made[1];
    made.clear();

    auto items = scheduler->Items();
    items->SetColumns(u"Mileage"_s);
    QStringList seen;
    std::shared_ptr<Item> heldSeen;
    for (const std::shared_ptr<Item>& item : *items) {
        ASSERT_NE(item, nullptr);
        seen << text(item, u"Mileage"_s);
        if (item == held) {
            heldSeen = item;
        }
    }
    EXPECT_EQ(seen, (QStringList{u"30"_s, u"10"_s, u"20"_s, QString()}));
    EXPECT_EQ(heldSeen, held);

    // An item met through the columns loads the rest when asked, and saves whole.
    auto first = items->GetFirst();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(text(first, u"ScheduleID"_s), u"30"_s);
    ASSERT_TRUE(first->setUserProperty(u"REASON"_s, Variant(u"Review")).ok());
    ASSERT_TRUE(first->Save().ok());
    EXPECT_EQ(*scheduler->Items()->Find(u"[REASON] = 'Review'"_s), first);
    EXPECT_EQ(items->GetNext(), held);

    // Item by index and Count follow the folder as items come and go.
    auto a = savedPatient(u"1"_s);
    auto list = patients->Items();
    EXPECT_EQ(*list->Item(1), a);
    auto b = savedPatient(u"2"_s);
    EXPECT_EQ(*list->Count(), 2);
    EXPECT_EQ(*list->Item(2), b);
    EXPECT_FALSE(list->Item(3).ok());
    EXPECT_FALSE(list->Item(0).ok());
    ASSERT_TRUE(a->Delete().ok());
    EXPECT_EQ(*list->Item(1), b);
    EXPECT_FALSE(list->Item(2).ok());
}

// Inspectors and explorers: the order of window events, counts while a
// window closes, folder switches, and the command bars the add-in builds on.

TEST_F(ItemTest, DisplayRaisesNewInspectorThenOpenAndAnOpenThatDeletesClosesTheWindow) {
    // An Open handler that deletes the item closes its window.
    auto orphan = savedPatient(u"66"_s);
    int inspectorClosed = 0;
    Subscription s =
        orphan->events.Open.connect([&](bool&) { EXPECT_TRUE(orphan->Delete().ok()); });
    Subscription closed = orphan->GetInspector()->events.Close.connect([&] { ++inspectorClosed; });
    ASSERT_TRUE(orphan->Display().ok());
    EXPECT_EQ(app->Inspectors()->Count(), 0);
    EXPECT_EQ(inspectorClosed, 1);
    EXPECT_EQ(*patients->Items()->Find(u"[PatientID] = 66"_s), nullptr);
    s.disconnect();
    auto contact = savedPatient(u"1"_s);
    std::vector<QString> log;
    // The add-in's pattern: bind the shown item in NewInspector, hear its Open.
    EventField<ContactItem> objContactItem{[&](ContactItem& c) {
        std::vector<Subscription> subs;
        subs.push_back(c.events.Open.connect([&](bool&) { log.push_back(u"Open"_s); }));
        return subs;
    }};
    Subscription n = app->Inspectors()->events.NewInspector.connect(
        [&](const std::shared_ptr<Inspector>& inspector) {
            log.push_back(u"NewInspector"_s);
            EXPECT_EQ(app->Inspectors()->Count(), 1);
            if (inspector->CurrentItem()->Class() == kContactItem) {
                objContactItem = inspector->CurrentItem();
            }
        });
    // Asking for the window alone opens nothing.
    auto inspector = contact->GetInspector();
    EXPECT_EQ(inspector, contact->GetInspector());
    EXPECT_FALSE(inspector->isDisplayed());
    EXPECT_EQ(app->ActiveInspector(), nullptr);
    ASSERT_TRUE(contact->Display().ok());
    ASSERT_TRUE(contact->Display().ok());  // already open: activated, no events
    EXPECT_EQ(log, (std::vector<QString>{u"NewInspector"_s, u"Open"_s}));
    EXPECT_EQ(app->ActiveInspector(), inspector);
    EXPECT_EQ(app->ActiveInspector()->CurrentItem(), contact);
}

TEST_F(ItemTest, CloseRaisesItemThenInspectorCloseAndMenuBarChangeFollowsWhatMenusShow) {
    auto a = savedPatient(u"1"_s);
    auto b = savedPatient(u"2"_s);
    ASSERT_TRUE(a->Display().ok());
    ASSERT_TRUE(b->Display().ok());
    auto inspector = b->GetInspector();
    std::vector<QString> log;
    Subscription s1 = b->events.Close.connect([&](bool&) { log.push_back(u"item"_s); });
    Subscription s2 = inspector->events.Close.connect(
        [&] { log.push_back(u"inspector %1"_s.arg(app->Inspectors()->Count())); });
    ASSERT_TRUE(inspector->Close(SaveMode::Discard).ok());
    EXPECT_EQ(log, (std::vector<QString>{u"item"_s, u"inspector 2"_s}));
    EXPECT_EQ(app->Inspectors()->Count(), 1);
    EXPECT_EQ(app->ActiveInspector(), a->GetInspector());
    EXPECT_FALSE(inspector->isDisplayed());
    // The menu bar raises Change for what its menus show at any depth.
    const auto bar = *explorer->CommandBars()->Item(qs(CommandBars::kMenuBar));
    int changes = 0;
    Subscription s = bar->events().Change.connect([&] { ++changes; });
    std::shared_ptr<CommandBarControl> orlo;
    std::shared_ptr<CommandBarControl> about;
    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"popup added", [&] { orlo = *bar->Controls()->Add(ControlType::Popup, 6, true); }},
        {"caption", [&] { orlo->setCaption(u"&Orlo"_s); }},
        {"button added in the popup",
         [&] { about = *orlo->Controls()->Add(ControlType::Button, 1, true); }},
        {"button disabled", [&] { about->setEnabled(false); }},
        {"button hidden", [&] { about->setVisible(false); }},
        {"button deleted", [&] { ASSERT_TRUE(about->Delete().ok()); }},
        {"popup deleted", [&] { ASSERT_TRUE(orlo->Delete().ok()); }},
    };
    for (const auto& [what, step] : steps) {
        changes = 0;
        step();
        EXPECT_EQ(changes, 1) << what;
    }
    // Nothing the menus show changed: no event.
    const auto file = *bar->Controls()->Item(u"&File"_s);
    changes = 0;
    file->setCaption(u"&File"_s);
    file->setVisible(true);
    file->setTag(u"FileMenu"_s);
    // A button added to a popup no longer on the bar changes nothing shown.
    EXPECT_TRUE(orlo->Controls()->Add(ControlType::Button).ok());
    EXPECT_EQ(changes, 0);

    // The add-in's whole tree, in its order, is read back in the add-in's
    // menu test; here what it may ask amiss.
    orlo = *bar->Controls()->Add(ControlType::Popup, 6, true);
    auto settings = *orlo->Controls()->Add(ControlType::Button, 1, true);
    settings->setTag(u"SettingsOrlov3"_s);
    EXPECT_EQ(explorer->CommandBars()->FindControl(u"SettingsOrlov3"_s), settings);
    EXPECT_EQ(explorer->CommandBars()->FindControl(QString()), nullptr);
    EXPECT_FALSE(explorer->CommandBars()->Item(u"Web"_s).ok());
    // Before must name a place on the bar: 1 to one past its last control.
    EXPECT_FALSE(bar->Controls()->Add(ControlType::Button, 9).ok());
    EXPECT_FALSE(bar->Controls()->Add(ControlType::Button, 0).ok());
}

TEST_F(ItemTest, CloseWithSaveStoresDiscardDropsAndExecuteRaisesClick) {
    auto a = savedPatient(u"1"_s, u"Kept"_s);
    ASSERT_TRUE(a->Display().ok());
    ASSERT_TRUE(a->setUserProperty(u"Last Name"_s, Variant(u"Saved")).ok());
    ASSERT_TRUE(a->Close(SaveMode::Save).ok());
    ASSERT_TRUE(a->Display().ok());
    ASSERT_TRUE(a->setUserProperty(u"Last Name"_s, Variant(u"Dropped")).ok());
    ASSERT_TRUE(a->Close(SaveMode::Discard).ok());
    EXPECT_EQ(text(a, u"Last Name"_s), u"Saved"_s);
    EXPECT_EQ(app->Inspectors()->Count(), 0);
    // Execute raises Click and honours CancelDefault.
    auto tools = explorer->CommandBars()->Item(qs(CommandBars::kTools));
    ASSERT_TRUE(tools.ok());
    auto customize = (*tools)->Controls()->Item(qs(CommandBars::kCustomize));
    ASSERT_TRUE(customize.ok());
    // "Tools" is the "&Tools" menu's own bar.
    auto menu = explorer->CommandBars()->Item(qs(CommandBars::kMenuBar));
    EXPECT_EQ((*(*menu)->Controls()->Item(u"Tools"_s))->CommandBar(), *tools);

    int defaults = 0;
    (*customize)->setDefaultAction([&] { ++defaults; });
    std::shared_ptr<CommandBarControl> clicked;
    bool cancelNext = false;
    Subscription s = (*customize)
                         ->events.Click.connect(
                             [&](const std::shared_ptr<CommandBarControl>& c, bool& cancelDefault) {
                                 clicked = c;
                                 cancelDefault = cancelNext;
                             });
    ASSERT_TRUE((*customize)->Execute().ok());
    EXPECT_EQ(clicked, *customize);
    EXPECT_EQ(defaults, 1);
    cancelNext = true;
    ASSERT_TRUE((*customize)->Execute().ok());
    EXPECT_EQ(defaults, 1);
    (*customize)->setEnabled(false);
    EXPECT_FALSE((*customize)->Execute().ok());
}

TEST_F(ItemTest, FolderSwitchExplorerCloseAndAClosedDesksItemsAndProfile) {
    std::vector<QString> log;
    bool cancelNext = true;
    Subscription a = explorer->events.BeforeFolderSwitch.connect(
        [&](const std::shared_ptr<MAPIFolder>& to, bool& cancel) {
            log.push_back(u"before "_s + to->Name());
            EXPECT_FALSE(cancel);
            EXPECT_EQ(to->Views()->Count(), 1);
            EXPECT_EQ(explorer->CurrentFolder(), patients);
            cancel = cancelNext;
        });
    Subscription b = explorer->events.FolderSwitch.connect(
        [&] { log.push_back(u"switch "_s + explorer->CurrentFolder()->Name()); });
    EXPECT_EQ(explorer->SelectFolder(scheduler).error().number, err::kOperationCancelled);
    EXPECT_EQ(explorer->CurrentFolder(), patients);
    cancelNext = false;
    ASSERT_TRUE(explorer->SelectFolder(scheduler).ok());
    EXPECT_EQ(log, (std::vector<QString>{u"before Scheduler"_s, u"before Scheduler"_s,
                                         u"switch Scheduler"_s}));
    // The folder met by name is the very object the explorer shows.
    EXPECT_EQ(app->ActiveExplorer()->CurrentFolder(), folder(u"Scheduler"_s));

    // Close is raised while still counted; then the desk has no active explorer.
    int countInClose = -1;
    Subscription c =
        explorer->events.Close.connect([&] { countInClose = app->Explorers()->Count(); });
    explorer->Close();
    explorer->Close();
    EXPECT_EQ(countInClose, 1);
    EXPECT_EQ(app->Explorers()->Count(), 0);
    EXPECT_EQ(app->ActiveExplorer(), nullptr);
    // A closed desk's items open no window; the saved profile reopens.
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

// Stores in the profile: adding, finding their top folders, removing them,
// and the profile list the shell keeps.

TEST_F(ItemTest, AddStoreOpensOnceAndRemoveStoreClosesItAndItsObjectsFail) {
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

// The custom forms: their pages and controls as the field maps give them,
// bindings in both directions, and what they keep consistent on a save.

class FormTest : public HostFixture {
protected:
    std::shared_ptr<FormControl> control(const std::shared_ptr<Item>& item, const char16_t* page,
                                         const QString& name) {
        auto c = item->GetInspector()->formControl(qs(page), name);
        EXPECT_TRUE(c.ok()) << name.toStdString();
        return c.ok() ? *c : nullptr;
    }
};

TEST_F(FormTest, PatientPageControlsAreBoundToTheirValuesBothWays) {
    auto item = newItem(patients);
    auto page = item->GetInspector()->ModifiedFormPages(qs(records::kPatientPage));
    ASSERT_TRUE(page.ok());
    EXPECT_EQ((*page)->controls().size(), 29u);
    // "Patient ID" shows the built-in "Customer ID"; the rest their property.
    for (const auto& [control, property] :
         std::vector<std::pair<const char*, const char*>>{{"Patient ID", "Customer ID"},
                                                          {"LastNameTextBox", "Last Name"},
                                                          {"DateOfBirth", "DOB"},
                                                          {"CityBox", "City1"},
                                                          {"Phone2", "HomeTel"},
                                                          {"GeneralNotes", "Gnote"}}) {
        auto c = (*page)->Controls(QString::fromLatin1(control));
        ASSERT_TRUE(c.ok()) << control;
        ASSERT_TRUE((*c)->setValue(Variant(QString::fromLatin1(control))).ok());
        EXPECT_EQ(text(item, QString::fromLatin1(property)), QString::fromLatin1(control));
        ASSERT_TRUE(item->setUserProperty(QString::fromLatin1(property), Variant(u"x")).ok());
        EXPECT_EQ((*c)->Value()->text(Locale::unitedKingdom()), u"x"_s) << control;
    }
    // Missing pages and controls fail with the form error.
    EXPECT_EQ(orlo::test::failure(
                  item->GetInspector()->formControl(qs(records::kPatientPage), u"Nope"_s)),
              err::kUnknownFormControl);
    EXPECT_EQ(
        orlo::test::failure(item->GetInspector()->ModifiedFormPages(qs(records::kChargesPage))),
        err::kUnknownFormControl);
}

TEST_F(FormTest, ItemWindowsAreTitledByTheirFormsRuleAndASaveKeepsCustomerIdEqual) {
    struct Case {
        std::shared_ptr<MAPIFolder> folder;
        QString messageClass;
        std::vector<std::pair<const char*, const char*>> values;
        const char* title;
    };
    const std::vector<Case> cases = {
        {patients,
         {},
         {{"Last Name", " Okafor "}, {"First Name", "Grace"}},
         "Okafor, Grace - Patient"},
        {patients, {}, {{"First Name", "Grace"}}, "Grace - Patient"},
        {patients, {}, {}, "Untitled - Patient"},
        {scheduler, {}, {{"LNAME", "Bell"}, {"FNAME", "Ann"}}, "Bell, Ann - Appointment"},
        {patients, u"IPM.Contact"_s, {}, "Untitled - Item"},
    };
    for (const Case& c : cases) {
        const auto item = *c.folder->Items()->Add(c.messageClass);
        for (const auto& [name, value] : c.values) {
            ASSERT_TRUE(
                item->setBoundValue(QString::fromLatin1(name), Variant(QString::fromLatin1(value)))
                    .ok());
        }
        EXPECT_EQ(item->GetInspector()->Caption(), QString::fromLatin1(c.title));
    }
    // A patient save keeps "Customer ID" equal to PatientID.
    auto item = newItem(patients);
    ASSERT_TRUE(item->setUserProperty(u"PatientID"_s, Variant(u"314")).ok());
    EXPECT_EQ(text(item, u"Customer ID"_s), QString());  // only on save
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(text(item, u"Customer ID"_s), u"314"_s);
    // A stale control value is put right by the next save.
    ASSERT_TRUE(control(item, records::kPatientPage, qs(records::kPatientIdControl))
                    ->setValue(Variant(u"999"))
                    .ok());
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(text(item, u"Customer ID"_s), u"314"_s);
    EXPECT_EQ(*patients->Items()->Find(u"[Customer ID] = 999"_s), nullptr);
}

TEST_F(FormTest, WritesRaiseCustomPropertyChangeAndTheRecallMaskFollowsTheDate) {
    auto item = newItem(scheduler);
    std::vector<QString> custom;
    std::vector<QString> builtIn;
    Subscription a = item->events.CustomPropertyChange.connect(
        [&](const QString& name) { custom.push_back(name); });
    Subscription b =
        item->events.PropertyChange.connect([&](const QString& name) { builtIn.push_back(name); });
    ASSERT_TRUE(
        control(item, records::kChargesPage, u"Balance1"_s)->setValue(Variant(u"12.50")).ok());
    ASSERT_TRUE(
        control(item, records::kSchedulerPage, u"REASON"_s)->setValue(Variant(u"Pain")).ok());
    ASSERT_TRUE((*item->UserProperties()->Item(u"Status1"_s))->setValue(Variant(u"BOOKED")).ok());
    ASSERT_TRUE(item->setUserProperty(u"Start"_s, Variant(clock.now())).ok());
    EXPECT_EQ(custom, (std::vector<QString>{u"Balance1"_s, u"REASON"_s, u"Status1"_s}));
    EXPECT_EQ(builtIn, (std::vector<QString>{u"Start"_s}));
    EXPECT_EQ(text(item, u"Balance1"_s), u"12.50"_s);

    // The recall mask follows the recall date; a save fills a blank one
    // before Write but keeps one written after the date (a database refresh).
    const QString due = qs(records::kRecallDueProperty);
    const QString mask = qs(records::kRecallDueMaskProperty);
    const std::pair<Variant, const char*> cases[] = {
        {Variant(u"15/03/2027"_s), "15/03/2027"},
        {Variant(naiveDateTime(QDate(2027, 9, 1))), "01/09/2027"},
        {Variant(QString()), "None"},
        {Variant(u"01/02/2027"_s), "01/02/2027"},
    };
    for (const auto& [value, shown] : cases) {
        ASSERT_TRUE(item->setUserProperty(due, value).ok());
        EXPECT_EQ(text(item, mask), QString::fromLatin1(shown));
    }
    ASSERT_TRUE(item->setUserProperty(mask, Variant(QString())).ok());
    QString seenInWrite;
    Subscription s = item->events.Write.connect([&](bool&) { seenInWrite = text(item, mask); });
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(seenInWrite, u"01/02/2027"_s);
    ASSERT_TRUE(item->setUserProperty(mask, Variant(u"05/06/2027"_s)).ok());
    ASSERT_TRUE(item->Save().ok());
    EXPECT_EQ(text(item, mask), u"05/06/2027"_s);
}

}  // namespace
}  // namespace orlo::host::test

// Events, subscriptions and event-bound fields: who hears what, and when
// handlers stop hearing.

namespace orlo::host {
namespace {

struct Source {
    Event<const QString&> changed;
    Event<bool&> write;
};

TEST(EventTest, HandlersRunInConnectOrderUntilTheirSubscriptionEndsMovedOrOutlived) {
    Event<int> e;
    std::vector<QString> log;
    Subscription a = e.connect([&](int n) { log.push_back(u"a%1"_s.arg(n)); });
    {
        Subscription b = e.connect([&](int n) { log.push_back(u"b%1"_s.arg(n)); });
        e.raise(1);
    }
    e.raise(2);
    a.disconnect();
    e.raise(3);
    EXPECT_EQ(log, (std::vector<QString>{u"a1"_s, u"b1"_s, u"a2"_s}));
    EXPECT_EQ(e.handlerCount(), 0);

    // A handler disconnected by an earlier one during a raise is not called.
    Event<> plain;
    int second = 0;
    Subscription d;
    Subscription c = plain.connect([&] { d.disconnect(); });
    d = plain.connect([&] { ++second; });
    plain.raise();
    EXPECT_EQ(second, 0);
    // Moved subscriptions stay connected; outliving the event is harmless.
    Event<bool&> cancelling;
    Subscription s = cancelling.connect([](bool& cancel) { cancel = true; });
    Subscription moved = std::move(s);
    bool cancel = false;
    cancelling.raise(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_FALSE(s.connected());  // NOLINT: moved-from is disconnected by contract
    EXPECT_TRUE(moved.connected());

    Subscription outlives;
    {
        Event<> gone;
        outlives = gone.connect([] {});
    }
    EXPECT_FALSE(outlives.connected());
    outlives.disconnect();
}

TEST(EventFieldTest, OnlyTheLastAssignedObjectRaisesAndAReleasedFieldNothing) {
    std::vector<std::pair<Source*, QString>> heard;
    EventField<Source> field{[&](Source& s) {
        std::vector<Subscription> subs;
        subs.push_back(s.changed.connect([&heard, &s](const QString& name) {
            heard.push_back({&s, name});
        }));
        return subs;
    }};
    auto first = std::make_shared<Source>();
    auto second = std::make_shared<Source>();
    field = first;
    field = first;  // the same object again: heard once, not twice
    first->changed.raise(u"one"_s);
    field = second;
    first->changed.raise(u"stale"_s);
    second->changed.raise(u"two"_s);
    EXPECT_EQ(heard, (std::vector<std::pair<Source*, QString>>{{first.get(), u"one"_s},
                                                               {second.get(), u"two"_s}}));
    EXPECT_EQ(field.get(), second);
    field = nullptr;
    EXPECT_FALSE(field);
    second->changed.raise(u"after release"_s);
    EXPECT_EQ(heard.size(), 2u);
    EXPECT_EQ(second->changed.handlerCount(), 0);

    // A field destroyed before its object disconnects.
    {
        EventField<Source> local{[](Source& s) {
            std::vector<Subscription> subs;
            subs.push_back(s.write.connect([](bool& c) { c = true; }));
            return subs;
        }};
        local = first;
        EXPECT_EQ(first->write.handlerCount(), 1);
    }
    bool cancel = false;
    first->write.raise(cancel);
    EXPECT_FALSE(cancel);
}

}  // namespace
}  // namespace orlo::host
