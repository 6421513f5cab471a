#include "platform/report/ReportDefinition.h"

namespace orlo::report {

namespace {

constexpr std::array<const char16_t*, kBandCount> kSectionNames = {
    u"Section4", u"Section2", u"Section1", u"Section3", u"Section5"};

template <typename Band>
auto findLabel(Band& band, const QString& name) -> decltype(&band.elements.front()) {
    for (auto& e : band.elements) {
        if (e.kind == ElementKind::Label && e.name.compare(name, Qt::CaseInsensitive) == 0) {
            return &e;
        }
    }
    return nullptr;
}

}  // namespace

QSizeF PageSetup::paperSize() const {
    const QSizeF portrait = QPageSize(size).size(QPageSize::Point);
    return orientation == QPageLayout::Landscape ? portrait.transposed() : portrait;
}

QRectF PageSetup::printableRect() const {
    const QSizeF paper = paperSize();
    return QRectF(margins.left(), margins.top(), paper.width() - margins.left() - margins.right(),
                  paper.height() - margins.top() - margins.bottom());
}

ReportDefinition::ReportDefinition(QString name, PageSetup page)
    : m_name(std::move(name)), m_page(page) {
    for (std::size_t i = 0; i < m_bands.size(); ++i) {
        m_bands[i].name = QString::fromUtf16(kSectionNames[i]);
    }
}

ReportBand* ReportDefinition::section(const QString& name) {
    for (ReportBand& b : m_bands) {
        if (b.name.compare(name, Qt::CaseInsensitive) == 0) {
            return &b;
        }
    }
    return nullptr;
}

Status ReportDefinition::setLabelCaption(const QString& section, const QString& control,
                                         const QString& caption) {
    ReportBand* band = this->section(section);
    ReportElement* label = band ? findLabel(*band, control) : nullptr;
    if (label == nullptr) {
        return makeError(
            err::kItemNotInCollection,
            QStringLiteral("Item cannot be found in the collection: %1.%2").arg(section, control));
    }
    label->text = caption;
    return okStatus();
}

QString ReportDefinition::labelCaption(const QString& section, const QString& control) const {
    for (const ReportBand& b : m_bands) {
        if (b.name.compare(section, Qt::CaseInsensitive) == 0) {
            const ReportElement* label = findLabel(b, control);
            return label ? label->text : QString();
        }
    }
    return {};
}

QStringList ReportDefinition::captions(BandKind kind) const {
    QStringList out;
    for (const ReportElement& e : band(kind).elements) {
        if (e.kind == ElementKind::Label) {
            out << e.text;
        }
    }
    return out;
}

QStringList ReportDefinition::detailFields() const {
    QStringList out;
    for (const ReportElement& e : band(BandKind::Detail).elements) {
        if (e.kind == ElementKind::Field) {
            out << e.text;
        }
    }
    return out;
}

}  // namespace orlo::report
