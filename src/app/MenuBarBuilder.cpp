#include "app/MenuBarBuilder.h"

#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QPointer>

#include "host/commandbars/CommandBar.h"
#include "host/commandbars/CommandBarControls.h"
#include "platform/core/ErrorTrap.h"

namespace orlo::desk {

namespace {

using host::CommandBarControl;
using host::ControlType;

QMenu* popupMenu(const std::shared_ptr<CommandBarControl>& control, QWidget* parent) {
    auto* menu = new QMenu(control->Caption(), parent);
    menu->setEnabled(control->Enabled());
    const std::weak_ptr<CommandBarControl> weak = control;
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, weak] {
        if (const auto c = weak.lock()) {
            MenuBarBuilder::fill(*menu, c->Controls());
        }
    });
    // Filled now too, so that the menu can be walked before it is opened.
    MenuBarBuilder::fill(*menu, control->Controls());
    return menu;
}

}  // namespace

void MenuBarBuilder::fill(QMenu& menu, const std::shared_ptr<host::CommandBarControls>& controls) {
    menu.clear();
    for (QMenu* old : menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
        old->deleteLater();
    }
    if (!controls) {
        return;
    }
    for (const auto& control : *controls) {
        if (!control->Visible()) {
            continue;
        }
        if (control->Type() == ControlType::Popup) {
            menu.addMenu(popupMenu(control, &menu));
            continue;
        }
        QAction* action = menu.addAction(control->Caption());
        action->setEnabled(control->Enabled());
        action->setToolTip(control->Tag());
        const std::weak_ptr<CommandBarControl> weak = control;
        QObject::connect(action, &QAction::triggered, action, [weak] {
            if (const auto c = weak.lock()) {
                ignoreError(c->Execute(), "the click's handler reports its own failures");
            }
        });
    }
}

void MenuBarBuilder::build(QMenuBar& menuBar, const std::shared_ptr<host::CommandBar>& bar) {
    menuBar.clear();
    for (QMenu* old : menuBar.findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
        old->deleteLater();
    }
    if (!bar) {
        return;
    }
    for (const auto& control : *bar->Controls()) {
        if (!control->Visible()) {
            continue;
        }
        if (control->Type() == ControlType::Popup) {
            menuBar.addMenu(popupMenu(control, &menuBar));
        } else {
            QAction* action = menuBar.addAction(control->Caption());
            action->setEnabled(control->Enabled());
            const std::weak_ptr<CommandBarControl> weak = control;
            QObject::connect(action, &QAction::triggered, action, [weak] {
                if (const auto c = weak.lock()) {
                    ignoreError(c->Execute(), "the click's handler reports its own failures");
                }
            });
        }
    }
}

host::Subscription MenuBarBuilder::follow(QMenuBar& menuBar,
                                          const std::shared_ptr<host::CommandBar>& bar) {
    build(menuBar, bar);
    if (!bar) {
        return {};
    }
    auto posted = std::make_shared<bool>(false);
    return bar->events().Change.connect([target = QPointer<QMenuBar>(&menuBar),
                                         weak = std::weak_ptr<host::CommandBar>(bar), posted] {
        if (*posted || !target) {
            return;
        }
        *posted = true;
        QMetaObject::invokeMethod(
            target.data(),
            [target, weak, posted] {
                *posted = false;
                if (const auto b = weak.lock()) {
                    build(*target, b);
                }
            },
            Qt::QueuedConnection);
    });
}

}  // namespace orlo::desk
