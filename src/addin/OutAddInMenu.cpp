// OutAddIn: the methods the add-in offers to outside callers. The add-in
// itself never calls them.

#include "addin/OutAddIn.h"
#include "common/AddinContext.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/HostErrors.h"
#include "host/commandbars/CommandBar.h"
#include "host/commandbars/CommandBarControls.h"
#include "host/commandbars/CommandBars.h"

namespace orlo::addin {

void OutAddIn::displaysearchOrlo3() {
    m_menu.openers().open(QString::fromUtf16(kSchedulePatientSearchWindow));
}

void OutAddIn::DisplayPatientHistory() {
    m_menu.openers().open(QString::fromUtf16(kPatientHistoryWindow));
}

void OutAddIn::PatientDetailrptOrlonetV1() {
    m_menu.reports().show(reports::ReportId::DataReport9);
}

Status OutAddIn::AllowInspectorCBCustomization(bool flag) {
    const auto explorer = m_ctx.application ? m_ctx.application->ActiveExplorer() : nullptr;
    if (!explorer) {
        return host::err::hostError(err::kObjectNotSet,
                                    QStringLiteral("The desk has no active main window."));
    }
    ORLO_TRY_ASSIGN(const auto tools,
                    explorer->CommandBars()->Item(QString::fromUtf16(host::CommandBars::kTools)));
    ORLO_TRY_ASSIGN(const auto customize,
                    tools->Controls()->Item(QString::fromUtf16(host::CommandBars::kCustomize)));
    customize->setEnabled(flag);
    return okStatus();
}

}  // namespace orlo::addin
