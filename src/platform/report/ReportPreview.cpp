#include "platform/report/ReportPreview.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

#include "platform/core/ErrorTrap.h"
#include "platform/report/ReportExport.h"
#include "platform/ui/MessageBox.h"

namespace orlo::report {

namespace {

// The zoom choices: a factor of the page's size in points, 0 to fit the width.
constexpr std::pair<const char*, qreal> kZooms[] = {{"Fit Width", 0}, {"50%", 0.5},  {"75%", 0.75},
                                                    {"100%", 1.0},    {"150%", 1.5}, {"200%", 2.0}};
constexpr int kPageGap = 16;  // grey border around the page, pixels
// Rows read per step while the preview is open: a few milliseconds each, so
// paging and zooming stay quick while the rest of a long report arrives.
constexpr qint64 kReadStepRows = 4000;

QToolButton* navButton(QWidget* parent, const char* text, const char* name) {
    auto* b = new QToolButton(parent);
    b->setText(QString::fromLatin1(text));
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoRaise(true);
    return b;
}

}  // namespace

ReportPreview::ReportPreview(ReportPages pages, MessageBoxService& boxes, QWidget* parent)
    : QDialog(parent), m_pages(std::move(pages)), m_boxes(boxes) {
    const ReportDefinition& def = m_pages.report().definition();
    setObjectName(def.name());
    setWindowTitle(def.caption());
    setModal(true);

    auto* bar = new QHBoxLayout;
    m_first = navButton(this, "|<", "cmdFirstPage");
    m_previous = navButton(this, "<", "cmdPreviousPage");
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("lblPage"));
    m_next = navButton(this, ">", "cmdNextPage");
    m_last = navButton(this, ">|", "cmdLastPage");
    m_zoomBox = new QComboBox(this);
    m_zoomBox->setObjectName(QStringLiteral("cmbZoom"));
    for (const auto& [text, zoom] : kZooms) {
        m_zoomBox->addItem(QString::fromLatin1(text), zoom);
    }
    auto* printButton = new QPushButton(QStringLiteral("&Print..."), this);
    auto* pdfButton = new QPushButton(QStringLiteral("Save as P&DF..."), this);
    auto* csvButton = new QPushButton(QStringLiteral("Save as &CSV..."), this);
    auto* closeButton = new QPushButton(QStringLiteral("&Close"), this);
    for (QWidget* w : std::initializer_list<QWidget*>{m_first, m_previous, m_pageLabel, m_next,
                                                      m_last, m_zoomBox}) {
        bar->addWidget(w);
    }
    bar->addStretch();
    for (QPushButton* b : {printButton, pdfButton, csvButton, closeButton}) {
        b->setAutoDefault(false);
        bar->addWidget(b);
    }

