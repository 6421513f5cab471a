#pragma once
// The recall due date: the visit's start plus the recall period in calendar
// months, for the periods the form offers ("3", "6", "12", "18", "24"). The
// end of a longer month lands on the end of a shorter one (31 August plus 6
// months is 28 or 29 February).

#include <QDate>
#include <QStringView>
#include <optional>

namespace orlo::schedule {

// The months of a period that produces a due date, or nothing.
std::optional<int> recallMonths(QStringView period);

std::optional<QDate> recallDueDate(QDate start, QStringView period);

}  // namespace orlo::schedule
