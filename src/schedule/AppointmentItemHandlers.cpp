#include "schedule/AppointmentItemHandlers.h"

#include "common/AddinContext.h"

namespace orlo::schedule {

void AppointmentItemHandlers::Open(host::Item& /*item*/) {}

void AppointmentItemHandlers::Write(host::Item& /*item*/) {}

void AppointmentItemHandlers::CustomPropertyChange(host::Item& /*item*/, const QString& /*name*/) {}

}  // namespace orlo::schedule
