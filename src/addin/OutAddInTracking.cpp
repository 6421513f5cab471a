// OutAddIn: tracking of item windows and of the main window. Only the last
// contact and the last appointment opened in an item window are bound, and
// only the main window that was active at start-up is watched.

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

void OutAddIn::colInsp_NewInspector(const std::shared_ptr<host::Inspector>& inspector) {
    objInsp = inspector;
    const std::shared_ptr<host::Item> item = inspector ? inspector->CurrentItem() : nullptr;
    if (!item) {
        return;
    }
    switch (item->Class()) {
        case host::kAppointmentItem:
            objApptItem = item;
            break;
        case host::kContactItem:
            objContactItem = item;
            break;
        default:
            // Mail, post, task, journal, document, distribution list and
            // anything else: not tracked.
            break;
    }
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

// The item handlers get the tracked item itself, held for the length of the
// call: a handler may release the field (a close rule stopping the add-in).

void OutAddIn::objContactItem_Open(bool& /*cancel*/) {
    if (const auto item = objContactItem.get()) {
        m_patientHandlers.Open(*item);
    }
}

void OutAddIn::objContactItem_Write(bool& /*cancel*/) {
    if (const auto item = objContactItem.get()) {
        m_patientHandlers.Write(*item);
    }
}

void OutAddIn::objContactItem_BeforeDelete(const std::shared_ptr<host::Item>& item,
                                           bool& /*cancel*/) {
    if (item) {
        m_patientHandlers.BeforeDelete(*item);
    }
}

void OutAddIn::objContactItem_Close(bool& /*cancel*/) {
    if (const auto item = objContactItem.get()) {
        m_patientHandlers.Close(*item);
    }
}

void OutAddIn::objApptItem_Open(bool& /*cancel*/) {
    if (const auto item = objApptItem.get()) {
        m_appointmentHandlers.Open(*item);
    }
}

void OutAddIn::objApptItem_Write(bool& /*cancel*/) {
    if (const auto item = objApptItem.get()) {
        m_appointmentHandlers.Write(*item);
    }
}

void OutAddIn::objApptItem_CustomPropertyChange(const QString& name) {
    if (const auto item = objApptItem.get()) {
        m_appointmentHandlers.CustomPropertyChange(*item, name);
    }
}

}  // namespace orlo::addin
