// Every SQL text the system sends, run as written through the dialect on a
// real database: seeded rows, a pinned clock, the rows that must come back.
// One table of cases; the seed covers the reports' day boundaries.

#include <gtest/gtest.h>

#include "ClinicSeed.h"
#include "SystemSqlTexts.h"
#include "TestDatabases.h"
#include "platform/data/Recordset.h"
#include "records/FieldMaps.h"

using namespace orlo;
using namespace orlo::data;
using orlo::test::dayText;

namespace {

const QDateTime kJune = test::at("2026-06-15 10:00:00");
const QDateTime kChristmas = test::at("2026-12-25 10:00:00");

struct SqlCase {
    const char* name;
    QString query;                  // opened as a recordset after the statements
    QStringList columns;            // fields read from every row
    std::vector<QStringList> rows;  // what they must read
    QStringList statements = {};    // executed first, in order
    QDateTime now = kJune;
    bool scratch = false;            // on the scratch database
    const Locale* locale = nullptr;  // default: United Kingdom
    long lastStatementError = 0;     // the last statement must fail so
};

void PrintTo(const SqlCase& c, std::ostream* os) {
    *os << c.name;
}

QStringList ids(std::initializer_list<int> list) {
    QStringList out;
    for (int i : list) {
        out << QString::number(i);
    }
    return out;
}

std::vector<QStringList> column(std::initializer_list<int> list) {
    std::vector<QStringList> rows;
    for (int i : list) {
        rows.push_back({QString::number(i)});
    }
    return rows;
}

QString q(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// The patient save's UPDATE, built from its fragments as the save builds it.
QString patientUpdate(const QString& created, const QString& lastUpdated, const QString& id) {
    QString sql = QStringLiteral("UPDATE PATIENTS SET [LAST NAME] = ") +
                  q(QStringLiteral("O'Brien")) + QStringLiteral(", [FIRST NAME] = ") +
                  q(QStringLiteral("O")) + QStringLiteral(", DOB = ") +
                  q(QStringLiteral("01/02/1970"));
    for (int p = 5; p <= 47; ++p) {
        const QString col = records::str(records::patientField(p).columnName);
        sql += QStringLiteral(", ") + col + QStringLiteral(" = ") +
               q(col.toLower() + QStringLiteral(" it's"));
    }
    return sql + QStringLiteral(", CREATED = ") + q(created) + QStringLiteral(", LAST_UPDATED = ") +
           q(lastUpdated) + QStringLiteral(", DELETE_FLAG = ") + q(QStringLiteral("NO")) +
           QStringLiteral(" WHERE PT_ID = ") + id;
}

// The appointment save's UPDATE; `recall` "None" writes NULL.
QString scheduleUpdate(const QString& start, const QString& recall, const QString& id) {
    QString sql;
    for (int p = 1; p <= 55; ++p) {
        const QString col = records::str(records::scheduleField(p).columnName);
        sql += (p == 1 ? QStringLiteral("UPDATE SCHEDULED SET ") : QStringLiteral(", ")) + col +
               QStringLiteral(" = ");
        if (p == 1 || p == 2) {
            sql += q(start);
        } else if (p == 11) {
            sql += recall == QStringLiteral("None") ? QStringLiteral("NULL") : q(recall);
        } else if (p == 12 || p == 13) {
            sql += q(QStringLiteral("15/06/2026 10:00:00"));
        } else if (p == 14) {
            sql += q(QStringLiteral("15"));
        } else {
            sql += q(col.toLower() + QStringLiteral(" it's"));
        }
    }
    return sql + QStringLiteral(" WHERE SCHEDULE_ID = ") + id;
}

const QStringList kKeys = {QStringLiteral("SCHEDULE_ID")};
const QStringList kPatientKey = {QStringLiteral("PATIENTS.PT_ID"), QStringLiteral("SCHEDULE_ID")};
const Locale kUs = Locale::unitedStates();

std::vector<SqlCase> cases() {
    using namespace orlo::test::sql;
    const QString sessionInsert = QStringLiteral(
        "INSERT INTO CURRENTSESSIONS(IP, LOGGED_IN_AT, CURRSESSIONID, PORT_IN, PORT_OUT) "
        "Values('%1', '15/06/2026 10:00:00','1','20050','dummy')");
    const QString sessionDelete = QStringLiteral("DELETE FROM CURRENTSESSIONS WHERE IP = '%1'");
    return {
        // Overdue recall ladder: 42/84/168/365 days inclusive below, exclusive above.
        {"SixWeeksOverdue", kSixWeekOverdue, kPatientKey, {{ids({4, 104})}, {ids({1, 101})}}},
        {"ThreeMonthsOverdue", kThreeMonthOverdue, kKeys, column({107, 102})},
        {"SixMonthsOverdue", kSixMonthOverdue, kKeys, column({109, 108})},
        {"TwelveMonthsOverdue", kTwelveMonthOverdue, kKeys, column({111, 110})},
        // Two weeks ahead: an appointment later today keeps the reminder,
        // one tomorrow removes it; next year's recalls wait.
        {"TwoWeekRecall", kTwoWeekRecall, kKeys, column({115, 113})},
        {"TwoWeekRecallInLateDecember", kTwoWeekRecall, kKeys, column({121, 154}), {}, kChristmas},
        {"NoShowsOfTheLastYearByRecallDate", kNoShow, kKeys, column({135, 132, 130})},
        {"NextDayFromMidnightToMidnight",
         kNextDay,
         {QStringLiteral("SCHEDULE_ID"), QStringLiteral("START_TIME"), QStringLiteral("STATUS")},
         {{QStringLiteral("140"), QString::fromStdString(dayText(1)), QStringLiteral("BOOKED")},
          {QStringLiteral("118"), QString::fromStdString(dayText(1, "09:00:00")),
           QStringLiteral("BOOKED")},
          {QStringLiteral("141"), QString::fromStdString(dayText(1, "23:59:00")),
           QStringLiteral("BOOKED")}}},
        {"BalanceOverdueComparesText",
         kBalanceOverdue,
         {QStringLiteral("PATIENTS.PT_ID"), QStringLiteral("LAST NAME"),
          QStringLiteral("BALANCE1")},
         {{QStringLiteral("1"), QStringLiteral("Adams"), QStringLiteral("25.00")},
          {QStringLiteral("2"), QStringLiteral("Baker"), QStringLiteral("0.50")}}},
        {"DiabeticIgnoresCase",
         kDiabetic,
         {QStringLiteral("PT_ID"), QStringLiteral("DIABETICYN")},
         {{QStringLiteral("1"), QStringLiteral("YES")},
          {QStringLiteral("3"), QStringLiteral("yes")}}},
        {"PatientDetail",
         kPatientDetailPrefix + QStringLiteral("15"),
         {QStringLiteral("PT_ID"), QStringLiteral("LAST NAME"), QStringLiteral("DOB")},
         {{QStringLiteral("15"), QStringLiteral("O'Brien"), QStringLiteral("01/02/1970")}}},
        {"PatientListIgnoresCase",
         kPatientList,
         {QStringLiteral("PT_ID")},
         column({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20})},
        // Recall by month: DateSerial windows.
        {"FebruaryOfACommonYear",
         recallMonth(QStringLiteral("2026"), QStringLiteral("2")),
         {QStringLiteral("PT_ID"), QStringLiteral("FLD1"), QStringLiteral("FLD2")},
         {{QStringLiteral("16"), QStringLiteral("2026-02-01 00:00:00"), QStringLiteral("Price")},
          {QStringLiteral("16"), QStringLiteral("2026-02-28 00:00:00"), QStringLiteral("Price")}}},
        {"FebruaryOfALeapYear",
         recallMonth(QStringLiteral("2028"), QStringLiteral("2")),
         {QStringLiteral("FLD1")},
         {{QStringLiteral("2028-02-29 00:00:00")}}},
        {"DecemberRollsIntoJanuary",
         recallMonth(QStringLiteral("2026"), QStringLiteral("12")),
         {QStringLiteral("PT_ID"), QStringLiteral("FLD1")},
         {{QStringLiteral("18"), QStringLiteral("2026-12-30 00:00:00")},
          {QStringLiteral("16"), QStringLiteral("2026-12-31 00:00:00")}}},
        // The finder's recordsets.
        {"FinderListByLastName",
         kPatientFinderList,
         {QStringLiteral("PT_ID"), QStringLiteral("State"), QStringLiteral("CITY")},
         {}},  // filled below: 20 rows
        {"PatientHistory",
         patientHistory(QStringLiteral("15")),
         {QStringLiteral("PATIENTS.PT_ID"), QStringLiteral("SCHEDULE_ID")},
         {ids({15, 117}), ids({15, 118})}},
        {"FutureRecalls",
         kRecallList,
         {QStringLiteral("PT_ID"), QStringLiteral("FLD1")},
         {{QStringLiteral("14"), QString::fromStdString(dayText(1))},
          {QStringLiteral("15"), QString::fromStdString(dayText(5))},
          {QStringLiteral("12"), QString::fromStdString(dayText(14))},
          {QStringLiteral("13"), QString::fromStdString(dayText(15))},
          {QStringLiteral("20"), QString::fromStdString(dayText(100))},
          {QStringLiteral("18"), QStringLiteral("2026-12-30 00:00:00")},
          {QStringLiteral("16"), QStringLiteral("2026-12-31 00:00:00")},
          {QStringLiteral("16"), QStringLiteral("2027-01-01 00:00:00")},
          {QStringLiteral("17"), QStringLiteral("2027-01-02 00:00:00")},
          {QStringLiteral("19"), QString::fromStdString(dayText(250))},
          {QStringLiteral("16"), QStringLiteral("2028-02-29 00:00:00")},
          {QStringLiteral("16"), QStringLiteral("2028-03-01 00:00:00")}}},
        // The patient save: duplicate check, then the UPDATE from its fragments.
        {"DuplicateCheckQuotesAndIgnoresCase",
         duplicateCheck(q(QStringLiteral("o'brien")), q(QStringLiteral("O")),
                        q(QStringLiteral("01/02/1970"))),
         {QStringLiteral("PT_ID"), QStringLiteral("LAST NAME"), QStringLiteral("DOB")},
         {{QStringLiteral("15"), QStringLiteral("O'Brien"), QStringLiteral("01/02/1970")}}},
        {"PatientUpdateInUkDates",
         QStringLiteral("Select * from PATIENTS WHERE PT_ID = 15"),
         {QStringLiteral("MID_IN"), QStringLiteral("NOTES_NOTES2"), QStringLiteral("CREATED"),
          QStringLiteral("LAST_UPDATED"), QStringLiteral("DELETE_FLAG")},
         {{QStringLiteral("mid_in it's"), QStringLiteral("notes_notes2 it's"),
           QStringLiteral("2026-03-05 14:30:00"), QStringLiteral("2026-06-15 10:00:00"),
           QStringLiteral("NO")}},
         {patientUpdate(QStringLiteral("05/03/2026 14:30:00"),
                        QStringLiteral("15/06/2026 10:00:00"), QStringLiteral("15"))}},
        {"PatientUpdateInUsDates",
         QStringLiteral("Select * from PATIENTS WHERE PT_ID = 15"),
         {QStringLiteral("CREATED"), QStringLiteral("LAST_UPDATED")},
         {{QStringLiteral("2026-03-05 14:30:00"), QStringLiteral("2026-06-15 10:00:00")}},
         {patientUpdate(QStringLiteral("3/5/2026 2:30:00 PM"),
                        QStringLiteral("6/15/2026 10:00:00 AM"), QStringLiteral("15"))},
         kJune,
         false,
         &kUs},
        {"PatientUpdateWithNoDateWritesNothing",
         QStringLiteral("Select * from PATIENTS WHERE PT_ID = 15"),
         {QStringLiteral("MID_IN"), QStringLiteral("CREATED")},
         {{QStringLiteral("<null>"), QStringLiteral("2026-01-01 09:00:00")}},
         {patientUpdate(QStringLiteral("next Tuesday"), QStringLiteral("15/06/2026 10:00:00"),
                        QStringLiteral("15"))},
         kJune,
         false,
         nullptr,
         orlo::err::kTypeMismatch},
        // The appointment save's UPDATE, with and without a recall date.
        {"ScheduleUpdateWithoutRecall",
         QStringLiteral("Select * from SCHEDULED WHERE SCHEDULE_ID = 117"),
         {QStringLiteral("START_TIME"), QStringLiteral("RECALLDUEDATE"), QStringLiteral("PT_ID"),
          QStringLiteral("BALANCE1"), QStringLiteral("NOTEPAGE2")},
         {{QStringLiteral("2026-06-16 09:00:00"), QStringLiteral("<null>"), QStringLiteral("15"),
           QStringLiteral("balance1 it's"), QStringLiteral("notepage2 it's")}},
         {scheduleUpdate(QStringLiteral("16/06/2026 09:00:00"), QStringLiteral("None"),
                         QStringLiteral("117"))}},
        {"ScheduleUpdateWithRecall",
         QStringLiteral("Select * from SCHEDULED WHERE SCHEDULE_ID = 117"),
         {QStringLiteral("END_TIME"), QStringLiteral("RECALLDUEDATE"),
          QStringLiteral("CREATED_ON")},
         {{QStringLiteral("2026-06-16 09:00:00"), QStringLiteral("2026-12-16 00:00:00"),
           QStringLiteral("2026-06-15 10:00:00")}},
         {scheduleUpdate(QStringLiteral("16/06/2026 09:00:00"), QStringLiteral("16/12/2026"),
                         QStringLiteral("117"))}},
        // Whole-row reads of the open handlers and the resync.
        {"AppointmentRow",
         QStringLiteral("SELECT * FROM SCHEDULED WHERE SCHEDULE_ID = 101"),
         {QStringLiteral("SCHEDULE_ID"), QStringLiteral("RECALLDUEDATE"), QStringLiteral("PT_ID")},
         {{QStringLiteral("101"), QString::fromStdString(dayText(-42)), QStringLiteral("1")}}},
        {"PatientKeys",
         QStringLiteral("SELECT PT_ID FROM PATIENTS"),
         {QStringLiteral("PT_ID")},
         column({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20})},
        // The session registry: a restart replaces the row; peers see the others.
        {"SessionRegistry",
         QStringLiteral("SELECT IP, CURRSESSIONID, PORT_IN, PORT_OUT FROM CURRENTSESSIONS WHERE IP "
                        "<> '127.0.0.3'"),
         {QStringLiteral("IP"), QStringLiteral("CURRSESSIONID"), QStringLiteral("PORT_IN"),
          QStringLiteral("PORT_OUT")},
         {{QStringLiteral("127.0.0.2"), QStringLiteral("1"), QStringLiteral("20050"),
           QStringLiteral("dummy")}},
         {sessionDelete.arg(QStringLiteral("127.0.0.2")),
          sessionInsert.arg(QStringLiteral("127.0.0.2")),
          sessionDelete.arg(QStringLiteral("127.0.0.3")),
          sessionInsert.arg(QStringLiteral("127.0.0.3")),
          sessionDelete.arg(QStringLiteral("127.0.0.2")),
          sessionInsert.arg(QStringLiteral("127.0.0.2"))}},
        // The resync's scratch tables.
        {"ResyncDifference",
         QStringLiteral(
             "SELECT ids FROM tempPatientDB WHERE not exists (select ids from tempPatientOL "
             "Where tempPatientDB.ids = tempPatientOL.ids)"),
         {QStringLiteral("ids")},
         column({1, 5}),
         {QStringLiteral("INSERT INTO tempPatientDB (ids) Values(1)"),
          QStringLiteral("INSERT INTO tempPatientDB (ids) Values(2)"),
          QStringLiteral("INSERT INTO tempPatientDB (ids) Values(3)"),
          QStringLiteral("INSERT INTO tempPatientDB (ids) Values(5)"),
          QStringLiteral("INSERT INTO tempPatientOL (ids) Values(2)"),
          QStringLiteral("INSERT INTO tempPatientOL (ids) Values(3)"),
          QStringLiteral("INSERT INTO tempPatientOL (ids) Values(7)")},
         kJune,
         true},
        {"ResyncEmptiesScratchTables",
         QStringLiteral("SELECT ids FROM tempScheduleDB"),
         {QStringLiteral("ids")},
         {},
         {QStringLiteral("INSERT INTO tempScheduleDB (ids) Values(4)"),
          QStringLiteral("INSERT INTO tempScheduleOL (ids) Values(4)"),
          QStringLiteral("DELETE * FROM tempScheduleOL"),
          QStringLiteral("DELETE * FROM tempScheduleDB")},
         kJune,
         true},
        {"ResyncFullCheckReadBack",
         QStringLiteral("SELECT ids FROM tempScheduleDB"),
         {QStringLiteral("ids")},
         column({3, 1}),
         {QStringLiteral("INSERT INTO tempScheduleDB (ids) Values(3)"),
          QStringLiteral("INSERT INTO tempScheduleDB (ids) Values(1)")},
         kJune,
         true},
    };
}

// Every case on the file and on the server, which must give the same rows;
// the scratch database is always a file.
class SystemSql : public ::testing::TestWithParam<std::tuple<SqlCase, test::Engine>> {};

}  // namespace

TEST_P(SystemSql, ReturnsTheExpectedRows) {
    SqlCase c = std::get<0>(GetParam());
    const test::Engine engine = std::get<1>(GetParam());
    if (QString::fromLatin1(c.name) == QStringLiteral("FinderListByLastName")) {
        for (int i = 1; i <= 20; ++i) {
            c.rows.push_back(
                {QString::number(i), QStringLiteral("<null>"), QStringLiteral("York")});
        }
    }
    test::TestDatabases dbs(engine);
    dbs.addPatients(test::kClinicPatients);
    dbs.addAppointments(test::ClinicSeed().appointments);
    PinnedClock clock(c.now);
    const Locale uk = Locale::unitedKingdom();
    Connection conn({clock, c.locale ? *c.locale : uk});
    conn.setProvider(QStringLiteral("Microsoft.JET.OLEDB.4.0"));
    ASSERT_TRUE(conn.open(c.scratch ? dbs.scratchPath() : dbs.sharedPath()).ok());
    for (int i = 0; i < c.statements.size(); ++i) {
        Result<qint64> n = conn.execute(c.statements[i]);
        if (i == c.statements.size() - 1 && c.lastStatementError != 0) {
            ASSERT_FALSE(n.ok());
            EXPECT_EQ(n.error().number, c.lastStatementError);
            ASSERT_FALSE(conn.errors().empty());
        } else {
            ASSERT_TRUE(n.ok()) << n.error().description.toStdString();
        }
    }
    Recordset rs;
    const Status opened = rs.open(c.query, conn, kOpenStatic, kLockOptimistic, kCmdUnspecified);
    ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
    std::vector<QStringList> rows;
    while (!rs.eof()) {
        QStringList row;
        for (const QString& name : c.columns) {
            Result<Variant> v = rs.field(name);
            EXPECT_TRUE(v.ok()) << name.toStdString();
            row << (v.ok() ? test::shown(*v) : QStringLiteral("<missing>"));
        }
        rows.push_back(row);
        ASSERT_TRUE(rs.moveNext().ok());
    }
    EXPECT_EQ(rows, c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SystemSql, ::testing::ValuesIn([] {
        std::vector<std::tuple<SqlCase, test::Engine>> both;
        for (const SqlCase& c : cases()) {
            both.emplace_back(c, test::Engine::File);
            if (!c.scratch) {
                both.emplace_back(c, test::Engine::Server);
            }
        }
        return both;
    }()),
    [](const ::testing::TestParamInfo<std::tuple<SqlCase, test::Engine>>& param) {
        return std::string(std::get<0>(param.param).name) + "_" +
               test::engineName(std::get<1>(param.param));
    });
