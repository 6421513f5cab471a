#include "search/SearchListView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>

#include "search/SearchForm.h"

namespace orlo::search {

namespace {
constexpr int kSampleRows = 200;
constexpr int kMaxColumnWidth = 260;
}  // namespace

SearchListView::SearchListView(SearchForm& form, const QString& name, QWidget* parent)
    : QTableView(parent), m_form(form) {
    setObjectName(name);
    setModel(&form.list());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setShowGrid(false);
    verticalHeader()->hide();
    // Fixed row heights: the view never measures 100,000 rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(true);

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_form.lvwTransactions_ColumnClick(column);
        horizontalHeader()->setSortIndicatorShown(true);
        horizontalHeader()->setSortIndicator(m_form.list().sortColumn(), m_form.list().sortOrder());
        showSelected();
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { m_form.setSelectedRow(current.row()); });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        m_form.setSelectedRow(index.row());
        Q_EMIT rowActivated();
    });
    m_fill.setInterval(0);
    connect(&m_fill, &QTimer::timeout, this, &SearchListView::fillNextStep);
    rowsChanged();
}

void SearchListView::fillNextStep() {
    m_form.loadMore();
    if (!m_form.isFilling()) {
        m_fill.stop();
    }
}

void SearchListView::fitColumns() {
    const QFontMetrics header(horizontalHeader()->font());
    const QFontMetrics cells(font());
    const ListViewModel& list = m_form.list();
    const int sample = std::min(list.rowCount(), kSampleRows);
    for (int c = 0; c < list.columnCount(); ++c) {
        int width = header.horizontalAdvance(
                        list.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) +
                    24;
        for (int r = 0; r < sample; ++r) {
            width = std::max(width, cells.horizontalAdvance(list.text(r, c).toString()) + 16);
        }
        setColumnWidth(c, std::min(width, kMaxColumnWidth));
    }
}

void SearchListView::rowsChanged() {
    fitColumns();
    showSelected();
    if (m_form.isFilling()) {
        m_fill.start();
    }
}

void SearchListView::showSelected() {
    const int row = m_form.selectedRow();
    if (row < 0) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index, QAbstractItemView::PositionAtCenter);
}

QPushButton* namedButton(QWidget* parent, const char* name, const char16_t* caption,
                         const char16_t* tip) {
    auto* b = new QPushButton(QString::fromUtf16(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    if (tip != nullptr) {
        b->setToolTip(QString::fromUtf16(tip));
    }
    b->setAutoDefault(false);
    return b;
}

QHBoxLayout* searchButtonRow(QWidget& window, SearchForm& form,
                             std::initializer_list<QPushButton*> first,
                             std::function<void()> refresh) {
    QPushButton* refreshButton = namedButton(&window, "cmdRefresh", u"&Refresh",
                                             u"Click Here to Refresh/Reload All Records..");
    QPushButton* help = namedButton(&window, "cmdHelp", u"&Help");
    QPushButton* close = namedButton(&window, "cmdClose", u"&Close");
    auto* row = new QHBoxLayout;
    for (QPushButton* b : first) {
        row->addWidget(b);
    }
    row->addWidget(refreshButton);
    row->addStretch(1);
    row->addWidget(help);
    row->addWidget(close);
    QObject::connect(refreshButton, &QPushButton::clicked, &window, std::move(refresh));
    QObject::connect(help, &QPushButton::clicked, &window, [&form] { form.cmdHelp_Click(); });
    QObject::connect(close, &QPushButton::clicked, &window, &QWidget::close);
    return row;
}

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize size = window.frameGeometry().size();
    window.move(area.left() + (area.width() - size.width()) / 2,
                area.top() + (area.height() - size.height()) / 2);
}

}  // namespace orlo::search
