#pragma once
// Day-count comparisons as ranges: DATEDIFF('d', col, Now()) >= 42 holds
// exactly when col falls before the first moment of (today - 41 days). The
// translator writes such comparisons as comparisons of the column's
// canonical text with the canonical text of a day, so SQLite can answer
// them from an index instead of calling DATEDIFF on every row.

#include <QStringView>
#include <optional>
#include <vector>

namespace orlo::data {

// One bound: the column compared by `op` ("<" or ">=") with the start of the
// day `offset` days from today.
struct DayBound {
    const char* op;
    qint64 offset;
};

// The bounds (one, or two for "=") equivalent to
//   DATEDIFF('d', col, now) op constant   (columnFirst)
//   DATEDIFF('d', now, col) op constant   (!columnFirst)
// for op one of = < <= > >=. Nothing for any other operator, or a constant
// too large to be a day count of the calendar.
std::optional<std::vector<DayBound>> dayDiffBounds(bool columnFirst, QStringView op,
                                                   qint64 constant);

// The largest day count a comparison is rewritten for (some 8,000 years).
inline constexpr qint64 kMaxDayCount = 3000000;

}  // namespace orlo::data
