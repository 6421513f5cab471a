#pragma once
// ReportPages: a report cut into pages and painted one page at a time, the
// one renderer behind the preview, the printer and the PDF file.
//
// Every band has a fixed height, so the pages follow from the row count by
// arithmetic: the report header opens page 1, the page header and the page
// footer stand on every page, the detail band repeats once per row in the
// room between them, and the report footer follows the last row (on a page
// of its own when the last page is full). Laying out a page therefore costs
// the same whether the report has ten rows or a hundred thousand, and the
// preview shows its first page at once.
//
// A data source may still be reading its rows (a static recordset reads its
// first rows when it opens): the pages are then those of the rows read so
// far, with no report footer and no page after them yet, and fetchMore()
// reads on and lays the pages out again ("Page 1 of 3" becomes "Page 1 of
// 40"). Printing and export read every row first (fetchAll).
//
//   auto pages = ReportPages::create(report);     // checks the bound fields
//   painter.scale(dpi / 72.0, dpi / 72.0);         // one unit = one point
//   pages->paint(painter, 0);

#include <QFont>
#include <QFontMetricsF>
#include <QSizeF>
#include <QString>
#include <deque>
#include <vector>

#include "platform/core/Result.h"
#include "platform/report/Report.h"

class QPaintDevice;
class QPainter;

namespace orlo::report {

// Error number of a report that cannot be laid out (a bound field missing
// from its data source, or bands taller than a page).
inline constexpr long kReportLayoutError = 8574;

class ReportPages {
public:
    // Fails when a text box is bound to a field the data source does not
    // have, or when the headers, the footer and one detail row do not fit
    // on a page. A report without a data source has no rows.
    static Result<ReportPages> create(Report& report);

    int pageCount() const { return m_pageCount; }
    // Whether every row of the data source has been read and laid out.
    bool complete() const { return m_complete; }
    // Reads up to `rows` more rows and lays the pages out again. The rows
    // are the data source's to cache: a const layout may read on.
    Status fetchMore(qint64 rows) const;
    Status fetchAll() const;
    qint64 rowCount() const { return m_rows; }
    QSizeF paperSize() const;

    // The rows on a page: [first, first + count).
    struct PageRows {
        qint64 first = 0;
        qint64 count = 0;
    };
    PageRows rowsOn(int page) const;

    // Paints page `page` (0-based) with the painter's unit being one point
    // and its origin the paper's top-left corner.
    void paint(QPainter& painter, int page) const;

    // The text the detail band's element at `detailElement` shows for a row
    // ("" for a label).
    QString fieldText(std::size_t detailElement, qint64 row) const;
    const Report& report() const { return *m_report; }

private:
    explicit ReportPages(Report& report) : m_report(&report) {}

    // A font and its metrics per text style and device resolution, made
    // once: making them for every box of every page is what a long export
    // would spend its time on.
    struct Font {
        qreal size;
        bool bold;
        bool italic;
        int dpi;
        QFont font;
        QFontMetricsF metrics;
    };
    const Font& fontFor(const TextStyle& style, const QPaintDevice* device) const;
    bool reportFooterOnOwnPage() const;
    // Pages from the rows read so far.
    void layOut() const;
    void paintBand(QPainter& painter, const ReportBand& band, qreal top, int page,
                   qint64 row) const;

    Report* m_report;
    qint64 m_rowsFirst = 0;  // rows on page 1, under the report header
    qint64 m_rowsPer = 0;    // rows on every later page
    // From the rows read so far (layOut).
    mutable qint64 m_rows = 0;
    mutable bool m_complete = true;
    mutable int m_pageCount = 1;
    // The data source's position of each detail element's field (-1: a label).
    std::vector<int> m_fieldIndex;
    mutable std::deque<Font> m_fonts;  // entries stay in place as it grows
};

}  // namespace orlo::report
