#include "search/PatientHistoryWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "search/SearchListView.h"

namespace orlo::search {

PatientHistoryWindow::PatientHistoryWindow(SearchServices services)
    : QWidget(nullptr, Qt::Window), m_form(services) {
    setObjectName(QString::fromUtf16(kPatientHistoryWindow));
    setWindowTitle(m_form.caption());
    setAttribute(Qt::WA_DeleteOnClose);
    m_form.setFillSteps(kFirstListRows, kListRowsPerStep);
    resize(900, 420);
}

PatientHistoryWindow::~PatientHistoryWindow() {
    m_form.Form_Unload();
}

bool PatientHistoryWindow::load() {
    if (!m_form.Form_Load()) {
        return false;
    }
    setWindowTitle(m_form.caption());
    auto* label = new QLabel(QString::fromUtf16(kPatientHistoryLabel), this);
    label->setObjectName(QStringLiteral("Label3"));
    m_list = new SearchListView(m_form, QStringLiteral("lvwPatientHist"), this);
    QPushButton* open = namedButton(this, "cmdEdit", u"&Open");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list, 1);
    layout->addLayout(searchButtonRow(*this, m_form, {open}, [this] {
        m_form.cmdRefresh_Click();
        m_list->rowsChanged();
        setWindowTitle(m_form.caption());
    }));

    connect(open, &QPushButton::clicked, this, [this] { m_form.cmdEdit_Click(); });
    connect(m_list, &SearchListView::rowActivated, this,
            [this] { m_form.lvwPatientHist_DblClick(); });
    centreOnScreen(*this);
    return true;
}

}  // namespace orlo::search