    m_canvas = new QLabel;
    m_canvas->setAlignment(Qt::AlignCenter);
    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setWidget(m_canvas);
    m_scroll->setWidgetResizable(false);
    m_scroll->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    connect(m_first, &QToolButton::clicked, this, [this] { showPage(0); });
    connect(m_previous, &QToolButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(m_next, &QToolButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(m_last, &QToolButton::clicked, this, [this] { showLastPage(); });
    connect(m_zoomBox, &QComboBox::currentIndexChanged, this,
            [this](int i) { setZoom(m_zoomBox->itemData(i).toReal()); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(); });
    connect(pdfButton, &QPushButton::clicked, this, [this] { saveAsPdf(); });
    connect(csvButton, &QPushButton::clicked, this, [this] { saveAsCsv(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    const QSizeF paper = m_pages.paperSize();
    resize(int(paper.width()) + 80, 720);
    render();
    if (!m_pages.complete()) {
        m_reader = new QTimer(this);
        m_reader->setInterval(0);
        connect(m_reader, &QTimer::timeout, this, [this] { readOn(); });
        m_reader->start();
    }
}

void ReportPreview::readOn() {
    const Status read = m_pages.fetchMore(kReadStepRows);
    if (m_pages.complete()) {
        m_reader->stop();
        render();
    } else {
        updatePageControls();
    }
    if (!read) {
        reportReadFailure(read);
    }
}

void ReportPreview::readThrough(int page) {
    while (!m_pages.complete() && page >= pageCount()) {
        if (const Status read = m_pages.fetchMore(kReadStepRows); !read) {
            reportReadFailure(read);
        }
    }
}

void ReportPreview::reportReadFailure(const Status& s) {
    if (m_reader) {
        m_reader->stop();
    }
    m_boxes.show(
        QStringLiteral("Not every row of the report could be read: %1").arg(s.error().description),
        MsgButtons::OK, MsgIcon::Critical, m_pages.report().definition().caption());
}

void ReportPreview::showPage(int page) {
    readThrough(page);
    const int clamped = std::clamp(page, 0, pageCount() - 1);
    if (clamped != m_page) {
        m_page = clamped;
        render();
        m_scroll->verticalScrollBar()->setValue(0);
    }
}

void ReportPreview::showLastPage() {
    readThrough(std::numeric_limits<int>::max());
    showPage(pageCount() - 1);
}

void ReportPreview::setZoom(qreal zoom) {
    m_zoom = zoom;
    render();
}

qreal ReportPreview::pixelsPerPoint() const {
    if (m_zoom > 0) {
        return m_zoom * logicalDpiX() / 72.0;
    }
    const int room = m_scroll->viewport()->width() - 2 * kPageGap;
    return std::max(0.25, room / m_pages.paperSize().width());
}

void ReportPreview::render() {
    const qreal scale = pixelsPerPoint();
    const qreal ratio = devicePixelRatioF();
    const QSizeF paper = m_pages.paperSize() * scale;
    QImage image((paper * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(scale, scale);
        m_pages.paint(painter, m_page);
    }
    m_canvas->setPixmap(QPixmap::fromImage(image));
    m_canvas->resize(paper.toSize() + QSize(2 * kPageGap, 2 * kPageGap));
    updatePageControls();
}

void ReportPreview::updatePageControls() {
    const QLocale locale;
    m_pageLabel->setText(QStringLiteral("Page %1 of %2")
                             .arg(locale.toString(m_page + 1), locale.toString(pageCount())));
    m_first->setEnabled(m_page > 0);
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < pageCount());
    m_last->setEnabled(m_page + 1 < pageCount());
}

void ReportPreview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_PageDown:
            showPage(m_page + 1);
            return;
        case Qt::Key_PageUp:
            showPage(m_page - 1);
            return;
        case Qt::Key_Home:
            showPage(0);
            return;
        case Qt::Key_End:
            showLastPage();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event) {
    // "Fit Width" follows the page area's width once the layout has set it.
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize && m_zoom == 0) {
        render();
    }
    return QDialog::eventFilter(watched, event);
}

void ReportPreview::print() {
    const ReportDefinition& def = m_pages.report().definition();
    readThrough(std::numeric_limits<int>::max());
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(def.page().size));
    printer.setPageOrientation(def.page().orientation);
    printer.setFullPage(true);
    printer.setDocName(def.caption());
    printer.setFromTo(1, pageCount());
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, pageCount());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const int from = printer.fromPage() > 0 ? printer.fromPage() - 1 : 0;
    const int to = printer.toPage() > 0 ? std::min(printer.toPage(), pageCount()) : pageCount();
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_boxes.show(QStringLiteral("The report could not be sent to the printer."), MsgButtons::OK,
                     MsgIcon::Critical, def.caption());
        return;
    }
    const qreal scale = printer.resolution() / 72.0;
    painter.scale(scale, scale);
    for (int p = from; p < to; ++p) {
        if (p > from) {
            printer.newPage();
        }
        m_pages.paint(painter, p);
    }
    painter.end();
}

Status ReportPreview::exportTo(const QString& path, bool pdf) {
    QProgressDialog progress(
        pdf ? QStringLiteral("Writing the PDF...") : QStringLiteral("Writing the CSV file..."),
        QStringLiteral("Cancel"), 0, 100, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const ExportProgress step = [&progress](qint64 done, qint64 total) {
        progress.setValue(total > 0 ? int(done * 100 / total) : 100);
        return !progress.wasCanceled();
    };
    const Status s = pdf ? writePdf(m_pages, path, step) : writeCsv(m_pages, path, step);
    progress.reset();
    if (!s.ok() && s.error().number != kExportCancelled) {
        m_boxes.show(s.error().description, MsgButtons::OK, MsgIcon::Critical,
                     m_pages.report().definition().caption());
    }
    return s;
}

void ReportPreview::saveAsPdf() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save as PDF"), m_pages.report().definition().caption() + u".pdf",
        QStringLiteral("PDF files (*.pdf)"));
    if (!path.isEmpty()) {
        ignoreError(exportTo(path, true), "exportTo shows the failure in a box");
    }
}

void ReportPreview::saveAsCsv() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save as CSV"), m_pages.report().definition().caption() + u".csv",
        QStringLiteral("CSV files (*.csv)"));
    if (!path.isEmpty()) {
        ignoreError(exportTo(path, false), "exportTo shows the failure in a box");
    }
}

Status showReportPreview(Report& report, MessageBoxService& boxes, QWidget* parent) {
    Result<ReportPages> pages = ReportPages::create(report);
    if (!pages) {
        return pages.error();
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return okStatus();
    }
    ReportPreview preview(std::move(pages).value(), boxes, parent);
    preview.exec();
    return okStatus();
}

}  // namespace orlo::report
