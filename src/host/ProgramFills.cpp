#include "host/ProgramFills.h"

#include "host/MAPIFolder.h"
#include "host/StoreSession.h"

namespace orlo::host {

ProgramFills::ProgramFills(const std::shared_ptr<MAPIFolder>& folder) {
    if (!folder) {
        return;
    }
    m_session = folder->session();
    if (const auto session = m_session.lock()) {
        if (const Result<StoreFile*> file = session->file()) {
            (*file)->beginFills();
            m_open = true;
        }
    }
}

ProgramFills::~ProgramFills() {
    if (!m_open) {
        return;
    }
    // A store removed meanwhile committed its group when its file closed.
    if (const auto session = m_session.lock()) {
        if (const Result<StoreFile*> file = session->file()) {
            (*file)->endFills();
        }
    }
}

Status ProgramFills::commit(const std::shared_ptr<MAPIFolder>& folder) {
    const auto session = folder ? folder->session() : nullptr;
    if (!session) {
        return okStatus();
    }
    if (const Result<StoreFile*> file = session->file()) {
        return (*file)->commitFills();
    }
    return okStatus();
}

}  // namespace orlo::host
