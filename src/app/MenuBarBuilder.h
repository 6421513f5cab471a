#pragma once
// MenuBarBuilder: a window's Qt menu bar made from its host command bar
// ("Menu Bar"): one menu per popup, one action per button, in the bar's
// order, so a popup that an add-in added with Before = 6 stands before
// "&Help". A menu fills itself from its popup each time it opens, so what an
// add-in adds or removes later shows up; a triggered action runs the
// control's Execute, which raises its Click. Hidden controls are left out,
// disabled ones greyed.

#include <QString>
#include <memory>

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
    // A text that changes when the bar's top-level controls change.
    static QString signature(const host::CommandBar& bar);

    // Fills a menu with the controls of a popup.
    static void fill(QMenu& menu, const std::shared_ptr<host::CommandBarControls>& controls);
};

}  // namespace orlo::desk
