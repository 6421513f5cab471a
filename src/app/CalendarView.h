#pragma once
// CalendarView: the Scheduler as a calendar. A bar with the spans (day,
// work week, week), previous / today / next and the days shown; a month
// calendar to jump to a day; and the day grid: a column per day, half-hour
// rows, each appointment a block with its patient, reason and a colour for
// its status. Double-clicking a block opens the appointment; double-clicking
// an empty slot makes a new appointment starting there; dragging a block to
// another time or day moves the appointment (saved at once, as the form's
// Save does).

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "app/CalendarModel.h"

class QCalendarWidget;
class QLabel;
class QScrollArea;
class QToolButton;

namespace orlo {
class Clock;
class MessageBoxService;
}  // namespace orlo

namespace orlo::desk {

class CalendarGrid;

class CalendarView : public QWidget {
public:
    CalendarView(const Clock& clock, MessageBoxService& messageBoxes, QWidget* parent = nullptr);
    ~CalendarView() override;

    void setFolder(std::shared_ptr<host::MAPIFolder> folder);
    CalendarModel& model() { return m_model; }
    CalendarGrid* grid() const { return m_grid; }
    void showSpan(CalendarSpan span);
    void showDay(QDate day);
    void today();
    // Runs when the user asks for the flat list instead.
    void setOnListView(std::function<void()> onList) { m_onList = std::move(onList); }

    // What the grid's mouse does, callable without a mouse (the automation channel).
    void openEntry(host::ItemId id);
    void createAt(const QDateTime& start);
    void moveEntry(host::ItemId id, const QDateTime& start);

private:
    void modelChanged();

    const Clock& m_clock;
    MessageBoxService& m_messageBoxes;
    CalendarModel m_model;
    CalendarGrid* m_grid = nullptr;
    QScrollArea* m_scroll = nullptr;
    QCalendarWidget* m_navigator = nullptr;
    QLabel* m_title = nullptr;
    std::vector<std::pair<CalendarSpan, QToolButton*>> m_spanButtons;
    std::function<void()> m_onList;
};

}  // namespace orlo::desk
