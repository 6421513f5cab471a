#pragma once
// ReportPreview: the modal preview of a report, the way the report
// runtime's viewer shows one: one page at a time at a chosen zoom, paging
// with the buttons or Page Up / Page Down, printing through the platform's
// print dialog, and saving as PDF or CSV. Only the page on screen is
// painted, so the first page shows at once however long the report is.
// Rows a data source has still to read arrive in steps between events (one
// UI thread): the page count grows until the last row is there.

#include <QDialog>
#include <QImage>

#include "platform/core/Result.h"
#include "platform/report/ReportPages.h"

class QComboBox;
class QLabel;
class QScrollArea;
class QTimer;
class QToolButton;

namespace orlo {
class MessageBoxService;
}

namespace orlo::report {

class ReportPreview final : public QDialog {
    Q_OBJECT
public:
    // The report must outlive the preview.
    ReportPreview(ReportPages pages, MessageBoxService& boxes, QWidget* parent = nullptr);

    int currentPage() const { return m_page; }
    int pageCount() const { return m_pages.pageCount(); }
    void showPage(int page);
    void showLastPage();
    // Points to pixels; 0 fits the page's width to the window.
    void setZoom(qreal zoom);

    // The commands of the toolbar; the Save commands ask for a file first.
    void print();
    void saveAsPdf();
    void saveAsCsv();
    // Writes the file, reports a failure in a box and returns it.
    Status exportTo(const QString& path, bool pdf);
    // Save as CSV to `path` without asking (the automation channel's).
    Q_INVOKABLE bool exportCsv(const QString& path) { return exportTo(path, false).ok(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void render();
    void updatePageControls();
    // One step of reading the rows that remain; the last step repaints the
    // page, whose footer may show the page count.
    void readOn();
    // Reads until `page` exists or the rows end.
    void readThrough(int page);
    void reportReadFailure(const Status& s);
    qreal pixelsPerPoint() const;

    ReportPages m_pages;
    MessageBoxService& m_boxes;
    int m_page = 0;
    qreal m_zoom = 0;
    QScrollArea* m_scroll = nullptr;
    QLabel* m_canvas = nullptr;
    QLabel* m_pageLabel = nullptr;
    QComboBox* m_zoomBox = nullptr;
    QToolButton* m_first = nullptr;
    QToolButton* m_previous = nullptr;
    QToolButton* m_next = nullptr;
    QToolButton* m_last = nullptr;
    QTimer* m_reader = nullptr;
};

// Lays the report out and shows it modal until the user closes it. A
// report that cannot be laid out is not shown: the error comes back.
// Without a widget application (a headless process) nothing is shown.
Status showReportPreview(Report& report, MessageBoxService& boxes, QWidget* parent = nullptr);

}  // namespace orlo::report
