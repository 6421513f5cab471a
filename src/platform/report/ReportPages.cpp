#include "platform/report/ReportPages.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>
#include <limits>

namespace orlo::report {

namespace {

// Rounding of band heights that divide exactly (a band of 20 pt in 500 pt).
constexpr qreal kSlack = 1e-6;

Error layoutError(const QString& why) {
    return makeError(kReportLayoutError, why, QStringLiteral("Orlo Report"));
}

// A font of `size` points on a device of `dpi`, whatever its resolution:
// the painter's own transform then does the scaling.
QFont makeFont(const TextStyle& style, int dpi) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    // Unhinted glyphs keep their widths at every zoom, so a line that fits
    // on screen fits on paper too.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPointSizeF(style.size * 72.0 / (dpi > 0 ? dpi : 72));
    font.setBold(style.bold);
    font.setItalic(style.italic);
    return font;
}

QString withPageNumbers(QString text, int page, int pageCount) {
    if (text.contains(QLatin1Char('%'))) {
        text.replace(QStringLiteral("%p"), QString::number(page + 1));
        text.replace(QStringLiteral("%P"), QString::number(pageCount));
    }
    return text;
}

}  // namespace

Result<ReportPages> ReportPages::create(Report& report) {
    ReportPages pages(report);
    const ReportDefinition& def = report.definition();
    const ReportData* data = report.dataSource().get();
    for (int b = 0; b < kBandCount; ++b) {
        const ReportBand& band = def.band(BandKind(b));
        for (const ReportElement& e : band.elements) {
            if (e.kind != ElementKind::Field) {
                if (BandKind(b) == BandKind::Detail) {
                    pages.m_fieldIndex.push_back(-1);
                }
                continue;
            }
            if (BandKind(b) != BandKind::Detail) {
                return layoutError(
                    QStringLiteral("The text box %1 of %2 is outside the detail band.")
                        .arg(e.name, band.name));
            }
            const std::optional<int> at = data ? data->fieldIndex(e.text) : std::optional<int>(-1);
            if (!at) {
                return layoutError(
                    QStringLiteral("Data field '%1' of %2 not found.").arg(e.text, e.name));
            }
            pages.m_fieldIndex.push_back(*at);
        }
    }

    const qreal height = def.page().printableRect().height();
    const qreal header = def.band(BandKind::ReportHeader).height;
    const qreal detail = def.band(BandKind::Detail).height;
    const qreal body =
        height - def.band(BandKind::PageHeader).height - def.band(BandKind::PageFooter).height;
    if (detail <= 0 || body < detail || body < header) {
        return layoutError(QStringLiteral("The bands of %1 do not fit on a page.").arg(def.name()));
    }
    pages.m_rowsFirst = qint64(std::floor((body - header) / detail + kSlack));
    pages.m_rowsPer = qint64(std::floor(body / detail + kSlack));
    pages.layOut();
    return pages;
}

void ReportPages::layOut() const {
    const ReportData* data = m_report->dataSource().get();
    m_rows = data ? data->rowCount() : 0;
    m_complete = !data || data->complete();
    const qint64 rest = std::max<qint64>(0, m_rows - m_rowsFirst);
    m_pageCount = 1 + int((rest + m_rowsPer - 1) / m_rowsPer);
    if (m_complete && reportFooterOnOwnPage()) {
        ++m_pageCount;
    }
}

Status ReportPages::fetchMore(qint64 rows) const {
    if (m_complete) {
        return {};
    }
    const Status read = m_report->dataSource()->fetchMore(rows);
    // What was read before a failure is laid out all the same.
    layOut();
    if (!read) {
        m_complete = true;
    }
    return read;
}

Status ReportPages::fetchAll() const {
    return fetchMore(std::numeric_limits<qint64>::max());
}

bool ReportPages::reportFooterOnOwnPage() const {
    const ReportDefinition& def = m_report->definition();
    const qreal footer = def.band(BandKind::ReportFooter).height;
    if (footer <= 0) {
        return false;
    }
    const qreal body = def.page().printableRect().height() - def.band(BandKind::PageHeader).height -
                       def.band(BandKind::PageFooter).height;
    const qreal detail = def.band(BandKind::Detail).height;
    qreal used = 0;
    if (m_rows <= m_rowsFirst) {
        used = def.band(BandKind::ReportHeader).height + qreal(m_rows) * detail;
    } else {
        const qint64 rest = m_rows - m_rowsFirst;
        const qint64 onLast = rest - (rest - 1) / m_rowsPer * m_rowsPer;
        used = qreal(onLast) * detail;
    }
    return used + footer > body + kSlack;
}

