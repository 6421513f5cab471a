#include "app/CalendarView.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/CalendarGrid.h"
#include "app/SaveFailure.h"
#include "host/BuiltInFields.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/StoreSession.h"
#include "platform/core/Clock.h"
#include "platform/ui/MessageBox.h"

namespace orlo::desk {

namespace {

constexpr char16_t kCalendarTitle[] = u"Scheduler";

QToolButton* barButton(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setAutoRaise(true);
    return b;
}

}  // namespace

CalendarView::CalendarView(const Clock& clock, MessageBoxService& messageBoxes, QWidget* parent)
    : QWidget(parent), m_clock(clock), m_messageBoxes(messageBoxes) {
    setObjectName(QStringLiteral("Calendar"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    auto* bar = new QHBoxLayout;
    auto* spans = new QButtonGroup(this);
    const std::pair<CalendarSpan, QString> spanButtons[] = {
        {CalendarSpan::Day, QStringLiteral("Day")},
        {CalendarSpan::WorkWeek, QStringLiteral("Work week")},
        {CalendarSpan::Week, QStringLiteral("Week")},
    };
    for (const auto& [span, text] : spanButtons) {
        QToolButton* b =
            barButton(QStringLiteral("CalendarSpan") + QString(text).remove(u' '), text, this);
        b->setCheckable(true);
        b->setChecked(span == m_model.span());
        spans->addButton(b);
        m_spanButtons.emplace_back(span, b);
        connect(b, &QToolButton::clicked, this, [this, span = span] { showSpan(span); });
        bar->addWidget(b);
    }
    bar->addSpacing(12);
    QToolButton* prev = barButton(QStringLiteral("CalendarPrevious"), QStringLiteral("◀"), this);
    QToolButton* today = barButton(QStringLiteral("CalendarToday"), QStringLiteral("Today"), this);
    QToolButton* next = barButton(QStringLiteral("CalendarNext"), QStringLiteral("▶"), this);
    prev->setToolTip(QStringLiteral("Previous"));
    next->setToolTip(QStringLiteral("Next"));
    connect(prev, &QToolButton::clicked, this, [this] { m_model.previous(); });
    connect(today, &QToolButton::clicked, this, [this] { this->today(); });
    connect(next, &QToolButton::clicked, this, [this] { m_model.next(); });
    bar->addWidget(prev);
    bar->addWidget(today);
    bar->addWidget(next);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("CalendarTitle"));
    QFont big = m_title->font();
    big.setPointSizeF(big.pointSizeF() * 1.25);
    big.setBold(true);
    m_title->setFont(big);
    bar->addSpacing(12);
    bar->addWidget(m_title, 1);
    QToolButton* list =
        barButton(QStringLiteral("CalendarList"), QStringLiteral("List view"), this);
    connect(list, &QToolButton::clicked, this, [this] {
        if (m_onList) {
            m_onList();
        }
    });
    bar->addWidget(list);
    column->addLayout(bar);

    auto* body = new QHBoxLayout;
    m_navigator = new QCalendarWidget(this);
    m_navigator->setObjectName(QStringLiteral("CalendarNavigator"));
    m_navigator->setGridVisible(false);
    m_navigator->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_navigator->setFixedWidth(m_navigator->sizeHint().width());
    connect(m_navigator, &QCalendarWidget::clicked, this, [this](QDate d) { showDay(d); });
    auto* side = new QVBoxLayout;
    side->addWidget(m_navigator);
    side->addStretch(1);
    body->addLayout(side);

    m_grid = new CalendarGrid(m_model, this);
    m_grid->onOpen = [this](host::ItemId id) { openEntry(id); };
    m_grid->onCreate = [this](const QDateTime& at) { createAt(at); };
    m_grid->onMove = [this](host::ItemId id, const QDateTime& at) { moveEntry(id, at); };
    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(m_grid);
    body->addWidget(m_scroll, 1);
    column->addLayout(body, 1);

    m_model.setOnChanged([this] { modelChanged(); });
    m_model.show(CalendarSpan::WorkWeek, m_clock.today());
}

CalendarView::~CalendarView() = default;

void CalendarView::setFolder(std::shared_ptr<host::MAPIFolder> folder) {
    m_model.setFolder(std::move(folder));
}

void CalendarView::showSpan(CalendarSpan span) {
    m_model.show(span, m_model.firstDay().isValid() ? m_model.firstDay() : m_clock.today());
}

void CalendarView::showDay(QDate day) {
    m_model.show(m_model.span(), day);
}

void CalendarView::today() {
    m_model.show(m_model.span(), m_clock.today());
}

void CalendarView::modelChanged() {
    m_title->setText(m_model.title());
    for (const auto& [span, button] : m_spanButtons) {
        button->setChecked(span == m_model.span());
    }
    if (m_navigator->selectedDate() < m_model.firstDay() ||
        m_navigator->selectedDate() >= m_model.firstDay().addDays(m_model.dayCount())) {
        const QSignalBlocker block(m_navigator);
        m_navigator->setSelectedDate(m_model.firstDay());
    }
    if (const Status& s = m_model.loadStatus(); !s) {
        m_title->setText(s.error().description);
    }
    m_grid->update();
}

void CalendarView::openEntry(host::ItemId id) {
    const auto& folder = m_model.folder();
    if (!folder) {
        return;
    }
    const auto item = folder->session()->itemObject(id);
    const Status s = item ? (*item)->Display() : Status(item.error());
    if (!s) {
        m_messageBoxes.show(s.error().description, MsgButtons::OK, MsgIcon::Critical,
                            QString::fromUtf16(kCalendarTitle));
    }
}

void CalendarView::createAt(const QDateTime& start) {
    const auto& folder = m_model.folder();
    if (!folder) {
        return;
    }
    const auto item = folder->Items()->Add();
    Status s = item ? okStatus() : Status(item.error());
    if (s) {
        s = (*item)->setUserProperty(QString::fromUtf16(host::kStartField), Variant(start));
    }
    if (s) {
        s = (*item)->setUserProperty(QString::fromUtf16(host::kEndField),
                                     Variant(start.addSecs(CalendarModel::kSlotMinutes * 60)));
    }
    if (s) {
        s = (*item)->Display();
    }
    if (!s) {
        m_messageBoxes.show(s.error().description, MsgButtons::OK, MsgIcon::Critical,
                            QString::fromUtf16(kCalendarTitle));
    }
}

void CalendarView::moveEntry(host::ItemId id, const QDateTime& start) {
    if (const Status s = m_model.move(id, start); !s) {
        // As a save from the form: a handler that refused has said why.
        tellSaveFailure(m_messageBoxes, s.error());
    }
    m_model.reload();
}

}  // namespace orlo::desk
