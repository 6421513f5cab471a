#include "search/RecallByMonthWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "search/SearchListView.h"

namespace orlo::search {

RecallByMonthWindow::RecallByMonthWindow(SearchServices services, RecallByMonth::PrintMonth print)
    : QWidget(nullptr, Qt::Window), m_form(services, std::move(print)) {
    setObjectName(QString::fromUtf16(kRecallByMonthWindow));
    setWindowTitle(m_form.caption());
    setAttribute(Qt::WA_DeleteOnClose);
    m_form.setFillSteps(kFirstListRows, kListRowsPerStep);
    resize(1000, 560);
    m_form.Form_Load();

    auto* yearLabel = new QLabel(QStringLiteral("1. Select Year:"), this);
    auto* years = new QComboBox(this);
    years->setObjectName(QStringLiteral("cmbYears"));
    years->addItems(m_form.years());
    years->setCurrentText(m_form.yearText());
    yearLabel->setBuddy(years);
    auto* monthLabel = new QLabel(QStringLiteral("2. Double-Click Month to View or Print:"), this);
    monthLabel->setWordWrap(true);
    auto* months = new QListWidget(this);
    months->setObjectName(QStringLiteral("lstMonths"));
    months->addItems(monthNames());
    monthLabel->setBuddy(months);
    m_list = new SearchListView(m_form, QStringLiteral("lvwTransactions"), this);
    m_print = namedButton(this, "cmdPrint", u"&Print", u"Print by Month...");
    m_print->setEnabled(m_form.printEnabled());

    auto* picks = new QVBoxLayout;
    picks->addWidget(yearLabel);
    picks->addWidget(years);
    picks->addSpacing(8);
    picks->addWidget(monthLabel);
    picks->addWidget(months, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(picks);
    top->addWidget(m_list, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(searchButtonRow(*this, m_form, {m_print}, [this] {
        m_form.cmdRefresh_Click();
        listChanged();
    }));
    months->setFixedWidth(180);
    years->setFixedWidth(180);
    monthLabel->setFixedWidth(180);

    connect(years, &QComboBox::activated, this, [this, years](int index) {
        m_form.cmbYears_Click(years->itemText(index));
        listChanged();
    });
    // A click (or Enter, or a double click) on a month shows it.
    const auto showMonth = [this](QListWidgetItem* item) {
        m_form.lstMonths_Click(item->text());
        listChanged();
    };
    connect(months, &QListWidget::itemClicked, this, showMonth);
    connect(months, &QListWidget::itemActivated, this, showMonth);
    connect(m_print, &QPushButton::clicked, this, [this] { m_form.cmdPrint_Click(); });
    centreOnScreen(*this);
}

RecallByMonthWindow::~RecallByMonthWindow() {
    m_form.Form_Unload();
}

void RecallByMonthWindow::listChanged() {
    m_list->rowsChanged();
    m_print->setEnabled(m_form.printEnabled());
}

}  // namespace orlo::search
