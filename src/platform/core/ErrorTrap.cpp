#include "platform/core/ErrorTrap.h"

#include <QLoggingCategory>

namespace orlo {

namespace {
Q_LOGGING_CATEGORY(lcIgnored, "orlo.ignored", QtWarningMsg)
}  // namespace

void ignoreError(const Status& status, const char* why) {
    ErrorTrap trap = ErrorTrap::resumeNext();
    trap.step([&] { return status; });
    for (const Error& e : trap.passedOver()) {
        qCDebug(lcIgnored, "%s: error %ld: %s", why, e.number, qUtf8Printable(e.description));
    }
}

}  // namespace orlo
