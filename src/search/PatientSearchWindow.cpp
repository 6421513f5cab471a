#include "search/PatientSearchWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "search/PatientSelector.h"
#include "search/SearchListView.h"

namespace orlo::search {

PatientSearchWindow::PatientSearchWindow(SearchServices services, PatientFinder::Kind kind)
    : QWidget(nullptr, Qt::Window) {
    const bool selector = kind == PatientFinder::Kind::Selector;
    if (selector) {
        m_form = std::make_unique<PatientSelector>(services);
    } else {
        m_form = std::make_unique<PatientFinder>(services);
    }
    setObjectName(
        QString::fromUtf16(selector ? kSchedulePatientSearchWindow : kPatientSearchWindow));
    setWindowTitle(m_form->caption());
    setAttribute(Qt::WA_DeleteOnClose);
    m_form->setFillSteps(kFirstListRows, kListRowsPerStep);
    resize(980, 560);
}

PatientSearchWindow::~PatientSearchWindow() {
    m_form->Form_Unload();
}

bool PatientSearchWindow::load() {
    if (!m_form->Form_Load()) {
        return false;
    }
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    tabs->addTab(page, QStringLiteral("General"));

    auto* searchByLabel = new QLabel(QStringLiteral("Search By:"), page);
    m_searchBy = new QComboBox(page);
    m_searchBy->setObjectName(QStringLiteral("Combo1"));
    m_searchBy->addItems(searchByChoices());
    searchByLabel->setBuddy(m_searchBy);
    auto* textLabel = new QLabel(QStringLiteral("Enter Search Criteria:"), page);
    m_text = new QLineEdit(page);
    m_text->setObjectName(QStringLiteral("Text1"));
    textLabel->setBuddy(m_text);
    QPushButton* search =
        namedButton(page, "Search1", u"Advanced Search...", u"Click Here for Advanced Find..");

    auto* criteria = new QGridLayout;
    criteria->addWidget(searchByLabel, 0, 0);
    criteria->addWidget(m_searchBy, 0, 1);
    criteria->addWidget(textLabel, 1, 0);
    criteria->addWidget(m_text, 1, 1);
    criteria->addWidget(search, 1, 2);
    criteria->setColumnStretch(1, 1);
    criteria->setColumnStretch(3, 2);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(criteria);
    if (auto* selectorForm = dynamic_cast<PatientSelector*>(m_form.get())) {
        auto* label = new QLabel(QString::fromUtf16(kSelectorLabel), page);
        label->setObjectName(QStringLiteral("Label3"));
        QPushButton* select = namedButton(
            page, "cmdSelectPT", u"&Select...",
            u"Highlight a patient and click here to autofill data into your appointment...");
        auto* row = new QHBoxLayout;
        row->addWidget(label, 1);
        row->addWidget(select);
        layout->addLayout(row);
        connect(select, &QPushButton::clicked, this, [this, selectorForm] {
            if (selectorForm->cmdSelectPT_Click()) {
                close();
            }
        });
    }
    m_list = new SearchListView(*m_form, QStringLiteral("lvwTransactions"), page);
    layout->addWidget(m_list, 1);
    addButtonRow(page);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(tabs);

    connect(m_searchBy, &QComboBox::currentTextChanged, this,
            [this](const QString& choice) { m_form->setSearchBy(choice); });
    connect(m_text, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_form->Text1_Change(text);
        m_list->showSelected();
    });
    connect(m_text, &QLineEdit::returnPressed, search, &QPushButton::click);
    connect(search, &QPushButton::clicked, this, [this] {
        m_form->Search1_Click();
        afterReload();
    });
    connect(m_list, &SearchListView::rowActivated, this, [this] { m_form->cmdEdit_Click(); });
    centreOnScreen(*this);
    return true;
}

void PatientSearchWindow::addButtonRow(QWidget* page) {
    QPushButton* add = namedButton(page, "cmdAdd", u"&Add");
    QPushButton* edit = namedButton(page, "cmdEdit", u"E&dit");
    QPushButton* remove = namedButton(page, "cmdDelete", u"De&lete");
    static_cast<QVBoxLayout*>(page->layout())
        ->addLayout(searchButtonRow(*this, *m_form, {add, edit, remove}, [this] {
            m_form->cmdRefresh_Click();
            afterReload();
        }));

    connect(add, &QPushButton::clicked, this, [this] { m_form->cmdAdd_Click(); });
    connect(edit, &QPushButton::clicked, this, [this] { m_form->cmdEdit_Click(); });
    connect(remove, &QPushButton::clicked, this, [this] {
        m_form->cmdDelete_Click();
        afterReload();
    });
}

void PatientSearchWindow::afterReload() {
    m_list->rowsChanged();
}

}  // namespace orlo::search
