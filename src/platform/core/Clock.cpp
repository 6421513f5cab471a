#include "platform/core/Clock.h"

#include <QTimeZone>

namespace orlo {

QDateTime naiveDateTime(QDate date, QTime time) {
    return QDateTime(date, time, QTimeZone::utc());
}

QDateTime SystemClock::now() const {
    const QDateTime local = QDateTime::currentDateTime();
    const QTime t = local.time();
    return naiveDateTime(local.date(), QTime(t.hour(), t.minute(), t.second()));
}

}  // namespace orlo
