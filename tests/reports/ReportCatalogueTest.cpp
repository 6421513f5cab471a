// The report catalogue, table-driven: every report's texts and layout as
// the system prints them, the rows its own query gives on a seeded database
// (a clock pinned to 15 June 2026 10:00; the windows' edges are the SQL
// texts' own test), the frame's road when the database is missing or the
// query fails, and MontlyRecall over the rows handed to it.

#include <gtest/gtest.h>

#include "ClinicSeed.h"
#include "ReportClinic.h"
#include "SystemSqlTexts.h"
#include "common/DatabaseLocation.h"
#include "platform/data/Connection.h"
#include "platform/data/Recordset.h"
#include "platform/dialect/JetFunctions.h"
#include "platform/dialect/JetSql.h"
#include "platform/report/ReportExport.h"
#include "platform/report/ReportPages.h"
#include "platform/sqlite/Database.h"
#include "records/Schema.h"
#include "reports/ReportCommands.h"
#include "reports/ReportSql.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::reports;
namespace sql = orlo::test::sql;
using report::BandKind;

namespace {

// "a|b|c" as a list of texts.
QStringList words(const char* list) {
    return QString::fromUtf8(list).split(u'|');
}

struct CatalogueCase {
    ReportId id;
    const char* object;
    const char* title;
    const char* description;  // "" when the report has none
    QString sql;
    const char* captions;  // page header, the designer's order
    const char* fields;    // detail, the designer's order
};

std::vector<CatalogueCase> catalogue() {
    const char* const recall =
        "Patient ID|Last Name|Due Date|Address|Home Tel.|Work Tel.|First Name|Recall Type";
    const char* const recallFields =
        "PATIENTS.PT_ID|RECALLDUEDATE|LAST NAME|FIRST NAME|HOUSENO|STREET2|STREET1|CITY|STATE|"
        "ZIP_CODE|HOME_TEL|WORK_TEL|RECALLPERIOD";
    return {
        {ReportId::DataReport1, "DataReport1", "Balance Overdue Results Report", "",
         sql::kBalanceOverdue,
         "Patient ID|Last Name|Balance|Address|Home Tel.|Work Tel.|First Name",
         "PATIENTS.PT_ID|LAST NAME|BALANCE1|FIRST NAME|HOUSENO|STREET1|STREET2|CITY|STATE|"
         "ZIP_CODE|HOME_TEL|WORK_TEL"},
        {ReportId::DataReport2, "DataReport2", "2 Week Patient Recall Reminder Report",
         "This report shows all the patients that are due within the next 2 weeks but have not "
         "scheduled an appointment. (1st Reminder)",
         sql::kTwoWeekRecall, recall, recallFields},
        {ReportId::DataReport3, "DataReport3", "No Show/Cancelled Patient Report",
         "This report shows all the patients that did not show or cancelled appointments.",
         sql::kNoShow,
         "Pt. ID|Last Name|Due Date|Address|Home Tel.|Work Tel.|First Name|Start Time",
         "PATIENTS.PT_ID|RECALLDUEDATE|LAST NAME|FIRST NAME|HOUSENO|STREET2|STREET1|CITY|STATE|"
         "ZIP_CODE|HOME_TEL|WORK_TEL|START_TIME"},
        {ReportId::DataReport4, "DataReport4", "Diabetic Patients Report", "", sql::kDiabetic,
         "Patient ID|Last Name|Diabetic|Address|Home Tel.|Work Tel.|First Name",
         "PT_ID|LAST NAME|DIABETICYN|FIRST NAME|HOUSENO|STREET1|STREET2|CITY|STATE|ZIP_CODE|"
         "HOME_TEL|WORK_TEL"},
        {ReportId::DataReport5, "DataReport5", "6 Week Overdue Patient Recall Report",
         "2nd Reminder)", sql::kSixWeekOverdue, recall, recallFields},
        {ReportId::DataReport6, "DataReport6", "12 Week (3mth) Overdue Patient Recall Report",
         "3rd Reminder)", sql::kThreeMonthOverdue, recall, recallFields},
        {ReportId::DataReport7, "DataReport7", "24 Week (6mth) Overdue Patient Recall Report",
         "4th Reminder)", sql::kSixMonthOverdue, recall, recallFields},
        {ReportId::DataReport8, "DataReport8", "52 Week (1yr) Overdue Patient Recall Report",
         "5th Reminder)", sql::kTwelveMonthOverdue, recall, recallFields},
        {ReportId::DataReport9, "DataReport9", "Patient Detail Report", "",
         sql::kPatientDetailPrefix, "", ""},
        {ReportId::DataReport10, "DataReport10", "Next Day Appointments Report",
         "This report shows all the patients scheduled for an appointment tomorrow.", sql::kNextDay,
         "Pat. ID|Last Name|Time Scheduled|Address|Home Tel.|Work Tel.|First Name|Status",
         "PATIENTS.PT_ID|START_TIME|LAST NAME|FIRST NAME|HOUSENO|STREET2|STREET1|CITY|STATE|"
         "ZIP_CODE|HOME_TEL|WORK_TEL|STATUS"},
        {ReportId::DataReport11, "DataReport11", "Patient List Report", "", sql::kPatientList,
         "Patient ID|Last Name|Address|Home Tel.|Work Tel.|First Name",
         "PT_ID|LAST NAME|FIRST NAME|HOUSENO|STREET1|STREET2|CITY|STATE|ZIP_CODE|HOME_TEL|"
         "WORK_TEL"},
        {ReportId::MontlyRecall, "MontlyRecall", "Patient Recall Report", "", QString(),
         "Patient ID|Last Name|Due Date|Address|Home Tel.|Work Tel.|First Name",
         "PT_ID|FLD1|FLD2|FLD3|FLD5|FLD7|FLD6|FLD8|FLD9|FLD10|FLD12|FLD11"},
    };
}

// How SQLite runs `jetSql` on the file `db`, one line per step.
QStringList planOf(const QString& path, const QString& jetSql, const Clock& clock) {
    const data::DialectContext ctx{
        [](QStringView, QStringView column) { return records::isDateColumn(column); }};
    const auto sql = data::translateJetSql(jetSql, ctx);
    auto db = sqlite::Database::open(path, SQLITE_OPEN_READONLY);
    QStringList plan;
    if (sql && db && data::registerJetFunctions(db->handle(), clock, Locale::unitedKingdom())) {
        if (auto stmt = db->prepare(u"EXPLAIN QUERY PLAN "_s + *sql)) {
            EXPECT_TRUE(
                std::move(stmt)
                    .value()
                    .forEachRow([&](const sqlite::Statement& row) { plan << row.columnText(3); })
                    .ok());
        }
    }
    return plan;
}

TEST(ReportCatalogue, EveryReportAsThePrintedPageShowsItAndNoneSortsEveryRowFirst) {
    for (const CatalogueCase& c : catalogue()) {
        SCOPED_TRACE(c.object);
        const ReportEntry& entry = reportEntry(c.id);
        EXPECT_EQ(findReport(QString::fromLatin1(c.object)), &entry);
        EXPECT_EQ(QString::fromUtf16(entry.title), QString::fromUtf8(c.title));
        QString description = QString::fromUtf8(c.description);
        if (description.endsWith(u" Reminder)"_s) && !description.startsWith(u"This")) {
            description.prepend(
                u"This report shows all the patients which did not schedule an appointment by "
                "there Recall Due Date. ("_s);
        }
        EXPECT_EQ(entry.description ? QString::fromUtf16(entry.description) : QString(),
                  description);
        EXPECT_EQ(entry.sql ? QString::fromUtf16(entry.sql) : QString(), c.sql);
        const report::ReportDefinition def = reportDefinition(c.id);
        if (c.id != ReportId::DataReport9) {
            EXPECT_EQ(def.captions(BandKind::PageHeader), words(c.captions));
            EXPECT_EQ(def.detailFields(), words(c.fields));
        }
        QStringList header = {QString::fromUtf8(c.title), u"Date:"_s, QString()};
        if (!description.isEmpty()) {
            header << description;
        }
        EXPECT_EQ(def.captions(BandKind::ReportHeader), header);
    }
    // The spreadsheet's columns read like the printed page, left to right.
    EXPECT_EQ(report::csvHeadings(reportDefinition(ReportId::DataReport10)),
              words("Pat. ID|Last Name|First Name|Time Scheduled|Address|Home Tel.|Work Tel.|"
                    "Status"));
    // The patient detail page holds every pair in order.
    const report::ReportDefinition def = reportDefinition(ReportId::DataReport9);
    EXPECT_TRUE(def.captions(BandKind::PageHeader).isEmpty());
    EXPECT_EQ(def.captions(BandKind::Detail),
              words("Patient ID|Last Name|First Name|Date of Birth|Address|Home Tel.|Work Tel.|"
                    "Mobile|Business Fax|Email|Doctor|Referred By|Emerg. Contact|Contact Tel|"
                    "Relation|Notes|Other Number|Insurance No.|Sex|Diabetic|Allergies|Marital "
                    "Status|Policy No.|Height|Ft.|Inches|Weight|Blood Type|Smoker|Sexually "
                    "Active|Medication 1|Medication 2|Medication 3|Medication 4|Allergies|Food "
                    "Allergies|Diagnosis|Surgerical Hx|Family Hx|Medical Hx|Notes 1|Notes 2"));
    EXPECT_EQ(def.detailFields(),
              words("PT_ID|LAST NAME|FIRST NAME|DOB|HOUSENO|STREET1|STREET2|CITY|STATE|ZIP_CODE|"
                    "HOME_TEL|WORK_TEL|MOBILE|BUS_FAX|EMAIL1|DOCTOR|REFERREDBY|ECONTACT|"
                    "ECONTACT_TEL|ECONRELATION|CTGNOTE|NI_NO|INSUR_NO|SEX|DIABETICYN|"
                    "ALLERGICREACTIONSTXT|MARITAL_STATUS|GEN_POLICY_NO|CLINICAL_HEIGHT|"
                    "CLINICAL_INCHES|CLINICAL_WEIGHT|CLINICAL_BLOOD|CLINICAL_SMOKEYESNO|"
                    "CLINICAL_SEXACTIVE|CLINICAL_MED1|CLINICAL_MED2|CLINICAL_MED3|CLINICAL_MED4|"
                    "CLINICAL_ALLERGIES1|CLINICAL_ALLERGIES2|CLINICAL_DIAGNOSIS|CLINICAL_SURGHX|"
                    "CLINICAL_FAMHX|CLINICAL_MEDHX|NOTES_NOTES1|NOTES_NOTES2"));
    // A report's first page shows without sorting every matching row first: on
    // a new database each query walks an index in the report's own order. The
    // statistics the schema writes make SQLite choose so at any size.
    test::ReportClinic clinic;
    for (const CatalogueCase& c : catalogue()) {
        SCOPED_TRACE(c.object);
        const QString sql = c.id == ReportId::MontlyRecall  ? sql::recallMonth(u"2026"_s, u"7"_s)
                            : c.id == ReportId::DataReport9 ? c.sql + u"1"_s
                                                            : c.sql;
        const QStringList plan = planOf(clinic.dbs.sharedPath(), sql, clinic.clock);
        ASSERT_FALSE(plan.isEmpty());
        EXPECT_TRUE(plan.filter(u"TEMP B-TREE"_s).isEmpty()) << plan.join(u'\n').toStdString();
    }
}

struct RowsCase {
    ReportId id;
    const char* why;
    const char* key;   // the field read from every row
    const char* rows;  // what it reads, in order
};

// Every report on the file and on a PostgreSQL server.
class Clinic : public ::testing::TestWithParam<test::Engine> {
protected:
    void SetUp() override {
        clinic.dbs.addPatients(test::kClinicPatients);
        clinic.dbs.addAppointments(test::ClinicSeed().appointments);
    }
    test::ReportClinic clinic{GetParam()};
};

// Which rows each report's SQL selects is the SQL texts' own test (and the
// catalogue's that each report runs its text); here that a report reads
// its rows as text in the query's order and pages them.
TEST_P(Clinic, AReportReadsTheRowsOfItsQueryAndMontlyRecallThoseItIsHanded) {
    const RowsCase cases[] = {
        {ReportId::DataReport10, "tomorrow 00:00 to 23:59", "SCHEDULE_ID", "140|118|141"},
        {ReportId::DataReport1, "balances as stored", "BALANCE1", "25.00|0.50"},
        {ReportId::DataReport11, "everyone by last name", "LAST NAME",
         "Adams|Baker|Clarke|de Vries|Evans|Fisher|Green|Hughes|Irwin|Jones|King|Lewis|Moore|"
         "Novak|O'Brien|Price|Quinn|Reed|Shaw|Turner"},
    };
    for (const RowsCase& c : cases) {
        SCOPED_TRACE(c.why);
        LoadFailure failure;
        const auto report = DataReport_Initialize(clinic.ctx, c.id, failure);
        ASSERT_TRUE(report) << failure.error.description.toStdString();
        report::ReportData& data = *report->dataSource();
        const std::optional<int> key = data.fieldIndex(QString::fromLatin1(c.key));
        ASSERT_TRUE(key);
        QStringList rows;
        for (qint64 r = 0; r < data.rowCount(); ++r) {
            rows << data.text(r, *key);
        }
        EXPECT_EQ(rows.join(u'|'), QString::fromUtf8(c.rows));
        EXPECT_TRUE(report::ReportPages::create(*report).ok());
    }
    EXPECT_TRUE(clinic.boxes.shown().empty());
    // MontlyRecall prints the rows it is handed.
    data::Connection conn({clinic.clock, clinic.locale});
    ASSERT_TRUE(conn.open(reportConnectionString(clinic.dbs.sharedPath())).ok());
    auto rows = std::make_shared<data::Recordset>();
    ASSERT_TRUE(rows->open(sql::recallMonth(u"2026"_s, u"12"_s), conn).ok());
    EXPECT_EQ(recallMonthSql(u"2026"_s, u"12"_s), sql::recallMonth(u"2026"_s, u"12"_s));
    auto report = MontlyRecall(u"December"_s, u"2026"_s, rows, clinic.clock, clinic.locale);
    ASSERT_TRUE(report.ok());
    EXPECT_EQ((*report)->definition().labelCaption(u"Section4"_s, u"Label3"_s),
              u"December 2026 Patient Recall Report"_s);
    EXPECT_EQ((*report)->definition().caption(), u"December 2026 Patient Recall Report"_s);
    EXPECT_EQ((*report)->definition().labelCaption(u"Section4"_s, u"Date1"_s), u"15 June 2026"_s);
    auto pages = report::ReportPages::create(**report);
    ASSERT_TRUE(pages.ok());
    ASSERT_EQ(pages->rowCount(), 2);
    EXPECT_EQ(pages->fieldText(1, 0), u"30/12/2026"_s);  // FLD1, the due date
}

struct FailureCase {
    const char* why;
    ReportId id;
    std::function<void(test::ReportClinic&)> setUp;
    const char* text;    // the critical box's text: its start
    const char* title;   // and its title
    const char* logged;  // in the error log ("" for nothing)
};

TEST_P(Clinic, AReportThatCannotLoadSaysSo) {
    const FailureCase cases[] = {
        {"no database location set", ReportId::DataReport11,
         [](test::ReportClinic& c) { c.setDatabaseLocation(QString()); },
         "Unable to find database. \rPatients.mdb could not be found - Cannot load Patient "
         "Finder!\rPlease check the database location by clicking on Orlo -> Settings...",
         "Orlo Software Error", ""},
        {"the database file is gone", ReportId::DataReport11,
         [](test::ReportClinic& c) { c.setDatabaseLocation(c.file(u"gone.mdb"_s)); },
         "There has been an error\r\n  ", "Patient List Report Errors", "Error #-2147467259"},
        {"the query fails", ReportId::DataReport5,
         [](test::ReportClinic& c) { c.dbs.rawExec(u"DROP TABLE SCHEDULED"_s); },
         "There has been an error\r\n  ", "6 Week Overdue Patient Recall Report Errors",
         "Error #-2147217900"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.why);
        test::ReportClinic fresh{GetParam()};
        c.setUp(fresh);
        ReportCommands commands(fresh.ctx);
        commands.show(c.id);
        ASSERT_EQ(fresh.boxes.shown().size(), 1u);
        const MessageBoxRequest& box = fresh.boxes.shown().front();
        EXPECT_TRUE(box.text.startsWith(QString::fromUtf8(c.text))) << box.text.toStdString();
        EXPECT_EQ(box.title, QString::fromUtf8(c.title));
        EXPECT_EQ(box.icon, MsgIcon::Critical);
        EXPECT_EQ(fresh.errorLog().contains(QLatin1String(c.logged)), true)
            << fresh.errorLog().toStdString();
        EXPECT_EQ(fresh.errorLog().isEmpty(), *c.logged == '\0');
    }
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Engines, Clinic,
                         ::testing::Values(test::Engine::File, test::Engine::Server),
                         [](const ::testing::TestParamInfo<test::Engine>& param) {
                             return std::string(test::engineName(param.param));
                         });
