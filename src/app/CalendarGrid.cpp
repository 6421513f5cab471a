#include "app/CalendarGrid.h"

#include <QApplication>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "platform/core/Clock.h"

namespace orlo::desk {

namespace {

constexpr int kSlotsPerHour = 60 / CalendarModel::kSlotMinutes;
constexpr int kBlockMargin = 2;

}  // namespace

CalendarGrid::CalendarGrid(const CalendarModel& model, QWidget* parent)
    : QWidget(parent), m_model(model) {
    setObjectName(QStringLiteral("CalendarGrid"));
    setMouseTracking(false);
    setMinimumHeight(kHeaderHeight + (kLastHour - kFirstHour) * kSlotsPerHour * kSlotHeight + 1);
}

QSize CalendarGrid::sizeHint() const {
    return {kAxisWidth + 7 * 140, minimumHeight()};
}

double CalendarGrid::dayWidth() const {
    return double(width() - kAxisWidth) / std::max(1, m_model.dayCount());
}

int CalendarGrid::yOf(QTime t) const {
    const int minutes = (t.hour() - kFirstHour) * 60 + t.minute();
    return kHeaderHeight + minutes * kSlotHeight / CalendarModel::kSlotMinutes;
}

QColor CalendarGrid::statusColour(const QString& status) {
    const QString s = status.trimmed().toUpper();
    if (s == u"NO SHOW") {
        return {0xd9, 0x53, 0x4f};
    }
    if (s == u"CANCELLED") {
        return {0x9e, 0x9e, 0x9e};
    }
    if (s == u"ATTENDED" || s == u"COMPLETED") {
        return {0x4c, 0xae, 0x50};
    }
    if (s == u"CONFIRMED") {
        return {0x26, 0xa6, 0x9a};
    }
    if (s == u"BOOKED") {
        return {0x42, 0x85, 0xf4};
    }
    return {0xf0, 0xad, 0x4e};  // no status yet, or one of the clinic's own
}

QRect CalendarGrid::blockOf(const CalendarEntry& e) const {
    const int day = static_cast<int>(m_model.firstDay().daysTo(e.start.date()));
    const double w = dayWidth();
    const double laneWidth = (w - 2 * kBlockMargin) / std::max(1, e.lanes);
    const int x = kAxisWidth + static_cast<int>(day * w + kBlockMargin + e.lane * laneWidth);
    const QTime endTime = e.end.date() == e.start.date() ? e.end.time() : QTime(23, 59);
    const int top = std::max(kHeaderHeight, yOf(e.start.time()));
    const int bottom = std::max(top + kSlotHeight / 2, yOf(endTime));
    return {x, top, std::max(8, static_cast<int>(laneWidth) - 1), bottom - top - 1};
}

std::optional<QDateTime> CalendarGrid::timeAt(QPoint p, int snapMinutes) const {
    if (p.x() < kAxisWidth || p.y() < kHeaderHeight) {
        return std::nullopt;
    }
    const int day = static_cast<int>((p.x() - kAxisWidth) / dayWidth());
    if (day < 0 || day >= m_model.dayCount()) {
        return std::nullopt;
    }
    int minutes = (p.y() - kHeaderHeight) * CalendarModel::kSlotMinutes / kSlotHeight;
    minutes = minutes / snapMinutes * snapMinutes;
    const int lastStart = (kLastHour - kFirstHour) * 60 - snapMinutes;
    minutes = std::clamp(minutes, 0, lastStart);
    return naiveDateTime(m_model.firstDay().addDays(day),
                         QTime(kFirstHour, 0).addSecs(minutes * 60));
}

const CalendarEntry* CalendarGrid::entryAt(QPoint p) const {
    for (const CalendarEntry& e : m_model.entries()) {
        if (blockOf(e).contains(p)) {
            return &e;
        }
    }
    return nullptr;
}

void CalendarGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette pal = palette();
    p.fillRect(rect(), pal.base());
    const double w = dayWidth();
    const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    const QDate today = QDate::currentDate();

