#include "schedule/RecallDueDate.h"

namespace orlo::schedule {

namespace {

constexpr int kRecallPeriods[] = {3, 6, 12, 18, 24};

}  // namespace

std::optional<int> recallMonths(QStringView period) {
    for (int months : kRecallPeriods) {
        if (period == QString::number(months)) {
            return months;
        }
    }
    return std::nullopt;
}

std::optional<QDate> recallDueDate(QDate start, QStringView period) {
    const std::optional<int> months = recallMonths(period);
    if (!months || !start.isValid()) {
        return std::nullopt;
    }
    return start.addMonths(*months);
}

}  // namespace orlo::schedule
