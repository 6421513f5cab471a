// The Qt menu bar made from a host command bar: order, Before, popups that
// change after the bar was built, and clicks reaching the control's Click.

#include <QMenu>
#include <QMenuBar>

#include "TestSupport.h"
#include "app/MenuBarBuilder.h"
#include "host/commandbars/CommandBars.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::desk;
using host::ControlType;

namespace {

QStringList titles(const QList<QAction*>& actions) {
    QStringList out;
    for (const QAction* a : actions) {
        out << a->text();
    }
    return out;
}

}  // namespace

TEST(MenuBarBuilder, AnAddinPopupBeforeTheSixthControlStandsBeforeHelp) {
    const auto bars = host::CommandBars::forExplorer();
    const auto menuBar = *bars->Item(u"Menu Bar"_s);
    // What the add-in does at start-up: a temporary popup before control 6.
    const auto orlo = *menuBar->Controls()->Add(ControlType::Popup, 6, true);
    orlo->setCaption(u"&Orlo"_s);
    const auto settings = *orlo->Controls()->Add(ControlType::Button, 1, true);
    settings->setCaption(u"&Settings..."_s);
    const auto about = *orlo->Controls()->Add(ControlType::Button, 1, true);
    about->setCaption(u"&About Orlo"_s);
    const auto reports = *orlo->Controls()->Add(ControlType::Popup, 1, true);
    reports->setCaption(u"Repor&ts..."_s);
    const auto hidden = *orlo->Controls()->Add(ControlType::Button, std::nullopt, true);
    hidden->setCaption(u"Hidden"_s);
    hidden->setVisible(false);
    settings->setEnabled(false);

    QMenuBar bar;
    MenuBarBuilder::build(bar, menuBar);
    EXPECT_EQ(titles(bar.actions()), (QStringList{u"&File"_s, u"&Edit"_s, u"&View"_s, u"&Go"_s,
                                                  u"&Tools"_s, u"&Orlo"_s, u"&Help"_s}));
    QMenu* orloMenu = bar.actions().at(5)->menu();
    ASSERT_NE(orloMenu, nullptr);
    // Each entry was inserted at the top, so they read in reverse; hidden ones are left out.
    EXPECT_EQ(titles(orloMenu->actions()),
              (QStringList{u"Repor&ts..."_s, u"&About Orlo"_s, u"&Settings..."_s}));
    EXPECT_NE(orloMenu->actions().at(0)->menu(), nullptr);
    EXPECT_FALSE(orloMenu->actions().at(2)->isEnabled());

    // A click raises the control's Click with the control itself.
    int clicks = 0;
    auto sub =
        about->events.Click.connect([&](const std::shared_ptr<host::CommandBarControl>& c, bool&) {
            EXPECT_EQ(c, about);
            ++clicks;
        });
    orloMenu->actions().at(1)->trigger();
    EXPECT_EQ(clicks, 1);

    // Added after the bar was built: there as soon as the menu opens.
    const auto finder = *orlo->Controls()->Add(ControlType::Button, 3, true);
    finder->setCaption(u"&Patient Finder..."_s);
    Q_EMIT orloMenu->aboutToShow();
    EXPECT_EQ(titles(orloMenu->actions()),
              (QStringList{u"Repor&ts..."_s, u"&About Orlo"_s, u"&Patient Finder..."_s,
                           u"&Settings..."_s}));

    ASSERT_TRUE(orlo->Delete().ok());
    MenuBarBuilder::build(bar, menuBar);
    EXPECT_EQ(bar.actions().size(), 6);
}
