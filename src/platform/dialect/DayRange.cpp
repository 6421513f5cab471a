#include "platform/dialect/DayRange.h"

namespace orlo::data {

std::optional<std::vector<DayBound>> dayDiffBounds(bool columnFirst, QStringView op,
                                                   qint64 constant) {
    if (constant > kMaxDayCount || constant < -kMaxDayCount) {
        return std::nullopt;
    }
    // Work on d = day(col) - today. With the column first DATEDIFF counts
    // today - day(col) = -d, so "-d >= c" is "d <= -c" and so on.
    QStringView o = op;
    qint64 c = constant;
    if (columnFirst) {
        c = -c;
        if (o == u">=") {
            o = u"<=";
        } else if (o == u"<=") {
            o = u">=";
        } else if (o == u">") {
            o = u"<";
        } else if (o == u"<") {
            o = u">";
        }
    }
    // Whole days: d >= c starts at day c, d < c ends before day c.
    if (o == u">=") {
        return std::vector<DayBound>{{">=", c}};
    }
    if (o == u">") {
        return std::vector<DayBound>{{">=", c + 1}};
    }
    if (o == u"<=") {
        return std::vector<DayBound>{{"<", c + 1}};
    }
    if (o == u"<") {
        return std::vector<DayBound>{{"<", c}};
    }
    if (o == u"=") {
        return std::vector<DayBound>{{">=", c}, {"<", c + 1}};
    }
    return std::nullopt;
}

}  // namespace orlo::data
