#pragma once
// BulkSaves: while one lives, the saves into the store of a folder are
// grouped into a few durable transactions instead of one each (the store's
// bulk mode, StoreFile::beginBulk): for a run that creates items by the
// thousand. Items, events and Find behave as always; a crash loses at most
// the last open group. The group is committed when the guard ends.

#include <memory>

#include "platform/core/Result.h"

namespace orlo::host {

class MAPIFolder;
class StoreSession;

class BulkSaves {
public:
    explicit BulkSaves(const std::shared_ptr<MAPIFolder>& folder);
    ~BulkSaves();
    BulkSaves(const BulkSaves&) = delete;
    BulkSaves& operator=(const BulkSaves&) = delete;

    // Commits the open group and leaves bulk mode; what the commit said.
    Status end();

private:
    std::weak_ptr<StoreSession> m_session;
    bool m_open = false;
};

}  // namespace orlo::host