    // Working hours shaded apart from the evening; the hour lines stronger.
    for (int slot = 0; slot < (kLastHour - kFirstHour) * kSlotsPerHour; ++slot) {
        const int y = kHeaderHeight + slot * kSlotHeight;
        p.setPen(slot % kSlotsPerHour == 0 ? pal.mid().color() : pal.midlight().color());
        p.drawLine(kAxisWidth, y, width(), y);
        if (slot % kSlotsPerHour == 0) {
            p.setPen(pal.text().color());
            p.drawText(QRect(0, y, kAxisWidth - 6, kSlotHeight), Qt::AlignRight | Qt::AlignTop,
                       QStringLiteral("%1:00").arg(kFirstHour + slot / kSlotsPerHour, 2, 10,
                                                   QLatin1Char('0')));
        }
    }
    for (int d = 0; d < m_model.dayCount(); ++d) {
        const int x = kAxisWidth + static_cast<int>(d * w);
        const QDate day = m_model.firstDay().addDays(d);
        QRect header(x, 0, static_cast<int>(w), kHeaderHeight);
        if (day == today) {
            p.fillRect(header, pal.highlight().color().lighter(170));
        }
        p.setPen(pal.mid().color());
        p.drawLine(x, 0, x, height());
        p.setPen(pal.text().color());
        p.drawText(header, Qt::AlignCenter, english.toString(day, QStringLiteral("ddd d MMM")));
    }
    p.drawLine(kAxisWidth, kHeaderHeight, width(), kHeaderHeight);

    for (const CalendarEntry& e : m_model.entries()) {
        if (m_dragging && e.id == m_dragged) {
            continue;
        }
        const QRect r = blockOf(e);
        const QColor c = statusColour(e.status);
        p.fillRect(r, c.lighter(160));
        p.fillRect(QRect(r.left(), r.top(), 4, r.height()), c);
        p.setPen(c.darker(130));
        p.drawRect(r);
        p.setPen(pal.text().color());
        // A block of one line shows it all on that line; a taller one puts
        // the reason and status under the time and patient.
        const QString head =
            e.start.time().toString(QStringLiteral("HH:mm")) + QLatin1Char(' ') + e.patient;
        QStringList rest;
        for (const QString& part : {e.reason, e.status}) {
            if (!part.isEmpty()) {
                rest << part;
            }
        }
        const QRect textRect = r.adjusted(7, 1, -2, -1);
        const QFontMetrics fm = p.fontMetrics();
        if (textRect.height() < 2 * fm.height()) {
            const QString line =
                rest.isEmpty() ? head
                               : head + QStringLiteral(" · ") + rest.join(QStringLiteral(" · "));
            p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                       fm.elidedText(line, Qt::ElideRight, textRect.width()));
        } else {
            p.drawText(textRect, Qt::AlignLeft | Qt::AlignTop,
                       fm.elidedText(head, Qt::ElideRight, textRect.width()) + QLatin1Char('\n') +
                           fm.elidedText(rest.join(QStringLiteral(" · ")), Qt::ElideRight,
                                         textRect.width()));
        }
    }
    if (m_dragging && m_dragBlock) {
        p.setPen(QPen(pal.highlight().color(), 2, Qt::DashLine));
        p.drawRect(*m_dragBlock);
    }
}

void CalendarGrid::mousePressEvent(QMouseEvent* event) {
    m_dragged = 0;
    m_dragging = false;
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (const CalendarEntry* e = entryAt(event->position().toPoint())) {
        m_dragged = e->id;
        m_pressAt = event->position().toPoint();
        m_grabOffset = m_pressAt.y() - blockOf(*e).top();
    }
}

void CalendarGrid::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragged == 0) {
        return;
    }
    const QPoint at = event->position().toPoint();
    if (!m_dragging && (at - m_pressAt).manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    m_dragging = true;
    const CalendarEntry* e = nullptr;
    for (const CalendarEntry& x : m_model.entries()) {
        if (x.id == m_dragged) {
            e = &x;
        }
    }
    const auto when = timeAt(QPoint(at.x(), at.y() - m_grabOffset), kSnapMinutes);
    if (e != nullptr && when) {
        CalendarEntry moved = *e;
        moved.end = when->addSecs(e->start.secsTo(e->end));
        moved.start = *when;
        moved.lane = 0;
        moved.lanes = 1;
        m_dragBlock = blockOf(moved);
    }
    update();
}

void CalendarGrid::mouseReleaseEvent(QMouseEvent* event) {
    const host::ItemId dragged = m_dragged;
    const bool dragging = m_dragging;
    m_dragged = 0;
    m_dragging = false;
    m_dragBlock.reset();
    if (!dragging || dragged == 0) {
        return;
    }
    update();
    const QPoint at = event->position().toPoint();
    if (const auto when = timeAt(QPoint(at.x(), at.y() - m_grabOffset), kSnapMinutes);
        when && onMove) {
        onMove(dragged, *when);
    }
}

void CalendarGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (const CalendarEntry* e = entryAt(at)) {
        if (onOpen) {
            onOpen(e->id);
        }
    } else if (const auto when = timeAt(at, CalendarModel::kSlotMinutes); when && onCreate) {
        onCreate(*when);
    }
}

}  // namespace orlo::desk
