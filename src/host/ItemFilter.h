#pragma once
// ItemFilter: the restriction Items.Find accepts: "[Name] = value", where
// value is a number ("[PatientID] = 123"), a quoted text ('text' or "text",
// a doubled quote standing for one) or nothing at all. An empty value
// matches no item. Anything else is not a filter (error "cannot parse").

#include <QString>

#include "platform/core/Result.h"
#include "platform/core/Variant.h"

namespace orlo {
class Locale;
}

namespace orlo::host {

struct ItemFilter {
    QString property;
    Variant value;
    // The key was empty: no item can match.
    bool matchesNothing = false;
};

// A quoted text compared with a date field ("Start", "Created", ...) is read
// as a date in the locale.
Result<ItemFilter> parseItemFilter(const QString& filter, const Locale& locale);

}  // namespace orlo::host
