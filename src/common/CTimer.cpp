#include "common/CTimer.h"

#include <QTimerEvent>

namespace orlo {

CTimer::CTimer(QObject* parent) : QObject(parent) {}

CTimer::~CTimer() {
    if (m_timerId != 0) {
        killTimer(m_timerId);
    }
}

void CTimer::setEnabled(bool value) {
    if (m_timerId != 0) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
    m_enabled = value;
    if (m_enabled && m_interval >= 1) {
        // A precise timer never fires before its interval is up, as the
        // window timers this class stands in for never do. startTimer gives
        // 0 where there is no event loop to deliver ticks; then the timer
        // stays disarmed rather than armed with nowhere to go.
        m_timerId = startTimer(m_interval, Qt::PreciseTimer);
    }
}

void CTimer::setInterval(qint32 value) {
    if (value < 0) {
        return;
    }
    m_interval = value;
    setEnabled(m_enabled);
}

void CTimer::RaiseTimer() {
    Q_EMIT Timer();
}

void CTimer::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_timerId && m_timerId != 0) {
        // Nothing of this object is touched after the event: a handler may
        // have destroyed it.
        RaiseTimer();
        return;
    }
    QObject::timerEvent(event);
}

}  // namespace orlo
