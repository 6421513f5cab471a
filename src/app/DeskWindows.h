#pragma once
// DeskWindows: the desk's windows over one session: the main window, an
// item window for every inspector the model displays (whoever displayed
// it: the user, the add-in, the automation channel), and the end of the
// desk: when the main window has closed and the last item window with it,
// the add-ins are shut down and `onFinished` runs.

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "app/InspectorWindow.h"
#include "app/MainWindow.h"
#include "app/WindowControl.h"
#include "host/events/Subscription.h"

namespace orlo::host {
class Inspector;
class Item;
}  // namespace orlo::host

namespace orlo::desk {

class DeskSession;

class DeskWindows final : public WindowControl {
public:
    DeskWindows(DeskSession& session, std::function<void()> onFinished);
    ~DeskWindows() override;

    // Opens the main window and puts the desk's own commands on its menus.
    void showMainWindow();
    MainWindow* mainWindow() const { return m_main; }
    InspectorWindow* windowOf(const host::Item& item) const;
    void showAddinsDialog();

    void closeMainWindow() override;
    void quit() override;
    Status screenshot(const std::shared_ptr<host::Item>& item, const QString& file,
                      const QString& page = {}) override;
    // Reads again what the windows show (View > Refresh).
    void refresh();
    bool mainWindowOpen() const override { return m_main && !m_mainClosed; }
    std::vector<OtherWindow> otherWindows() const override;
    Status screenshotWindow(const QString& window, const QString& file) override;
    Status closeWindow(const QString& window) override;
    Result<QJsonObject> driveWindow(const QString& window, const QString& command,
                                    const QJsonObject& arguments) override;
    Result<QJsonObject> calendar(const QJsonObject& arguments) override;

private:
    void inspectorOpened(const std::shared_ptr<host::Inspector>& inspector);
    void mainClosed();
    void checkFinished();
    // A visible top-level window that is neither the main nor an item
    // window; by title or object name.
    bool isOtherWindow(const QWidget* w) const;
    QWidget* otherWindow(const QString& window) const;

    DeskSession& m_session;
    std::function<void()> m_onFinished;
    // Context of queued calls: they die with this object.
    QObject m_context;
    QPointer<MainWindow> m_main;
    std::vector<QPointer<InspectorWindow>> m_inspectors;
    host::Subscription m_newInspector;
    bool m_mainClosed = false;
    bool m_finished = false;
};

}  // namespace orlo::desk
