#pragma once
// OrloMenu: the "&Orlo" menu on the desk's menu bar and what its buttons
// do. Built once at start-up as temporary controls before the menu bar's
// sixth control; each button is held in its field, whose Click reaches the
// button's handler until the field is released.
//
//   &Orlo                          "Orlov3Netmenu"
//     Repor&ts...
//       Next Day &Appointments Report      DataReport10
//       &No Show/Cancellation Report       DataReport3
//       &Diabetic Patients Report          DataReport4
//       &Balance Overdue Report            DataReport1
//       Patient &List Report               DataReport11
//       &Recall Reports...
//         &2 Week Recall Reminder Report   DataReport2
//         6 &Week Overdue Recall Report    DataReport5
//         &3 Month Overdue Recall Report   DataReport6
//         &6 Month Overdue Recall Report   DataReport7
//         &12 Month Overdue Recall Report  DataReport8
//         &Monthly Recall Report           frmRecallbyMonth
//     &Patient Finder...                   frmPatientSearch
//     &Settings...                         frmSettings
//     &About Orlo                          frmAbout
//
// Reports open modal through ReportCommands; windows open through the
// WindowOpeners, one instance per window class.

#include <QString>
#include <memory>

#include "addin/MenuFaces.h"
#include "addin/WindowOpeners.h"
#include "host/events/EventField.h"
#include "platform/core/Result.h"
#include "platform/ui/SingleWindow.h"
#include "reports/ReportCommands.h"
#include "search/SearchWindows.h"

namespace orlo {
struct AddinContext;
}
namespace orlo::host {
class Application;
class CommandBarControl;
class CommandBarControls;
}  // namespace orlo::host

namespace orlo::settings {
class frmSettings;
}

namespace orlo::addin {

class frmAbout;

// Captions and tags of the menu.
inline constexpr char16_t kOrloMenuCaption[] = u"&Orlo";
inline constexpr char16_t kOrloMenuTag[] = u"Orlov3Netmenu";
inline constexpr int kOrloMenuBefore = 6;
inline constexpr int kFinderFaceId = 46;
inline constexpr int kAboutFaceId = 3725;

class OrloMenu {
public:
    explicit OrloMenu(AddinContext& ctx);
    ~OrloMenu();
    OrloMenu(const OrloMenu&) = delete;
    OrloMenu& operator=(const OrloMenu&) = delete;

    // Start-up: the faces from the resources (step 7), the menu on the
    // active explorer's "Menu Bar" of the running desk (step 11), and the
    // faces let go again (step 19). A failing step leaves the menu as far
    // as it got.
    void loadBitmaps() { m_faces = MenuFaces::load(); }
    Status build(const std::shared_ptr<host::Application>& runningDesk, const QString& progId);
    void releaseBitmaps() { m_faces = {}; }
    // Shut-down: the fourteen buttons, in the order the add-in releases
    // them, then the "&Orlo" popup comes off the menu bar: a stopped add-in
    // leaves no menu that does nothing, and a start after a removal builds
    // the one menu anew.
    void release();

    WindowOpeners& openers() { return m_openers; }
    reports::ReportCommands& reports() { return m_reports; }
    search::SearchWindows& searchWindows() { return m_search; }

    // The buttons.
    using Button = host::EventField<host::CommandBarControl>;
    Button objCBAbout;
    Button objCBB;
    Button objCBBptFinder;
    Button objCBRecallbyMonth;
    Button objCBRecall3mth;
    Button objCBRecall6mth;
    Button objCBRecall12mth;
    Button objCBRecall18mth;
    Button objCBRecall24mth;
    Button objCBPatientList;
    Button objCBBalance;
    Button objCBDiabetic;
    Button objCBOverdue;
    Button objCBNextDayAppointments;

    // Click handlers: the clicked button and the cancel-default flag, left
    // as it is.
    using Control = std::shared_ptr<host::CommandBarControl>;
    void objCBAbout_Click(const Control& ctrl, bool& cancelDefault);
    void objCBB_Click(const Control& ctrl, bool& cancelDefault);
    void objCBBptFinder_Click(const Control& ctrl, bool& cancelDefault);
    void objCBRecallbyMonth_Click(const Control& ctrl, bool& cancelDefault);
    void objCBOverdue_Click(const Control& ctrl, bool& cancelDefault);
    void objCBRecall3mth_Click(const Control& ctrl, bool& cancelDefault);
    void objCBRecall6mth_Click(const Control& ctrl, bool& cancelDefault);
    void objCBRecall12mth_Click(const Control& ctrl, bool& cancelDefault);
    void objCBRecall18mth_Click(const Control& ctrl, bool& cancelDefault);
    void objCBRecall24mth_Click(const Control& ctrl, bool& cancelDefault);
    void objCBBalance_Click(const Control& ctrl, bool& cancelDefault);
    void objCBDiabetic_Click(const Control& ctrl, bool& cancelDefault);
    void objCBNextDayAppointments_Click(const Control& ctrl, bool& cancelDefault);
    void objCBPatientList_Click(const Control& ctrl, bool& cancelDefault);

    // The about window, one instance while it is open.
    frmAbout* aboutWindow() const;
    // The settings window, one instance while it is open.
    settings::frmSettings* settingsWindow() const;

private:
    struct ButtonEntry;
    Status addButton(host::CommandBarControls& controls, const ButtonEntry& entry);

    AddinContext& m_ctx;
    reports::ReportCommands m_reports;
    search::SearchWindows m_search;
    WindowOpeners m_openers;
    MenuFaces m_faces;
    QString m_onAction;
    std::weak_ptr<host::CommandBarControl> m_orloMenu;
    SingleWindow<frmAbout> m_about;
    SingleWindow<settings::frmSettings> m_settings;
};

}  // namespace orlo::addin
