#include "app/DateField.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/core/Locale.h"

namespace orlo::desk {

namespace {
// Where the calendar opens for an empty box: the working day's first slot.
constexpr int kFirstHour = 9;
}  // namespace

DateField::DateField(const QString& name, bool withTime, const Locale& locale, QWidget* parent)
    : QWidget(parent), m_withTime(withTime), m_locale(locale) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(name);
    m_edit->setPlaceholderText(withTime ? m_locale.shortDateFormat() + QLatin1Char(' ') +
                                              m_locale.longTimeFormat()
                                        : m_locale.shortDateFormat());
    m_button = new QToolButton(this);
    m_button->setObjectName(name + QStringLiteral("Calendar"));
    m_button->setText(QStringLiteral("…"));
    m_button->setToolTip(withTime ? QStringLiteral("Pick the date and time")
                                  : QStringLiteral("Pick the date"));
    row->addWidget(m_edit, 1);
    row->addWidget(m_button);
    connect(m_button, &QToolButton::clicked, this, [this] { showCalendar(); });
}

void DateField::pick(const QDateTime& when) {
    m_edit->setText(m_withTime ? m_locale.generalDate(when) : m_locale.shortDate(when.date()));
    if (m_picked) {
        m_picked();
    }
}

void DateField::showCalendar() {
    const std::optional<QDateTime> shown = m_locale.parseDateTime(m_edit->text().trimmed());
    const QDate day = shown ? shown->date() : QDate::currentDate();
    const QTime time = shown ? shown->time() : QTime(kFirstHour, 0);

    auto* popup = new QWidget(this, Qt::Popup);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    auto* column = new QVBoxLayout(popup);
    auto* calendar = new QCalendarWidget(popup);
    calendar->setSelectedDate(day);
    calendar->setGridVisible(true);
    column->addWidget(calendar);
    if (m_withTime) {
        auto* timeRow = new QHBoxLayout;
        auto* timeEdit = new QTimeEdit(time, popup);
        timeEdit->setDisplayFormat(QStringLiteral("HH:mm"));
        auto* ok = new QPushButton(QStringLiteral("OK"), popup);
        timeRow->addWidget(timeEdit, 1);
        timeRow->addWidget(ok);
        column->addLayout(timeRow);
        auto accept = [this, popup, calendar, timeEdit] {
            pick(QDateTime(calendar->selectedDate(), timeEdit->time()));
            popup->close();
        };
        connect(ok, &QPushButton::clicked, popup, accept);
        connect(calendar, &QCalendarWidget::activated, popup, accept);
    } else {
        connect(calendar, &QCalendarWidget::clicked, popup, [this, popup](QDate d) {
            pick(QDateTime(d, QTime(0, 0)));
            popup->close();
        });
    }
    popup->move(mapToGlobal(QPoint(0, height())));
    popup->show();
}

}  // namespace orlo::desk
