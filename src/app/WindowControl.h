#pragma once
// WindowControl: what the automation channel asks of the desk's windows,
// which it cannot do through the object model: close the main window,
// leave the desk, take a picture of a window. (The widgets follow the
// object model's events by themselves.)

#include <QString>
#include <memory>

#include "platform/core/Result.h"

namespace orlo::host {
class Item;
}

namespace orlo::desk {

class WindowControl {
public:
    virtual ~WindowControl() = default;
    // As if the user closed the main window.
    virtual void closeMainWindow() = 0;
    // Closes every window (item windows without saving) and ends the
    // process once the reply is out, even if a handler kept a window open.
    virtual void quit() = 0;
    // Saves a PNG of the main window (item null) or of the item's window.
    virtual Status screenshot(const std::shared_ptr<host::Item>& item, const QString& file) = 0;
    virtual bool mainWindowOpen() const = 0;
};

}  // namespace orlo::desk
