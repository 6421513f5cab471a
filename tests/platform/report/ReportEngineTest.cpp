// The report engine on its own: pages from the row count at the edges of
// a page, a bound field the data lacks, a PDF without rows read back, an
// export that cannot finish, and the CSV written as RFC 4180 asks and read
// back by another CSV reader. (A report's PDF over many pages is read back
// in the reports' road test.)

#include <gtest/gtest.h>

#include <QFile>

#include "ReportClinic.h"
#include "platform/report/ReportExport.h"
#include "platform/report/ReportPages.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::report;

namespace {

// Rows held in memory, as a report's data source.
class TableData final : public ReportData {
public:
    TableData(QStringList names, std::vector<QStringList> rows)
        : m_names(std::move(names)), m_rows(std::move(rows)) {}
    qint64 rowCount() const override { return qint64(m_rows.size()); }
    std::optional<int> fieldIndex(const QString& name) const override {
        const qsizetype i = m_names.indexOf(name);
        return i < 0 ? std::nullopt : std::optional<int>(int(i));
    }
    QString text(qint64 row, int field) override { return m_rows[std::size_t(row)][field]; }

private:
    QStringList m_names;
    std::vector<QStringList> m_rows;
};

// A4 portrait (770 pt inside the margins): report header 110, page
// header 20, detail 30, page footer 20, so 20 rows under the report header
// and 24 on later pages.
ReportDefinition definition(qreal reportFooter = 0, const char16_t* field = u"NAME") {
    ReportDefinition def(u"Engine"_s, PageSetup{});
    def.setCaption(u"Engine Report"_s);
    const auto label = [](const char* name, const QString& text, QRectF rect) {
        return ReportElement{ElementKind::Label, QLatin1String(name), text, rect, {}, {}};
    };
    const auto fieldBox = [](const char* name, const QString& bound, QRectF rect, const char* col) {
        return ReportElement{ElementKind::Field, QLatin1String(name), bound, rect, {},
                             QLatin1String(col)};
    };
    ReportBand& rh = def.band(BandKind::ReportHeader);
    rh.height = 110;
    rh.elements = {label("Label3", u"Engine Report"_s, {0, 0, 400, 20}),
                   label("Date1", u"15 June 2026"_s, {0, 30, 200, 14})};
    ReportBand& ph = def.band(BandKind::PageHeader);
    ph.height = 20;
    ph.elements = {label("Label20", u"Name"_s, {0, 2, 150, 14}),
                   label("Label21", u"Where"_s, {160, 2, 300, 14})};
    ReportBand& d = def.band(BandKind::Detail);
    d.height = 30;
    d.elements = {fieldBox("Text1", QString::fromUtf16(field), {0, 2, 150, 12}, "Label20"),
                  fieldBox("Text2", u"STREET"_s, {160, 2, 140, 12}, "Label21"),
                  fieldBox("Text3", u"TOWN"_s, {160, 15, 140, 12}, "Label21")};
    ReportBand& pf = def.band(BandKind::PageFooter);
    pf.height = 20;
    pf.elements = {label("Label40", u"Page %p of %P"_s, {300, 4, 200, 14})};
    def.band(BandKind::ReportFooter).height = reportFooter;
    return def;
}

std::unique_ptr<Report> reportOf(int rows, qreal reportFooter = 0) {
    std::vector<QStringList> data;
    for (int i = 1; i <= rows; ++i) {
        data.push_back({u"Row %1"_s.arg(i), u"%1 High St"_s.arg(i), u"York"_s});
    }
    auto report = std::make_unique<Report>(definition(reportFooter));
    report->setDataSource(std::make_shared<TableData>(
        QStringList{u"NAME"_s, u"STREET"_s, u"TOWN"_s}, std::move(data)));
    return report;
}

struct PagingCase {
    int rows;
    qreal reportFooter;
    int pages;
    qint64 lastFirst;  // rows on the last page
    qint64 lastCount;
};

TEST(ReportPages, FollowFromTheRowCountAndRefuseAFieldTheDataLacks) {
    const PagingCase cases[] = {
        {0, 0, 1, 0, 0},    {20, 0, 1, 0, 20},  {21, 0, 2, 20, 1}, {44, 0, 2, 20, 24},
        {45, 0, 3, 44, 1},  {44, 9, 2, 20, 24},  // the report footer fits under the last row
        {44, 30, 3, 44, 0},                      // it does not: a page of its own
        {20, 30, 2, 20, 0},
    };
    for (const PagingCase& c : cases) {
        auto report = reportOf(c.rows, c.reportFooter);
        auto pages = ReportPages::create(*report);
        ASSERT_TRUE(pages.ok());
        const auto last = pages->rowsOn(pages->pageCount() - 1);
        EXPECT_EQ(pages->pageCount(), c.pages) << c.rows << " rows, footer " << c.reportFooter;
        EXPECT_EQ(last.first, c.lastFirst) << c.rows << " rows";
        EXPECT_EQ(last.count, c.lastCount) << c.rows << " rows";
    }
    Report report(definition(0, u"NAME_TYPO"));
    report.setDataSource(
        std::make_shared<TableData>(QStringList{u"NAME"_s}, std::vector<QStringList>{}));
    const auto pages = ReportPages::create(report);
    ASSERT_FALSE(pages.ok());
    EXPECT_EQ(pages.error().number, kReportLayoutError);
    EXPECT_EQ(pages.error().description, u"Data field 'NAME_TYPO' of Text1 not found."_s);
}

TEST(ReportPdf, PdfAndCsvFilesReadBackAndAFileThatCannotBeWrittenFailsClean) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"empty.pdf"_s);
    auto report = reportOf(0);
    ASSERT_TRUE(writePdf(*ReportPages::create(*report), pdf).ok());
    const QStringList text = test::pdfPages(pdf);
    ASSERT_EQ(text.size(), 1);
    for (const char* expected : {"Engine Report", "15 June 2026", "Name", "Where", "Page 1 of 1"}) {
        EXPECT_TRUE(text[0].contains(QLatin1String(expected))) << expected;
    }
    // A file that cannot be written fails and leaves what was there.
    auto five = reportOf(5);
    auto pages = ReportPages::create(*five);
    EXPECT_EQ(writePdf(*pages, dir.filePath(u"no/such/dir/r.pdf"_s)).error().number,
              err::kPathFileAccessError);
    const QString csv = dir.filePath(u"r.csv"_s);
    test::writeFile(csv, "kept");
    int calls = 0;
    const Status cancelled = writePdf(*pages, csv, [&](qint64, qint64) { return ++calls < 1; });
    EXPECT_EQ(cancelled.error().number, kExportCancelled);
    EXPECT_EQ(test::readFile(csv), QByteArray("kept"));
    // The CSV round-trips through another CSV reader.
    const QString table = dir.filePath(u"list.csv"_s);
    Report filled(definition());
    filled.setDataSource(std::make_shared<TableData>(
        QStringList{u"NAME"_s, u"STREET"_s, u"TOWN"_s},
        std::vector<QStringList>{{u"O'Brien, Siobhán"_s, u"1 \"The Lodge\""_s, u"Dún Laoghaire"_s},
                                 {u"Two\nLines"_s, QString(), u"York"_s},
                                 {QString(), QString(), QString()}}));
    ASSERT_TRUE(writeCsv(*ReportPages::create(filled), table).ok());
    const QByteArray bytes = test::readFile(table);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBFName,Where\r\n"));
    EXPECT_TRUE(bytes.endsWith(",\r\n"));
    EXPECT_EQ(csvRecord({u"1"_s, QString(), u"x,\"y\""_s}), u"1,,\"x,\"\"y\"\"\""_s);
    const std::vector<QStringList> expected = {
        {u"Name"_s, u"Where"_s},
        {u"O'Brien, Siobhán"_s, u"1 \"The Lodge\", Dún Laoghaire"_s},
        {u"Two\nLines"_s, u"York"_s},
        {QString(), QString()}};
    EXPECT_EQ(test::csvRecords(table), expected);
}

}  // namespace
