#pragma once
// The clock the whole system reads "now" from. Dates are naive wall-clock
// times of the workstation, as the shared database stores them; they are kept
// in QDateTime with Qt::UTC so that no daylight-saving rule ever shifts them.

#include <QDateTime>

namespace orlo {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

// The workstation's local wall-clock time, to the second.
class SystemClock final : public Clock {
public:
    QDateTime now() const override;
};

// A clock that says what it is told: tests, and reports run "as of" a date.
class PinnedClock final : public Clock {
public:
    explicit PinnedClock(QDateTime at) : m_at(std::move(at)) {}
    QDateTime now() const override { return m_at; }
    void set(QDateTime at) { m_at = std::move(at); }
    void advance(qint64 seconds) { m_at = m_at.addSecs(seconds); }

private:
    QDateTime m_at;
};

// Builds a naive date-time value (the form every date of the system takes).
QDateTime naiveDateTime(QDate date, QTime time = QTime(0, 0));

}  // namespace orlo
