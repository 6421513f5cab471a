#pragma once
// What every object of one desk application shares: the clock that stamps
// "Created" and "Modified", the workstation's regional settings that turn
// values into text, the custom forms, and the shell's message boxes, which
// add-ins reach through the application.

#include "host/forms/FormRegistry.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"

namespace orlo {
class MessageBoxService;
}

namespace orlo::host {

struct HostServices {
    const Clock& clock;
    Locale locale;
    FormRegistry forms;
    // The shell's message boxes; null in a desk that shows none.
    MessageBoxService* messageBoxes = nullptr;
};

}  // namespace orlo::host
