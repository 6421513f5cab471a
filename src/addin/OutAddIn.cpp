// OutAddIn: start-up, shut-down and the add-in's store.

#include "addin/OutAddIn.h"

#include <QFileInfo>

#include "common/AddinContext.h"
#include "common/AddinFolders.h"
#include "common/DatabaseLocation.h"
#include "common/basRegistry.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/Explorers.h"
#include "host/Folders.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/StoreSession.h"
#include "host/commandbars/CommandBar.h"
#include "host/commandbars/CommandBars.h"
#include "host/store/StoreHeader.h"
#include "peer/ConnectorConsole.h"
#include "peer/formMain.h"
#include "platform/core/ErrorTrap.h"
#include "platform/ui/MessageBox.h"
#include "records/SchemaUpgrade.h"

namespace orlo::addin {

namespace {

// The three settings as start-up reads them, before any default is written.
struct StartupSettings {
    Variant defaultDBlocation;
    Variant ManualIP;
    Variant ManualIPEnabled;
};

StartupSettings readSettings(const basRegistry& registry) {
    const auto read = [&](const char16_t* name) {
        return registry.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, name);
    };
    return {read(kDefaultDbLocationValue), read(kManualIpValue), read(kManualIpEnabledValue)};
}

}  // namespace

OutAddIn::OutAddIn(AddinContext& context, std::weak_ptr<host::Application> runningDesk)
    : m_ctx(context),
      m_runningDesk(std::move(runningDesk)),
      m_patientHandlers(context),
      m_appointmentHandlers(context),
      colInsp([this](host::Inspectors& inspectors) {
          std::vector<host::Subscription> subs;
          subs.push_back(inspectors.events.NewInspector.connect(
              [this](const std::shared_ptr<host::Inspector>& i) { colInsp_NewInspector(i); }));
          return subs;
      }),
      objExpl([this](host::Explorer& explorer) {
          std::vector<host::Subscription> subs;
          subs.push_back(explorer.events.BeforeFolderSwitch.connect(
              [this](const std::shared_ptr<host::MAPIFolder>& folder, bool& cancel) {
                  objExpl_BeforeFolderSwitch(folder, cancel);
              }));
          subs.push_back(explorer.events.FolderSwitch.connect([this] { objExpl_FolderSwitch(); }));
          subs.push_back(explorer.events.Close.connect([this] { objExpl_Close(); }));
          return subs;
      }),
      objInsp([this](host::Inspector& inspector) {
          std::vector<host::Subscription> subs;
          subs.push_back(inspector.events.Close.connect([this] { objInsp_Close(); }));
          return subs;
      }),
      cbbViews([this](host::CommandBarControl& control) {
          std::vector<host::Subscription> subs;
          subs.push_back(
              control.events.Click.connect([this](const std::shared_ptr<host::CommandBarControl>& c,
                                                  bool& cancel) { cbbViews_Click(c, cancel); }));
          return subs;
      }),
      m_menu(context) {}

OutAddIn::~OutAddIn() {
    StopAddin();
}

