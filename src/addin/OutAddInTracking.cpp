// OutAddIn: tracking of item windows and of the main window. The item of
// every contact or appointment window is bound while the window is open, so
// a save in any of them reaches the database; only the main window that was
// active at start-up is watched.

#include "addin/OutAddIn.h"

#include "common/AddinContext.h"
#include "host/Application.h"
#include "host/Explorers.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/ItemClass.h"
#include "host/MAPIFolder.h"
#include "platform/core/DoEvents.h"
#include "platform/core/ErrorTrap.h"
#include "sync/UnloadLists.h"

namespace orlo::addin {

namespace {

// The handlers get the item itself, held for the length of the call: a
// handler may close its window (a deletion) or stop the add-in.
template <typename Handler>
auto withItem(const std::weak_ptr<host::Item>& weak, Handler handler) {
    return [weak, handler](auto&&... args) {
        if (const auto item = weak.lock()) {
            handler(*item, args...);
        }
    };
}

}  // namespace

void OutAddIn::colInsp_NewInspector(const std::shared_ptr<host::Inspector>& inspector) {
    objInsp = inspector;
    const std::shared_ptr<host::Item> item = inspector ? inspector->CurrentItem() : nullptr;
    if (!item) {
        return;
    }
    switch (item->Class()) {
        case host::kAppointmentItem:
            trackAppointment(inspector, item);
            break;
        case host::kContactItem:
            trackContact(inspector, item);
            break;
        default:
            // Mail, post, task, journal, document, distribution list and
            // anything else: not tracked.
            break;
    }
}

OutAddIn::ItemWindow& OutAddIn::addItemWindow(const std::shared_ptr<host::Inspector>& inspector) {
    ItemWindow window;
    window.inspector = inspector.get();
    window.subscriptions.push_back(
        inspector->events.Close.connect([this, raw = inspector.get()] { itemWindowClosed(raw); }));
    m_itemWindows.push_back(std::move(window));
    return m_itemWindows.back();
}

void OutAddIn::trackContact(const std::shared_ptr<host::Inspector>& inspector,
                            const std::shared_ptr<host::ContactItem>& item) {
    auto& subs = addItemWindow(inspector).subscriptions;
    const std::weak_ptr<host::Item> weak = item;
    subs.push_back(item->events.Open.connect(
        withItem(weak, [this](host::Item& i, bool& c) { objContactItem_Open(i, c); })));
    subs.push_back(item->events.Write.connect(
        withItem(weak, [this](host::Item& i, bool& c) { objContactItem_Write(i, c); })));
    subs.push_back(
        item->events.BeforeDelete.connect([this](const std::shared_ptr<host::Item>& i, bool& c) {
            objContactItem_BeforeDelete(i, c);
        }));
    subs.push_back(item->events.Close.connect(
        withItem(weak, [this](host::Item& i, bool& c) { objContactItem_Close(i, c); })));
}

void OutAddIn::trackAppointment(const std::shared_ptr<host::Inspector>& inspector,
                                const std::shared_ptr<host::AppointmentItem>& item) {
    auto& subs = addItemWindow(inspector).subscriptions;
    const std::weak_ptr<host::Item> weak = item;
    subs.push_back(item->events.Open.connect(
        withItem(weak, [this](host::Item& i, bool& c) { objApptItem_Open(i, c); })));
    subs.push_back(item->events.Write.connect(
        withItem(weak, [this](host::Item& i, bool& c) { objApptItem_Write(i, c); })));
    subs.push_back(item->events.CustomPropertyChange.connect(
        withItem(weak, [this](host::Item& i, const QString& name) {
            objApptItem_CustomPropertyChange(i, name);
        })));
}

void OutAddIn::itemWindowClosed(const host::Inspector* inspector) {
    std::erase_if(m_itemWindows,
                  [inspector](const ItemWindow& w) { return w.inspector == inspector; });
    // A contact deleted with its window open closes that window as the
    // deletion's last step.
    m_patientHandlers.DeletionEnded();
}

void OutAddIn::objInsp_Close() {
    // The closing window still counts among the inspectors.
    const std::shared_ptr<host::Application> app = m_ctx.application;
    if (app && !app->ActiveExplorer() && app->Inspectors()->Count() <= 1) {
        StopAddin();
    }
}

void OutAddIn::objExpl_BeforeFolderSwitch(const std::shared_ptr<host::MAPIFolder>& newFolder,
                                          bool& /*cancel*/) {
    colViews = newFolder ? newFolder->Views() : nullptr;
}

void OutAddIn::objExpl_FolderSwitch() {}

void OutAddIn::objExpl_Close() {
    ErrorTrap trap = ErrorTrap::resumeNext();
    DoEvents();
    trap.step([&] { return sync::WritePatientUnloadList(m_ctx); });
    trap.step([&] { return sync::WriteScheduleUnloadList(m_ctx); });
    // The closing window still counts among the explorers.
    const std::shared_ptr<host::Application> app = m_ctx.application;
    if (app && app->Explorers()->Count() <= 1 && app->Inspectors()->Count() == 0) {
        StopAddin();
    }
}

void OutAddIn::objContactItem_Open(host::ContactItem& item, bool& /*cancel*/) {
    m_patientHandlers.Open(item);
}

void OutAddIn::objContactItem_Write(host::ContactItem& item, bool& /*cancel*/) {
    m_patientHandlers.Write(item);
}

void OutAddIn::objContactItem_BeforeDelete(const std::shared_ptr<host::Item>& item,
                                           bool& /*cancel*/) {
    if (item) {
        m_patientHandlers.BeforeDelete(*item);
    }
}

void OutAddIn::objContactItem_Close(host::ContactItem& item, bool& /*cancel*/) {
    m_patientHandlers.Close(item);
}

void OutAddIn::objApptItem_Open(host::AppointmentItem& item, bool& /*cancel*/) {
    m_appointmentHandlers.Open(item);
}

void OutAddIn::objApptItem_Write(host::AppointmentItem& item, bool& /*cancel*/) {
    m_appointmentHandlers.Write(item);
}

void OutAddIn::objApptItem_CustomPropertyChange(host::AppointmentItem& item, const QString& name) {
    m_appointmentHandlers.CustomPropertyChange(item, name);
}

}  // namespace orlo::addin
