#pragma once
// CalendarGrid: the painted day grid of the calendar view: a time axis on
// the left, a column per day, the appointments as blocks in their lanes.
// It turns mouse work into requests (open, create at a slot, move) that its
// owner carries out.

#include <QDateTime>
#include <QWidget>
#include <functional>
#include <optional>

#include "app/CalendarModel.h"

namespace orlo::desk {

class CalendarGrid : public QWidget {
public:
    static constexpr int kFirstHour = 7;
    static constexpr int kLastHour = 20;  // the grid ends at this hour
    static constexpr int kSlotHeight = 26;
    static constexpr int kAxisWidth = 56;
    static constexpr int kHeaderHeight = 26;
    static constexpr int kSnapMinutes = 15;

    CalendarGrid(const CalendarModel& model, QWidget* parent = nullptr);

    std::function<void(host::ItemId)> onOpen;
    std::function<void(const QDateTime&)> onCreate;
    std::function<void(host::ItemId, const QDateTime&)> onMove;

    // The slot time under a point of the grid (snapped), nothing off the days.
    std::optional<QDateTime> timeAt(QPoint p, int snapMinutes) const;
    // The block of an entry, in grid coordinates.
    QRect blockOf(const CalendarEntry& e) const;
    const CalendarEntry* entryAt(QPoint p) const;
    // The colour of a status ("NO SHOW" red, "CANCELLED" grey, ...).
    static QColor statusColour(const QString& status);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    double dayWidth() const;
    int yOf(QTime t) const;

    const CalendarModel& m_model;
    host::ItemId m_dragged = 0;
    QPoint m_pressAt;
    int m_grabOffset = 0;  // from the block's top to where it was taken
    std::optional<QRect> m_dragBlock;
    bool m_dragging = false;
};

}  // namespace orlo::desk
