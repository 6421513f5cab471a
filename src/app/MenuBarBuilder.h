#pragma once
// MenuBarBuilder: a window's Qt menu bar made from its host command bar
// ("Menu Bar"): one menu per popup, one action per button, in the bar's
// order, so a popup that an add-in added with Before = 6 stands before
// "&Help". A menu fills itself from its popup each time it opens; a window
// that follows its bar builds the menu bar again after the bar's Change
// (once per turn of the event loop, never inside the click that changed it),
// so what an add-in adds or removes later shows up. A triggered action runs
// the control's Execute, which raises its Click. Hidden controls are left
// out, disabled ones greyed.

#include <QString>
#include <memory>

#include "host/events/Subscription.h"

class QMenu;
class QMenuBar;

namespace orlo::host {
class CommandBar;
class CommandBarControls;
}  // namespace orlo::host

namespace orlo::desk {

class MenuBarBuilder {
public:
    // Replaces the menu bar's menus with those of the bar.
    static void build(QMenuBar& menuBar, const std::shared_ptr<host::CommandBar>& bar);
    // Builds the menu bar now and again after every change of the bar, for
    // as long as the subscription lives.
    [[nodiscard]] static host::Subscription follow(QMenuBar& menuBar,
                                                   const std::shared_ptr<host::CommandBar>& bar);

    // Fills a menu with the controls of a popup.
    static void fill(QMenu& menu, const std::shared_ptr<host::CommandBarControls>& controls);
};

}  // namespace orlo::desk
