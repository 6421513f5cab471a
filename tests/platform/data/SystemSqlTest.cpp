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
    QString query;                // opened as a recordset after the statements
    QString columns;              // fields read from every row, "A|B"
    QStringList rows;             // what they must read, "a|b" a row
    QStringList statements = {};  // executed first, in order
    QDateTime now = kJune;
    bool scratch = false;            // on the scratch database
    const Locale* locale = nullptr;  // default: United Kingdom
    long lastStatementError = 0;     // the last statement must fail so
};

void PrintTo(const SqlCase& c, std::ostream* os) {
    *os << c.name;
}

// The texts as a list (one call, so that a case's fields pack on few lines).
template <typename... T>
QStringList list(const T&... texts) {
    return {QString(texts)...};
}

// The numbers as texts, one a row.
QStringList rows(std::initializer_list<int> list) {
    QStringList out;
    for (int i : list) {
        out << QString::number(i);
    }
    return out;
}

// A date around 15 June 2026 as the rows read it.
QString day(int offset, const char* time = "00:00:00") {
    return QString::fromStdString(dayText(offset, time));
}

QString q(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\''), u"''"_s);
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// The patient save's UPDATE, built from its fragments as the save builds it.
QString patientUpdate(const QString& created, const QString& lastUpdated, const QString& id) {
    QString sql = u"UPDATE PATIENTS SET [LAST NAME] = "_s + q(u"O'Brien"_s) +
                  u", [FIRST NAME] = "_s + q(u"O"_s) + u", DOB = "_s + q(u"01/02/1970"_s);
    for (int p = 5; p <= 47; ++p) {
        const QString col = records::str(records::patientField(p).columnName);
        sql += u", "_s + col + u" = "_s + q(col.toLower() + u" it's"_s);
    }
    return sql + u", CREATED = "_s + q(created) + u", LAST_UPDATED = "_s + q(lastUpdated) +
           u", DELETE_FLAG = "_s + q(u"NO"_s) + u" WHERE PT_ID = "_s + id;
}

// The appointment save's UPDATE; `recall` "None" writes NULL.
QString scheduleUpdate(const QString& start, const QString& recall, const QString& id) {
    QString sql;
    for (int p = 1; p <= 55; ++p) {
        const QString col = records::str(records::scheduleField(p).columnName);
        sql += (p == 1 ? u"UPDATE SCHEDULED SET "_s : u", "_s) + col + u" = "_s;
        if (p == 1 || p == 2) {
            sql += q(start);
        } else if (p == 11) {
            sql += recall == u"None"_s ? u"NULL"_s : q(recall);
        } else if (p == 12 || p == 13) {
            sql += q(u"15/06/2026 10:00:00"_s);
        } else if (p == 14) {
            sql += q(u"15"_s);
        } else {
            sql += q(col.toLower() + u" it's"_s);
        }
    }
    return sql + u" WHERE SCHEDULE_ID = "_s + id;
}

const QString kKeys = u"SCHEDULE_ID"_s;
const Locale kUs = Locale::unitedStates();