void OutAddIn::StartAddin(const std::shared_ptr<host::Application>& application,
                          const QString& progId) {
    ErrorTrap trap = ErrorTrap::resumeNext();
    basRegistry& registry = m_ctx.registry;

    // 1-3. The settings; a blank database location becomes the default one
    // under the application folder, written once.
    const StartupSettings settings = readSettings(registry);
    QString dbLocation = settings.defaultDBlocation.text(m_ctx.locale);
    if (settings.defaultDBlocation.isBlank()) {
        dbLocation = defaultDatabasePath(m_ctx.appFolder);
        trap.step([&] {
            return registry.writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey,
                                          kDefaultDbLocationValue, dbLocation, REG_SZ);
        });
    }
    m_ctx.DbLocation = dbLocation;
    upgradeDatabase();

    // 4. The add-in's store; its failures are reported there and do not stop
    // the start-up.
    OpenAddinPst();

    // 5. A blank "ManualIP" takes the address of the peer form's listener.
    if (settings.ManualIP.isBlank()) {
        const QString address = loadPeerForm().localAddress();
        trap.step([&] {
            return registry.writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue,
                                          address, REG_SZ);
        });
    }

    // 6.
    if (settings.ManualIPEnabled.isBlank()) {
        trap.step([&] {
            return registry.writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey,
                                          kManualIpEnabledValue, QStringLiteral("0"), REG_SZ);
        });
    }

    // 7. The menu's faces.
    m_menu.loadBitmaps();

    // 8-9. The desk objects the add-in holds and listens to.
    if (!application) {
        return;
    }
    objOutlook = application;
    m_ctx.application = application;
    m_progId = progId;
    if (const auto ns = trap.value([&] {
            return application->GetNamespace(QString::fromUtf16(host::Application::kMapiNamespace));
        })) {
        objNS = *ns;
    }
    colExpl = application->Explorers();
    colInsp = application->Inspectors();
    objExpl = application->ActiveExplorer();

    // 10. The desk's own "Refresh DB" control, if its "Standard" bar has one.
    if (objExpl) {
        if (const auto standard = trap.value([&] {
                return objExpl->CommandBars()->Item(
                    QString::fromUtf16(host::CommandBars::kStandard));
            })) {
            cbbViews = (*standard)->FindControl(QString::fromUtf16(kRefreshDbTag));
        }
    }

    // 11. The "&Orlo" menu, on the running desk's main window.
    trap.step([&] { return m_menu.build(m_runningDesk.lock(), m_progId); });

    // 12.
    m_ctx.PatientItemSaveEnabled = true;
    m_ctx.ApptItemSaveEnabled = true;

    // 13-17.
    refreshFolders();

    // 18.
    startPeerNetwork();

    // 19.
    m_menu.releaseBitmaps();
}

void OutAddIn::StopAddin() {
    // 1.
    unregisterPeer();

    // 2. Release, in this order.
    objInsp = nullptr;
    objExpl = nullptr;
    colInsp = nullptr;
    colExpl = nullptr;
    colViews = nullptr;
    objNS = nullptr;
    m_ctx.application = nullptr;
    objOutlook = nullptr;
    cbbViews = nullptr;
    m_menu.release();
    m_itemWindows.clear();
    // The timers TimerL, TimerLS and Timer1 join here.

    // 3.
    closePeerForm();
}

void OutAddIn::upgradeDatabase() {
    const Result<records::SchemaUpgrade> done =
        records::upgradeSharedSchema(m_ctx.DbLocation, {m_ctx.clock, m_ctx.locale});
    if (done && !done->changed()) {
        return;
    }
    const QString entry = done ? QStringLiteral("[INFO] ") + done->summary()
                               : QStringLiteral("[ERROR] The database could not be upgraded: ") +
                                     done.error().description;
    // Nobody is there to tell when the log itself cannot be written.
    ErrorTrap trap = ErrorTrap::resumeNext();
    trap.step([&] { return m_ctx.log().WriteErrorLog(entry); });
}

void OutAddIn::cbbViews_Click(const std::shared_ptr<host::CommandBarControl>& /*ctrl*/,
                              bool& /*cancelDefault*/) {}

void OutAddIn::OpenAddinPst() {
    const QString path = AddinPstPath(m_ctx.appFolder);
    if (!QFileInfo::exists(path)) {
        m_ctx.messageBoxes.show(QString::fromUtf16(kPstLoadErrorText), MsgButtons::OK,
                                MsgIcon::Critical, QString::fromUtf16(kPstLoadErrorTitle));
        return;
    }
    ErrorTrap trap;
    const auto ns = trap.value([&] { return addinNamespace(m_runningDesk.lock()); });
    if (ns && !(*ns)->Folders()->Item(QString::fromUtf16(kAddinTopFolderName)).ok()) {
        trap.step([&] { return (*ns)->AddStore(path); });
    }
    // A store the desk can only read is told now, not at the first save.
    const auto top =
        trap.value([&] { return (*ns)->Folders()->Item(QString::fromUtf16(kAddinTopFolderName)); });
    if (top) {
        trap.step([&] { return host::StoreHeader::checkWritable((*top)->session()->path()); });
    }
    if (trap.failed()) {
        m_ctx.messageBoxes.show(
            QString::number(trap.error().number) + u"\r\n" + trap.error().description,
            MsgButtons::OK, MsgIcon::Critical, QString::fromUtf16(kOpenPstErrorTitle));
    }
}

}  // namespace orlo::addin
