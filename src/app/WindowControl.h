#pragma once
// WindowControl: what the automation channel asks of the desk's windows,
// which it cannot do through the object model: close the main window,
// leave the desk, take a picture of a window. (The widgets follow the
// object model's events by themselves.)

#include <QJsonObject>
#include <QString>
#include <memory>
#include <vector>

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
    // Saves a PNG of the main window (item null) or of the item's window,
    // showing the form page of that name first when one is given.
    virtual Status screenshot(const std::shared_ptr<host::Item>& item, const QString& file,
                              const QString& page = {}) = 0;
    virtual bool mainWindowOpen() const = 0;

    // The other windows on screen: what the add-ins show (a report's modal
    // preview, the about window), top-level and visible.
    struct OtherWindow {
        QString title;
        QString name;  // the window's object name ("DataReport11")
        bool modal = false;
        // A window that shows progress (a bar, and a label saying what is
        // being done): the bar's value, -1 for other windows.
        int progress = -1;
        QString status;
    };
    virtual std::vector<OtherWindow> otherWindows() const = 0;
    // A picture of one of them, or closing it as its close button does; the
    // window is named by its title or its object name.
    virtual Status screenshotWindow(const QString& window, const QString& file) = 0;
    virtual Status closeWindow(const QString& window) = 0;
    // A command on one of its named controls (WindowDriver.h).
    virtual Result<QJsonObject> driveWindow(const QString& window, const QString& command,
                                            const QJsonObject& arguments) = 0;
    // The main window's calendar of the Scheduler (CalendarCommand.h).
    virtual Result<QJsonObject> calendar(const QJsonObject& arguments) = 0;
};

}  // namespace orlo::desk
