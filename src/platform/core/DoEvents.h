#pragma once
// DoEvents: let pending events run (socket notifications, timer ticks, window
// messages) before the caller goes on. Long operations call it between
// records so that the single UI thread stays responsive.

namespace orlo {

void DoEvents();

}  // namespace orlo
