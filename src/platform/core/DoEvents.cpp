#include "platform/core/DoEvents.h"

#include <QCoreApplication>

namespace orlo {

void DoEvents() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

}  // namespace orlo