QSizeF ReportPages::paperSize() const {
    return m_report->definition().page().paperSize();
}

ReportPages::PageRows ReportPages::rowsOn(int page) const {
    if (page <= 0) {
        return {0, std::min(m_rows, m_rowsFirst)};
    }
    const qint64 first = m_rowsFirst + qint64(page - 1) * m_rowsPer;
    return {first, std::clamp<qint64>(m_rows - first, 0, m_rowsPer)};
}

QString ReportPages::fieldText(std::size_t detailElement, qint64 row) const {
    if (detailElement >= m_fieldIndex.size() || m_fieldIndex[detailElement] < 0 ||
        !m_report->dataSource()) {
        return {};
    }
    return m_report->dataSource()->text(row, m_fieldIndex[detailElement]);
}

const ReportPages::Font& ReportPages::fontFor(const TextStyle& style,
                                              const QPaintDevice* device) const {
    const int dpi = device ? device->logicalDpiY() : 72;
    for (const Font& f : m_fonts) {
        if (f.size == style.size && f.bold == style.bold && f.italic == style.italic &&
            f.dpi == dpi) {
            return f;
        }
    }
    const QFont font = makeFont(style, dpi);
    // A report has a handful of styles: the list stays short.
    m_fonts.push_back(
        Font{style.size, style.bold, style.italic, dpi, font, QFontMetricsF(font, device)});
    return m_fonts.back();
}

void ReportPages::paintBand(QPainter& painter, const ReportBand& band, qreal top, int page,
                            qint64 row) const {
    const qreal left = m_report->definition().page().printableRect().left();
    // Only the detail band holds text boxes (create() refuses others).
    for (std::size_t i = 0; i < band.elements.size(); ++i) {
        const ReportElement& e = band.elements[i];
        const QString text = e.kind == ElementKind::Field
                                 ? fieldText(i, row)
                                 : withPageNumbers(e.text, page, m_pageCount);
        if (text.isEmpty()) {
            continue;
        }
        const Font& font = fontFor(e.style, painter.device());
        painter.setFont(font.font);
        const QRectF box = e.rect.translated(left, top);
        if (e.style.wrap) {
            painter.drawText(box, int(e.style.align) | Qt::TextWordWrap, text);
        } else if (font.metrics.horizontalAdvance(text) <= box.width()) {
            painter.drawText(box, int(e.style.align) | Qt::TextSingleLine, text);
        } else {
            painter.drawText(box, int(e.style.align) | Qt::TextSingleLine,
                             font.metrics.elidedText(text, Qt::ElideRight, box.width()));
        }
    }
    if (band.ruleBelow) {
        const qreal width = m_report->definition().page().printableRect().width();
        painter.setPen(QPen(Qt::black, 0.75));
        painter.drawLine(QPointF(left, top + band.height - 1),
                         QPointF(left + width, top + band.height - 1));
    }
}

void ReportPages::paint(QPainter& painter, int page) const {
    if (page < 0 || page >= m_pageCount) {
        return;
    }
    const ReportDefinition& def = m_report->definition();
    const QRectF area = def.page().printableRect();
    painter.save();
    painter.setPen(Qt::black);
    qreal top = area.top();
    if (page == 0) {
        paintBand(painter, def.band(BandKind::ReportHeader), top, page, 0);
        top += def.band(BandKind::ReportHeader).height;
    }
    paintBand(painter, def.band(BandKind::PageHeader), top, page, 0);
    top += def.band(BandKind::PageHeader).height;
    const PageRows rows = rowsOn(page);
    const ReportBand& detail = def.band(BandKind::Detail);
    for (qint64 r = rows.first; r < rows.first + rows.count; ++r) {
        paintBand(painter, detail, top, page, r);
        top += detail.height;
    }
    if (m_complete && page == m_pageCount - 1) {
        paintBand(painter, def.band(BandKind::ReportFooter), top, page, 0);
    }
    const ReportBand& footer = def.band(BandKind::PageFooter);
    paintBand(painter, footer, area.bottom() - footer.height, page, 0);
    painter.restore();
}

}  // namespace orlo::report
