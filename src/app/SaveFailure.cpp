#include "app/SaveFailure.h"

#include "host/HostErrors.h"
#include "platform/ui/MessageBox.h"

namespace orlo::desk {

namespace {
constexpr char16_t kTitle[] = u"Orlo Desk";
}  // namespace

void tellSaveFailure(MessageBoxService& boxes, const Error& error) {
    if (error.number == host::err::kOperationCancelled) {
        return;
    }
    boxes.show(error.description, MsgButtons::OK, MsgIcon::Critical, QString::fromUtf16(kTitle));
}

}  // namespace orlo::desk