std::vector<SqlCase> cases() {
    using namespace orlo::test::sql;
    const QString sessionInsert =
        u"INSERT INTO CURRENTSESSIONS(IP, LOGGED_IN_AT, CURRSESSIONID, PORT_IN, PORT_OUT) "
        "Values('%1', '15/06/2026 10:00:00','1','20050','dummy')"_s;
    const QString sessionDelete = u"DELETE FROM CURRENTSESSIONS WHERE IP = '%1'"_s;
    const QString patient15 = u"Select * from PATIENTS WHERE PT_ID = 15"_s;
    const QString appointment117 = u"Select * from SCHEDULED WHERE SCHEDULE_ID = 117"_s;
    return {
        // Overdue recall ladder: 42/84/168/365 days inclusive below, exclusive above.
        {"SixWeeksOverdue", kSixWeekOverdue, u"PATIENTS.PT_ID|SCHEDULE_ID"_s,
         list(u"4|104"_s, u"1|101"_s)},
        {"ThreeMonthsOverdue", kThreeMonthOverdue, kKeys, rows({107, 102})},
        {"SixMonthsOverdue", kSixMonthOverdue, kKeys, rows({109, 108})},
        {"TwelveMonthsOverdue", kTwelveMonthOverdue, kKeys, rows({111, 110})},
        // Two weeks ahead: an appointment later today keeps the reminder,
        // one tomorrow removes it; next year's recalls wait.
        {"TwoWeekRecall", kTwoWeekRecall, kKeys, rows({115, 113})},
        {"TwoWeekRecallInLateDecember", kTwoWeekRecall, kKeys, rows({121, 154}), {}, kChristmas},
        {"NoShowsOfTheLastYearByRecallDate", kNoShow, kKeys, rows({135, 132, 130})},
        {"NextDayFromMidnightToMidnight", kNextDay, u"SCHEDULE_ID|START_TIME|STATUS"_s,
         list(u"140|"_s + day(1) + u"|BOOKED"_s, u"118|"_s + day(1, "09:00:00") + u"|BOOKED"_s,
              u"141|"_s + day(1, "23:59:00") + u"|BOOKED"_s)},
        {"BalanceOverdueComparesText", kBalanceOverdue, u"PATIENTS.PT_ID|LAST NAME|BALANCE1"_s,
         list(u"1|Adams|25.00"_s, u"2|Baker|0.50"_s)},
        {"DiabeticIgnoresCase", kDiabetic, u"PT_ID|DIABETICYN"_s, list(u"1|YES"_s, u"3|yes"_s)},
        {"PatientDetail", kPatientDetailPrefix + u"15"_s, u"PT_ID|LAST NAME|DOB"_s,
         list(u"15|O'Brien|01/02/1970"_s)},
        {"PatientListIgnoresCase", kPatientList, u"PT_ID"_s,
         rows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20})},
        // Recall by month: DateSerial windows.
        {"FebruaryOfACommonYear", recallMonth(u"2026"_s, u"2"_s), u"PT_ID|FLD1|FLD2"_s,
         list(u"16|2026-02-01 00:00:00|Price"_s, u"16|2026-02-28 00:00:00|Price"_s)},
        {"FebruaryOfALeapYear", recallMonth(u"2028"_s, u"2"_s), u"FLD1"_s,
         list(u"2028-02-29 00:00:00"_s)},
        {"DecemberRollsIntoJanuary", recallMonth(u"2026"_s, u"12"_s), u"PT_ID|FLD1"_s,
         list(u"18|2026-12-30 00:00:00"_s, u"16|2026-12-31 00:00:00"_s)},
        // The finder's recordsets.
        {"FinderListByLastName", kPatientFinderList, u"PT_ID|State|CITY"_s,
         [] {
             QStringList all;
             for (int i = 1; i <= 20; ++i) {
                 all << QString::number(i) + u"|<null>|York"_s;
             }
             return all;
         }()},
        {"PatientHistory", patientHistory(u"15"_s), u"PATIENTS.PT_ID|SCHEDULE_ID"_s,
         list(u"15|117"_s, u"15|118"_s)},
        {"FutureRecalls", kRecallList, u"PT_ID|FLD1"_s,
         list(u"14|"_s + day(1), u"15|"_s + day(5), u"12|"_s + day(14), u"13|"_s + day(15),
              u"20|"_s + day(100), u"18|2026-12-30 00:00:00"_s, u"16|2026-12-31 00:00:00"_s,
              u"16|2027-01-01 00:00:00"_s, u"17|2027-01-02 00:00:00"_s, u"19|"_s + day(250),
              u"16|2028-02-29 00:00:00"_s, u"16|2028-03-01 00:00:00"_s)},
        // The patient save: duplicate check, then the UPDATE from its fragments.
        {"DuplicateCheckQuotesAndIgnoresCase",
         duplicateCheck(q(u"o'brien"_s), q(u"O"_s), q(u"01/02/1970"_s)), u"PT_ID|LAST NAME|DOB"_s,
         list(u"15|O'Brien|01/02/1970"_s)},
        {"PatientUpdateInUkDates", patient15,
         u"MID_IN|NOTES_NOTES2|CREATED|LAST_UPDATED|DELETE_FLAG"_s,
         list(u"mid_in it's|notes_notes2 it's|2026-03-05 14:30:00|2026-06-15 10:00:00|NO"_s),
         list(patientUpdate(u"05/03/2026 14:30:00"_s, u"15/06/2026 10:00:00"_s, u"15"_s))},
        {"PatientUpdateInUsDates", patient15, u"CREATED|LAST_UPDATED"_s,
         list(u"2026-03-05 14:30:00|2026-06-15 10:00:00"_s),
         list(patientUpdate(u"3/5/2026 2:30:00 PM"_s, u"6/15/2026 10:00:00 AM"_s, u"15"_s)), kJune,
         false, &kUs},
        {"PatientUpdateWithNoDateWritesNothing", patient15, u"MID_IN|CREATED"_s,
         list(u"<null>|2026-01-01 09:00:00"_s),
         list(patientUpdate(u"next Tuesday"_s, u"15/06/2026 10:00:00"_s, u"15"_s)), kJune, false,
         nullptr, orlo::err::kTypeMismatch},
        // The appointment save's UPDATE, with and without a recall date.
        {"ScheduleUpdateWithoutRecall", appointment117,
         u"START_TIME|RECALLDUEDATE|PT_ID|BALANCE1|NOTEPAGE2"_s,
         list(u"2026-06-16 09:00:00|<null>|15|balance1 it's|notepage2 it's"_s),
         list(scheduleUpdate(u"16/06/2026 09:00:00"_s, u"None"_s, u"117"_s))},
        {"ScheduleUpdateWithRecall", appointment117, u"END_TIME|RECALLDUEDATE|CREATED_ON"_s,
         list(u"2026-06-16 09:00:00|2026-12-16 00:00:00|2026-06-15 10:00:00"_s),
         list(scheduleUpdate(u"16/06/2026 09:00:00"_s, u"16/12/2026"_s, u"117"_s))},
        // Whole-row reads of the open handlers and the resync.
        {"AppointmentRow", u"SELECT * FROM SCHEDULED WHERE SCHEDULE_ID = 101"_s,
         u"SCHEDULE_ID|RECALLDUEDATE|PT_ID"_s, list(u"101|"_s + day(-42) + u"|1"_s)},
        {"PatientKeys", u"SELECT PT_ID FROM PATIENTS"_s, u"PT_ID"_s,
         rows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20})},
        // The session registry: a restart replaces the row; peers see the others.
        {"SessionRegistry",
         u"SELECT IP, CURRSESSIONID, PORT_IN, PORT_OUT FROM CURRENTSESSIONS WHERE IP "
         "<> '127.0.0.3'"_s,
         u"IP|CURRSESSIONID|PORT_IN|PORT_OUT"_s, list(u"127.0.0.2|1|20050|dummy"_s),
         list(sessionDelete.arg(u"127.0.0.2"_s), sessionInsert.arg(u"127.0.0.2"_s),
              sessionDelete.arg(u"127.0.0.3"_s), sessionInsert.arg(u"127.0.0.3"_s),
              sessionDelete.arg(u"127.0.0.2"_s), sessionInsert.arg(u"127.0.0.2"_s))},
        // The resync's scratch tables.
        {"ResyncDifference",
         u"SELECT ids FROM tempPatientDB WHERE not exists (select ids from tempPatientOL "
         "Where tempPatientDB.ids = tempPatientOL.ids)"_s,
         u"ids"_s, rows({1, 5}),
         list(u"INSERT INTO tempPatientDB (ids) Values(1)"_s,
              u"INSERT INTO tempPatientDB (ids) Values(2)"_s,
              u"INSERT INTO tempPatientDB (ids) Values(3)"_s,
              u"INSERT INTO tempPatientDB (ids) Values(5)"_s,
              u"INSERT INTO tempPatientOL (ids) Values(2)"_s,
              u"INSERT INTO tempPatientOL (ids) Values(3)"_s,
              u"INSERT INTO tempPatientOL (ids) Values(7)"_s),
         kJune, true},
        {"ResyncEmptiesScratchTables",
         u"SELECT ids FROM tempScheduleDB"_s,
         u"ids"_s,
         {},
         list(u"INSERT INTO tempScheduleDB (ids) Values(4)"_s,
              u"INSERT INTO tempScheduleOL (ids) Values(4)"_s, u"DELETE * FROM tempScheduleOL"_s,
              u"DELETE * FROM tempScheduleDB"_s),
         kJune,
         true},
        {"ResyncFullCheckReadBack", u"SELECT ids FROM tempScheduleDB"_s, u"ids"_s, rows({1, 3}),
         list(u"INSERT INTO tempScheduleDB (ids) Values(3)"_s,
              u"INSERT INTO tempScheduleDB (ids) Values(1)"_s),
         kJune, true},
    };
}

// Every case on the file and on the server, which must give the same rows;
// the scratch database is always a file.
class SystemSql : public ::testing::TestWithParam<std::tuple<SqlCase, test::Engine>> {};

}  // namespace

TEST_P(SystemSql, ReturnsTheExpectedRows) {
    const SqlCase& c = std::get<0>(GetParam());
    const test::Engine engine = std::get<1>(GetParam());
    test::TestDatabases dbs(engine);
    dbs.addPatients(test::kClinicPatients);
    dbs.addAppointments(test::ClinicSeed().appointments);
    PinnedClock clock(c.now);
    const Locale uk = Locale::unitedKingdom();
    Connection conn({clock, c.locale ? *c.locale : uk});
    conn.setProvider(u"Microsoft.JET.OLEDB.4.0"_s);
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
    QStringList rows;
    while (!rs.eof()) {
        QStringList row;
        for (const QString& name : c.columns.split(u'|')) {
            Result<Variant> v = rs.field(name);
            EXPECT_TRUE(v.ok()) << name.toStdString();
            row << (v.ok() ? test::shown(*v) : u"<missing>"_s);
        }
        rows << row.join(u'|');
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
