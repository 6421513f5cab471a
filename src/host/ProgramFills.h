#pragma once
// ProgramFills: while one lives, saves into the store of a folder are
// program-made fills of rows the shared database already holds (the
// store's fill mode, StoreFile::beginFills): they return without a sync to
// disk, and their group is committed within a fraction of a second, by
// commit(), or by the next save a user makes. Items, events and Find behave
// as always.

#include <memory>

#include "platform/core/Result.h"

namespace orlo::host {

class MAPIFolder;
class StoreSession;

class ProgramFills {
public:
    explicit ProgramFills(const std::shared_ptr<MAPIFolder>& folder);
    ~ProgramFills();
    ProgramFills(const ProgramFills&) = delete;
    ProgramFills& operator=(const ProgramFills&) = delete;

    // Commits the fills that wait in the store of `folder` (nothing when
    // none wait or the store was removed).
    static Status commit(const std::shared_ptr<MAPIFolder>& folder);

private:
    std::weak_ptr<StoreSession> m_session;
    bool m_open = false;
};

}  // namespace orlo::host
