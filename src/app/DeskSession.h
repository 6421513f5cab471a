#pragma once
// DeskSession: one running desk without its windows: the settings store,
// the clock and regional settings, the object model application with the
// profile's stores open and one explorer, the desk's own menu commands, and
// the add-in host. The windows (or the automation channel) drive it; it
// knows no widget, so start-up and shut-down run headless in tests.
//
// Start-up: open the profile's stores (a new profile starts with the
// personal store under the application folder), open the explorer on the
// first store, then connect the add-ins, which find one explorer as they
// expect. Shut-down: the explorer's Close, then the add-ins' OnBeginShutdown
// and OnDisconnection(0), once.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "app/AddinHost.h"
#include "app/DeskOptions.h"
#include "app/DeskProfile.h"
#include "host/events/Subscription.h"
#include "platform/core/AppFolder.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/registry/RegistryStore.h"

namespace orlo {
class MessageBoxService;
}

namespace orlo::host {
class Application;
class CommandBarControl;
class Explorer;
class NameSpace;
}  // namespace orlo::host

namespace orlo::desk {

// What the desk's own menu commands do; the windows fill these in.
struct DeskCommandActions {
    std::function<void()> exit;
    std::function<void()> refresh;
    std::function<void()> addins;
};

class DeskSession {
public:
    static constexpr char16_t kAboutTitle[] = u"About Orlo Desk";
    static constexpr char16_t kAboutText[] =
        u"Orlo Desk\r\nThe front-desk shell of the Orlo patient-records system.";
    // The desk's own commands on the explorer's menus.
    static constexpr char16_t kExitCaption[] = u"E&xit";
    static constexpr char16_t kRefreshCaption[] = u"&Refresh";
    static constexpr char16_t kAddinsCaption[] = u"Add-&ins...";
    static constexpr char16_t kAboutCaption[] = u"&About Orlo Desk";

    DeskSession(DeskOptions options, MessageBoxService& messageBoxes);
    ~DeskSession();
    DeskSession(const DeskSession&) = delete;
    DeskSession& operator=(const DeskSession&) = delete;

    // Opens the stores and the explorer; the errors of stores that did not open.
    std::vector<Error> open();
    void setAddinHost(std::unique_ptr<AddinHost> host) { m_addins = std::move(host); }
    AddinHost* addinHost() const { return m_addins.get(); }
    void connectAddins();
    void installDeskCommands(DeskCommandActions actions);

    // The explorer's Close (once); the explorer leaves the Explorers.
    void closeExplorer();
    // The add-ins' shut-down (once).
    void shutdown();
    bool isShutDown() const { return m_shutDown; }

    const DeskOptions& options() const { return m_options; }
    const std::shared_ptr<host::Application>& application() const { return m_app; }
    std::shared_ptr<host::NameSpace> nameSpace() const;
    const std::shared_ptr<host::Explorer>& explorer() const { return m_explorer; }
    const Locale& locale() const { return m_locale; }
    const Clock& clock() const { return m_clock; }
    const AppFolder& appFolder() const { return m_appFolder; }
    RegistryStore& registryStore() { return m_registryStore; }
    MessageBoxService& messageBoxes() const { return m_messageBoxes; }
    DeskProfile& profile() { return m_profile; }

private:
    std::shared_ptr<host::CommandBarControl> addDeskButton(const QString& menu,
                                                           const char16_t* caption,
                                                           std::function<void()> action);

    DeskOptions m_options;
    MessageBoxService& m_messageBoxes;
    SystemClock m_clock;
    Locale m_locale;
    AppFolder m_appFolder;
    RegistryStore m_registryStore;
    DeskProfile m_profile;
    std::shared_ptr<host::Application> m_app;
    std::shared_ptr<host::Explorer> m_explorer;
    std::unique_ptr<AddinHost> m_addins;
    host::Subscription m_profileWatch;
    bool m_explorerClosed = false;
    bool m_shutDown = false;
};

}  // namespace orlo::desk
