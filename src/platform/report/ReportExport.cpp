#include "platform/report/ReportExport.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>

#include "platform/report/ReportPages.h"

namespace orlo::report {

namespace {

constexpr qint64 kCsvProgressRows = 5000;
constexpr qsizetype kCsvFlushBytes = 1 << 20;

Error fileError(const QString& path, const QString& why) {
    return makeError(err::kPathFileAccessError,
                     QStringLiteral("Could not write \"%1\": %2").arg(path, why),
                     QStringLiteral("Orlo Report"));
}

Error cancelled() {
    return makeError(kExportCancelled, QStringLiteral("The export was cancelled."),
                     QStringLiteral("Orlo Report"));
}

// One heading and the detail elements under it, in reading order.
struct CsvColumn {
    const ReportElement* heading = nullptr;
    std::vector<std::size_t> parts;  // positions in the detail band
};

bool sameLine(const QRectF& a, const QRectF& b) {
    return std::abs(a.top() - b.top()) < 1.0;
}

std::vector<CsvColumn> csvColumns(const ReportDefinition& def) {
    const auto& detail = def.band(BandKind::Detail).elements;
    std::vector<CsvColumn> columns;
    for (int b = 0; b < kBandCount; ++b) {
        for (const ReportElement& label : def.band(BandKind(b)).elements) {
            if (label.kind != ElementKind::Label || label.name.isEmpty()) {
                continue;
            }
            CsvColumn column{&label, {}};
            for (std::size_t i = 0; i < detail.size(); ++i) {
                if (detail[i].column == label.name && &detail[i] != &label) {
                    column.parts.push_back(i);
                }
            }
            if (!column.parts.empty()) {
                std::stable_sort(
                    column.parts.begin(), column.parts.end(), [&](std::size_t x, std::size_t y) {
                        const QRectF& rx = detail[x].rect;
                        const QRectF& ry = detail[y].rect;
                        return sameLine(rx, ry) ? rx.left() < ry.left() : rx.top() < ry.top();
                    });
                columns.push_back(std::move(column));
            }
        }
    }
    // Column by column across the page, top to bottom within each.
    std::stable_sort(columns.begin(), columns.end(), [](const CsvColumn& x, const CsvColumn& y) {
        const QRectF& rx = x.heading->rect;
        const QRectF& ry = y.heading->rect;
        return std::abs(rx.left() - ry.left()) >= 1.0 ? rx.left() < ry.left() : rx.top() < ry.top();
    });
    return columns;
}

QString cellText(const ReportPages& pages, const CsvColumn& column, qint64 row) {
    const auto& detail = pages.report().definition().band(BandKind::Detail).elements;
    QString cell;
    QString line;
    bool lineHasField = false;
    const QRectF* lineRect = nullptr;
    const auto endLine = [&] {
        if (lineHasField) {
            cell += (cell.isEmpty() ? QString() : QStringLiteral(", ")) + line;
        }
        line.clear();
        lineHasField = false;
    };
    for (std::size_t i : column.parts) {
        const ReportElement& e = detail[i];
        if (lineRect && !sameLine(*lineRect, e.rect)) {
            endLine();
        }
        lineRect = &e.rect;
        const QString text = e.kind == ElementKind::Field ? pages.fieldText(i, row) : e.text;
        if (text.isEmpty()) {
            continue;
        }
        lineHasField = lineHasField || e.kind == ElementKind::Field;
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + text;
    }
    endLine();
    return cell;
}

}  // namespace

QString csvField(const QString& value) {
    static const QString special = QStringLiteral(",\"\r\n");
    if (std::none_of(value.begin(), value.end(), [](QChar c) { return special.contains(c); })) {
        return value;
    }
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString csvRecord(const QStringList& fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += QLatin1Char(',');
        }
        line += csvField(fields[i]);
    }
    return line;
}

QStringList csvHeadings(const ReportDefinition& definition) {
    QStringList headings;
    for (const CsvColumn& c : csvColumns(definition)) {
        headings << c.heading->text;
    }
    return headings;
}

Status writeCsv(const ReportPages& pages, const QString& path, const ExportProgress& progress) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return fileError(path, file.errorString());
    }
    const std::vector<CsvColumn> columns = csvColumns(pages.report().definition());
    QStringList fields;
    for (const CsvColumn& c : columns) {
        fields << c.heading->text;
    }
    ORLO_TRY(pages.fetchAll());
    QByteArray out("\xEF\xBB\xBF");
    out += csvRecord(fields).toUtf8() + "\r\n";
    const qint64 rows = pages.rowCount();
    for (qint64 r = 0; r < rows; ++r) {
        fields.clear();
        for (const CsvColumn& c : columns) {
            fields << cellText(pages, c, r);
        }
        out += csvRecord(fields).toUtf8() + "\r\n";
        if (out.size() >= kCsvFlushBytes) {
            if (file.write(out) != out.size()) {
                return fileError(path, file.errorString());
            }
            out.clear();
        }
        if (progress && (r + 1) % kCsvProgressRows == 0 && !progress(r + 1, rows)) {
            return cancelled();
        }
    }
    if (file.write(out) != out.size() || !file.commit()) {
        return fileError(path, file.errorString());
    }
    return okStatus();
}

Status writePdf(const ReportPages& pages, const QString& path, const ExportProgress& progress) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return fileError(path, file.errorString());
    }
    ORLO_TRY(pages.fetchAll());
    const ReportDefinition& def = pages.report().definition();
    {
        QPdfWriter writer(&file);
        // One device pixel per point: the painter's unit is the report's.
        writer.setResolution(72);
        writer.setPageSize(QPageSize(def.page().size));
        writer.setPageOrientation(def.page().orientation);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(def.caption());
        writer.setCreator(QStringLiteral("Orlo"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            return fileError(path, QStringLiteral("the PDF could not be started."));
        }
        for (int p = 0; p < pages.pageCount(); ++p) {
            if (p > 0 && !writer.newPage()) {
                return fileError(path, QStringLiteral("no room for page %1.").arg(p + 1));
            }
            pages.paint(painter, p);
            if (progress && !progress(p + 1, pages.pageCount())) {
                painter.end();
                return cancelled();
            }
        }
        if (!painter.end()) {
            return fileError(path, QStringLiteral("the PDF could not be finished."));
        }
    }
    if (!file.commit()) {
        return fileError(path, file.errorString());
    }
    return okStatus();
}

}  // namespace orlo::report
