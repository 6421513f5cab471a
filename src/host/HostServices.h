#pragma once
// What every object of one desk application shares: the clock that stamps
// "Created" and "Modified", the workstation's regional settings that turn
// values into text, and the custom forms.

#include "host/forms/FormRegistry.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"

namespace orlo::host {

struct HostServices {
    const Clock& clock;
    Locale locale;
    FormRegistry forms;
};

}  // namespace orlo::host
