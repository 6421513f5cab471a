#pragma once
// OutAddIn: the add-in's working object behind Connect. It starts the add-in
// (settings, the add-in's store, the desk objects it listens to), tracks
// every open item window of a contact or an appointment and hands its item's
// events to the patient and appointment handlers, writes the unload lists
// when the main window closes, and stops the add-in again when the desk is
// going away.
//
// Every handler runs on the desk's UI thread and passes over every error:
// nothing ever fails back into the desk.

#include <QString>
#include <memory>
#include <vector>

#include "addin/OrloMenu.h"
#include "host/Item.h"
#include "host/events/EventField.h"
#include "patients/PatientItemHandlers.h"
#include "schedule/AppointmentItemHandlers.h"

namespace orlo {
struct AddinContext;
}

namespace orlo::host {
class Application;
class CommandBarControl;
class Explorer;
class Explorers;
class Inspector;
class Inspectors;
class MAPIFolder;
class NameSpace;
class Views;
}  // namespace orlo::host

namespace orlo::peer {
class formMain;
class ConnectorConsole;
}  // namespace orlo::peer

namespace orlo::addin {

// The add-in's store messages.
inline constexpr char16_t kPstLoadErrorTitle[] = u"Outlook PST Load Error";
inline constexpr char16_t kPstLoadErrorText[] =
    u"Unable to locate Outlook PST file. Please verify that the file hasn't been deleted or moved.";
inline constexpr char16_t kOpenPstErrorTitle[] = u"Open PST Error";
// The tag of the desk's own "Refresh DB" control on the "Standard" bar.
inline constexpr char16_t kRefreshDbTag[] = u"Refresh DB";

class OutAddIn {
public:
    // `runningDesk` is the desk the add-in lives in (what the original
    // reached by creating "Outlook.Application"): the store is added to it.
    OutAddIn(AddinContext& context, std::weak_ptr<host::Application> runningDesk);
    ~OutAddIn();
    OutAddIn(const OutAddIn&) = delete;
    OutAddIn& operator=(const OutAddIn&) = delete;

    // Start-up, run once by OnConnection. Every step that fails is skipped
    // and the next one runs; nothing is reported from here.
    void StartAddin(const std::shared_ptr<host::Application>& application, const QString& progId);
    // Shut-down: releases every held object. Runs from OnDisconnection and
    // from the close rules below, so it may run twice.
    void StopAddin();
    // Adds the add-in's store to the desk unless it is open already.
    void OpenAddinPst();
    // Start-up's folder refresh: both folders brought up to date from the
    // database behind the progress window "Updating Folders...".
    void refreshFolders();
    // Brings the shared database up to this Orlo's schema when it records an
    // older one; what was done, or why it could not be, goes to the error log.
    void upgradeDatabase();

    // Tracking of item windows and of the main window.
    void colInsp_NewInspector(const std::shared_ptr<host::Inspector>& inspector);
    void objInsp_Close();
    void objExpl_BeforeFolderSwitch(const std::shared_ptr<host::MAPIFolder>& newFolder,
                                    bool& cancel);
    void objExpl_FolderSwitch();
    void objExpl_Close();

    // The events of the items open in item windows, handed to the patient
    // and appointment handlers.
    void objContactItem_Open(host::ContactItem& item, bool& cancel);
    void objContactItem_Write(host::ContactItem& item, bool& cancel);
    void objContactItem_BeforeDelete(const std::shared_ptr<host::Item>& item, bool& cancel);
    void objContactItem_Close(host::ContactItem& item, bool& cancel);
    void objApptItem_Open(host::AppointmentItem& item, bool& cancel);
    void objApptItem_Write(host::AppointmentItem& item, bool& cancel);
    void objApptItem_CustomPropertyChange(host::AppointmentItem& item, const QString& name);

    // For outside callers (the desk's automation channel): the schedule's
    // patient search, a patient's history, the patient detail report of
    // the active item window, and the desk's "Customize..." command.
    void displaysearchOrlo3();
    void DisplayPatientHistory();
    void PatientDetailrptOrlonetV1();
    Status AllowInspectorCBCustomization(bool flag);

    // The "Refresh DB" control's Click: nothing.
    void cbbViews_Click(const std::shared_ptr<host::CommandBarControl>& ctrl, bool& cancelDefault);

    // The menu, its buttons and the windows it opens.
    OrloMenu& menu() { return m_menu; }

    // What the add-in holds, for the other parts of the add-in.
    const std::shared_ptr<host::Application>& outlook() const { return objOutlook; }
    const std::shared_ptr<host::NameSpace>& nameSpace() const { return objNS; }
    const std::shared_ptr<host::Explorer>& explorer() const { return objExpl.get(); }
    const std::shared_ptr<host::Inspector>& inspector() const { return objInsp.get(); }
    const std::shared_ptr<host::Views>& views() const { return colViews; }
    const std::shared_ptr<host::CommandBarControl>& refreshDbControl() const {
        return cbbViews.get();
    }
    const QString& progId() const { return m_progId; }
    bool isRunning() const { return objOutlook != nullptr; }
    // The peer connector while loaded, else null.
    peer::formMain* peerForm() const { return m_formMain.get(); }

private:
    // One open item window whose item's events reach the handlers.
    struct ItemWindow {
        const host::Inspector* inspector = nullptr;
        std::vector<host::Subscription> subscriptions;
    };
    void trackContact(const std::shared_ptr<host::Inspector>& inspector,
                      const std::shared_ptr<host::ContactItem>& item);
    void trackAppointment(const std::shared_ptr<host::Inspector>& inspector,
                          const std::shared_ptr<host::AppointmentItem>& item);
    // The peer network (OutAddInPeer.cpp): the connector loaded, the
    // workstation registered and connected to its peers; unregistered and
    // closed again.
    peer::formMain& loadPeerForm();
    void startPeerNetwork();
    void unregisterPeer();
    void closePeerForm();
    ItemWindow& addItemWindow(const std::shared_ptr<host::Inspector>& inspector);
    void itemWindowClosed(const host::Inspector* inspector);

    AddinContext& m_ctx;
    std::weak_ptr<host::Application> m_runningDesk;
    patients::PatientItemHandlers m_patientHandlers;
    schedule::AppointmentItemHandlers m_appointmentHandlers;

    // The held desk objects, each released by StopAddin. The desk has no
    // reminders, so the original's colReminders, which was only held, has
    // no counterpart.
    std::shared_ptr<host::Application> objOutlook;
    std::shared_ptr<host::NameSpace> objNS;
    std::shared_ptr<host::Explorers> colExpl;
    host::EventField<host::Inspectors> colInsp;
    host::EventField<host::Explorer> objExpl;
    std::shared_ptr<host::Views> colViews;
    host::EventField<host::Inspector> objInsp;
    // Every contact and appointment window open now, in the order opened.
    std::vector<ItemWindow> m_itemWindows;
    host::EventField<host::CommandBarControl> cbbViews;
    QString m_progId;
    OrloMenu m_menu;
    std::unique_ptr<peer::formMain> m_formMain;
    std::unique_ptr<peer::ConnectorConsole> m_console;
};

}  // namespace orlo::addin
