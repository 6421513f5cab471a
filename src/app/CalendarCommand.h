#pragma once
// The automation channel's "calendar" command on the main window's
// calendar of the Scheduler. Fields, each optional and applied in this
// order: "view" ("calendar" or "list"), "span" ("day", "workweek",
// "week"), "date" ("2026-03-05": shows the span around it), "today",
// "previous", "next" (true), "move" ({"id", "start"}: as a drag does),
// "open" (an id: as a double-click on the block), "create" (a start: as a
// double-click on an empty slot). A start is "2026-03-05T14:30:00" or
// {"date": "..."}. The reply has "first" (the first day shown), "span",
// "title" and "entries": [{id, start, end, patient, reason, status, lane,
// lanes}].

#include <QJsonObject>

#include "platform/core/Result.h"

namespace orlo::desk {

class MainWindow;

Result<QJsonObject> runCalendarCommand(MainWindow& main, const QJsonObject& c);

}  // namespace orlo::desk
