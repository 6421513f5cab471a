#pragma once
// A report's pages as a PDF file and its detail rows as a CSV file. Both
// are written to a temporary file beside the target and renamed over it
// only when complete, so a failed or cancelled export leaves whatever was
// there before, and never half a file.
//
// CSV: one column per heading (the labels the detail band's elements name
// as their `column`), headed by the heading's caption, in the order the
// headings stand on the page; one line per detail row. A cell holds the
// texts of its elements in reading order, a space between texts on one
// line and ", " between lines, empty fields left out. The text is UTF-8
// with a byte-order mark (so that spreadsheets do not read it in the
// local code page), fields are quoted as RFC 4180 asks, and lines end with
// CR LF.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "platform/core/Result.h"

namespace orlo::report {

class ReportDefinition;
class ReportPages;

// Called after each page or every few thousand rows with the work done so
// far and the whole; false cancels (the export then fails with kCancelled).
using ExportProgress = std::function<bool(qint64 done, qint64 total)>;
inline constexpr long kExportCancelled = 18;  // "User interrupt occurred"

Status writePdf(const ReportPages& pages, const QString& path, const ExportProgress& progress = {});
Status writeCsv(const ReportPages& pages, const QString& path, const ExportProgress& progress = {});

// One CSV field as RFC 4180 writes it, and one record without its line end.
QString csvField(const QString& value);
QString csvRecord(const QStringList& fields);

// The CSV columns of a definition: the heading captions in page order.
QStringList csvHeadings(const ReportDefinition& definition);

}  // namespace orlo::report
