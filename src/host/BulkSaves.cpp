#include "host/BulkSaves.h"

#include "host/MAPIFolder.h"
#include "host/StoreSession.h"
#include "platform/core/ErrorTrap.h"

namespace orlo::host {

BulkSaves::BulkSaves(const std::shared_ptr<MAPIFolder>& folder) {
    if (!folder) {
        return;
    }
    m_session = folder->session();
    if (const auto session = m_session.lock()) {
        if (const Result<StoreFile*> file = session->file()) {
            (*file)->beginBulk();
            m_open = true;
        }
    }
}

BulkSaves::~BulkSaves() {
    ignoreError(end(), "the last group's saves were reported to no one in particular");
}

Status BulkSaves::end() {
    if (!m_open) {
        return okStatus();
    }
    m_open = false;
    const auto session = m_session.lock();
    if (!session) {
        return okStatus();
    }
    // A store removed meanwhile committed its group when its file closed.
    if (const Result<StoreFile*> file = session->file()) {
        return (*file)->endBulk();
    }
    return okStatus();
}

}  // namespace orlo::host
