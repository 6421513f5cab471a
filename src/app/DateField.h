#pragma once
// DateField: a text box for a date (or a date and time) with a calendar
// button beside it. The box keeps whatever the user types; the calendar
// only fills it, with the date in the workstation's short date form (and,
// for a date and time, the general date form with the time picked beside
// the calendar). An empty box stays empty: nothing is written until the
// user picks a date. `picked` runs after the calendar filled the box.

#include <QWidget>
#include <functional>

class QLineEdit;
class QToolButton;

namespace orlo {
class Locale;
}

namespace orlo::desk {

class DateField : public QWidget {
public:
    DateField(const QString& name, bool withTime, const Locale& locale, QWidget* parent);

    QLineEdit* edit() const { return m_edit; }
    QToolButton* button() const { return m_button; }
    void setOnPicked(std::function<void()> picked) { m_picked = std::move(picked); }
    // Fills the box as the calendar does (for the calendar's own OK and for tests).
    void pick(const QDateTime& when);

private:
    void showCalendar();

    bool m_withTime;
    const Locale& m_locale;
    QLineEdit* m_edit;
    QToolButton* m_button;
    std::function<void()> m_picked;
};

}  // namespace orlo::desk
