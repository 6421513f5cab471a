#include "addin/RemoveAddinPst.h"

#include "common/AddinFolders.h"
#include "host/NameSpace.h"
#include "platform/core/ErrorTrap.h"
#include "platform/ui/MessageBox.h"

namespace orlo::addin {

void RemoveAddinPst(const std::shared_ptr<host::Application>& runningDesk,
                    MessageBoxService& boxes) {
    ErrorTrap trap;
    const auto ns = trap.value([&] { return addinNamespace(runningDesk); });
    const auto top = trap.value([&] { return addinTopFolder(runningDesk); });
    if (ns && top) {
        trap.step([&] { return (*ns)->RemoveStore(*top); });
    }
    if (trap.failed()) {
        boxes.show(QString::number(trap.error().number) + u"\r\n" + trap.error().description +
                       u"\r\n" + QString::fromUtf16(kRemovePstErrorTail),
                   MsgButtons::OK, MsgIcon::Critical, QString::fromUtf16(kRemovePstErrorTitle));
    }
}

}  // namespace orlo::addin
