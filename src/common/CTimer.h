#pragma once
// CTimer: the add-in's periodic timer. `Enabled` and `Interval` (ms) arm it;
// `Timer` is raised once per elapsed interval, through the event loop of the
// thread that created it (the UI thread), so a handler never runs while any
// other code of the system does.
//
// It is armed exactly when Enabled is true and Interval is at least 1.
// Setting Enabled (even to its current value) restarts the period; a
// negative Interval is ignored; Interval 0 disarms it but keeps Enabled.
// A destroyed timer never ticks. A handler that wants to drop its own timer
// may delete it, or call deleteLater().

#include <QObject>

namespace orlo {

class CTimer final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(qint32 Interval READ Interval WRITE setInterval)

public:
    explicit CTimer(QObject* parent = nullptr);
    ~CTimer() override;

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool value);
    qint32 Interval() const { return m_interval; }
    void setInterval(qint32 value);

    // Whether an event-loop timer is running for this object.
    bool isArmed() const { return m_timerId != 0; }

    // Raises Timer; called by the tick.
    void RaiseTimer();

Q_SIGNALS:
    void Timer();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    int m_timerId = 0;
    bool m_enabled = false;
    qint32 m_interval = 0;
};

}  // namespace orlo
