#pragma once
// ReportDefinition: a banded report as data, the way a report designer
// stores one. Five bands (report header, page header, detail, page footer,
// report footer), each a fixed height holding labels and text boxes at
// fixed places; a text box shows one field of the data source, bound by
// name. Positions and sizes are in points (1/72 inch) from the band's
// top-left corner inside the page margins.
//
// A label's caption may hold "%p" (this page's number) and "%P" (the
// number of pages); the renderer fills them in.
//
// An element's `column` names the label that heads it (a page header
// caption, or in a form-like detail band the label before the value); the
// CSV export makes one column per such heading.

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "platform/core/Result.h"

namespace orlo::report {

enum class ElementKind { Label, Field };

struct TextStyle {
    qreal size = 8.5;  // points
    bool bold = false;
    bool italic = false;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    // Breaks the text into lines inside the box (notes); otherwise one line,
    // shortened with an ellipsis when it does not fit.
    bool wrap = false;
};

struct ReportElement {
    ElementKind kind = ElementKind::Label;
    QString name;  // "Label3", "Text1", ...
    // A label's caption, or the field a text box is bound to (DataField).
    QString text;
    QRectF rect;
    TextStyle style;
    QString column;
};

enum class BandKind { ReportHeader, PageHeader, Detail, PageFooter, ReportFooter };
inline constexpr int kBandCount = 5;

struct ReportBand {
    QString name;  // "Section4", ...
    qreal height = 0;
    std::vector<ReportElement> elements;
    // A rule drawn along the band's bottom edge (under the column captions).
    bool ruleBelow = false;
};

struct PageSetup {
    QPageSize::PageSizeId size = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{36, 36, 36, 36};

    QSizeF paperSize() const;      // points, oriented
    QRectF printableRect() const;  // points, inside the margins
};

class ReportDefinition {
public:
    ReportDefinition() = default;
    ReportDefinition(QString name, PageSetup page);

    const QString& name() const { return m_name; }
    // The preview window's caption.
    const QString& caption() const { return m_caption; }
    void setCaption(const QString& caption) { m_caption = caption; }
    const PageSetup& page() const { return m_page; }
    void setPage(const PageSetup& page) { m_page = page; }

    ReportBand& band(BandKind kind) { return m_bands[static_cast<std::size_t>(kind)]; }
    const ReportBand& band(BandKind kind) const { return m_bands[static_cast<std::size_t>(kind)]; }
    // A band by its name ("Section4"); null when there is none.
    ReportBand* section(const QString& name);

    // Sections("Section4").Controls("Date1").Caption = text: error 3265
    // when the band or the label does not exist.
    Status setLabelCaption(const QString& section, const QString& control, const QString& caption);
    // A label's caption ("" when there is no such label).
    QString labelCaption(const QString& section, const QString& control) const;

    // The labels' captions of a band, and the bound fields of the detail
    // band, each in the order they were added.
    QStringList captions(BandKind kind) const;
    QStringList detailFields() const;

private:
    QString m_name;
    QString m_caption;
    PageSetup m_page;
    std::array<ReportBand, kBandCount> m_bands;
};

}  // namespace orlo::report
