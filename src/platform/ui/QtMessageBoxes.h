#pragma once
// Message boxes as real Qt dialogs, for the desk shell. exec() runs a nested
// event loop, so sockets and timers keep working while a box waits.

#include "platform/ui/MessageBox.h"

namespace orlo {

class QtMessageBoxes final : public MessageBoxService {
protected:
    MsgAnswer present(const MessageBoxRequest& request) override;
};

}  // namespace orlo
