// Inspectors and explorers: the order of window events, counts while a
// window closes, folder switches, and the command bars the add-in builds on.

#include "HostFixture.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/ItemClass.h"
#include "host/Views.h"
#include "host/commandbars/CommandBars.h"
#include "host/events/EventField.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::host::test {
namespace {

class WindowTest : public HostFixture {};

TEST_F(WindowTest, DisplayRaisesNewInspectorThenOpenAndAnOpenThatDeletesClosesTheWindow) {
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

TEST_F(WindowTest, CloseRaisesItemCloseThenInspectorCloseWhileStillCounted) {
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
}

TEST_F(WindowTest, CloseWithSaveStoresTheChangesAndDiscardDropsThem) {
    auto a = savedPatient(u"1"_s, u"Kept"_s);
    ASSERT_TRUE(a->Display().ok());
    ASSERT_TRUE(a->setUserProperty(u"Last Name"_s, Variant(u"Saved")).ok());
    ASSERT_TRUE(a->Close(SaveMode::Save).ok());
    ASSERT_TRUE(a->Display().ok());
    ASSERT_TRUE(a->setUserProperty(u"Last Name"_s, Variant(u"Dropped")).ok());
    ASSERT_TRUE(a->Close(SaveMode::Discard).ok());
    EXPECT_EQ(text(a, u"Last Name"_s), u"Saved"_s);
    EXPECT_EQ(app->Inspectors()->Count(), 0);
}

TEST_F(WindowTest, FolderSwitchUnlessCancelledAndExplorerCloseWhileCounted) {
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
}

TEST_F(WindowTest, MenuBarChangeIsRaisedForWhatMenusShowAndFindControlSearchesEveryBar) {
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

TEST_F(WindowTest, ExecuteRaisesClickAndHonoursCancelDefault) {
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

}  // namespace
}  // namespace orlo::host::test
