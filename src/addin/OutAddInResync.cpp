// OutAddIn: the folder refresh of the start-up.

#include <QPointer>

#include "addin/OutAddIn.h"
#include "common/AddinContext.h"
#include "platform/core/ErrorTrap.h"
#include "settings/frmLoading1.h"
#include "sync/basResync.h"

namespace orlo::addin {

namespace {

constexpr char16_t kUpdatingPatients[] = u"Updating Patients Folder. Please wait...";
constexpr char16_t kUpdatingScheduler[] = u"Updating Scheduler Folder. Please wait...";

}  // namespace

void OutAddIn::refreshFolders() {
    // Each resync reports its own failure; the start-up goes on regardless.
    // The window may be gone by the time a step is done (closed while the
    // work yielded): the steps go on without it.
    QPointer<settings::frmLoading1> window = settings::frmLoading1::load();
    if (window) {
        window->setStatus(QString::fromUtf16(kUpdatingPatients));
        window->setProgress(50);
    }
    ignoreError(sync::ResyncPatients(m_ctx, m_ctx.DbLocation), "reported by the resync");
    if (window) {
        window->setStatus(QString::fromUtf16(kUpdatingScheduler));
    }
    ignoreError(sync::ResyncSchedules(m_ctx, m_ctx.DbLocation), "reported by the resync");
    if (window) {
        window->setProgress(100);
    }
    settings::frmLoading1Close(window);
}

}  // namespace orlo::addin
