// The translator's rewrites, one kind at a time, and what it refuses.

#include <gtest/gtest.h>

#include "TestDatabase.h"
#include "TestSupport.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using data::translateJetSql;

namespace {

QString tr(const QString& jet) {
    return test::translated(jet);
}

}  // namespace

// Each kind of rewrite, and the literals, names and operators it leaves alone.
TEST(Translate, EachRewriteAndWhatItLeavesAlone) {
    const std::pair<const char*, const char*> cases[] = {
        {"SELECT [LAST NAME] FROM PATIENTS", "SELECT \"LAST NAME\" FROM PATIENTS"},
        {"Order by [PATIENTS.LAST NAME] Asc", "Order by \"PATIENTS\".\"LAST NAME\" Asc"},
        {"SELECT PATIENTS.[FIRST NAME] AS FLD3", "SELECT PATIENTS.\"FIRST NAME\" AS FLD3"},
        {"SELECT [odd\"name]", "SELECT \"odd\"\"name\""},
        {"DELETE * FROM tempPatientOL", "DELETE FROM tempPatientOL"},
        {"delete  *  from t where ids = 1", "delete from t where ids = 1"},
        {"DELETE t.* FROM t", "DELETE FROM t"},
        {"DELETE FROM CURRENTSESSIONS WHERE IP = '1'",
         "DELETE FROM CURRENTSESSIONS WHERE IP = '1'"},
        // A multiplication is no DELETE star.
        {"SELECT 2 * 3", "SELECT 2 * 3"},
        {"WHERE a<Now() AND b>NOW AND c = now ()",
         "WHERE a<jet_now() AND b>jet_now() AND c = jet_now ()"},
        // A column or table called Now stays a name.
        {"SELECT T.Now, [Now] FROM T", "SELECT T.Now, \"Now\" FROM T"},
        {"DATEDIFF('d',NOW,S.START_TIME)>=1", "jet_datediff('d',jet_now(),S.START_TIME)>=1"},
        {"YEAR(x) = year(NOW()) And x between DateSerial(2026,12,1) And DATESERIAL(2026,12+1,0)",
         "jet_year(x) = jet_year(jet_now()) And x between jet_dateserial(2026,12,1) And "
         "jet_dateserial(2026,12+1,0)"},
        {"SELECT YEAR, T.YEAR(1) FROM T", "SELECT YEAR, T.YEAR(1) FROM T"},
        {"SELECT UCase(a) & LCase(b) & Len(c)", "SELECT upper(a) || lower(b) || length(c)"},
        // Brackets, stars and Now inside a literal are text.
        {"WHERE a = 'O''Brien [x] * Now'", "WHERE a = 'O''Brien [x] * Now'"},
        {"WHERE a = \"say \"\"hi\"\" it's\"", "WHERE a = 'say \"hi\" it''s'"},
        {"WHERE d > #3/5/2026# AND e < #2026-03-05 14:30:00#",
         "WHERE d > '2026-03-05 00:00:00' AND e < '2026-03-05 14:30:00'"},
        {"WHERE CITY LIKE '*ham*'", "WHERE CITY LIKE '%ham%'"},
        {"WHERE CITY NOT LIKE 'Ab?ey*'", "WHERE CITY NOT LIKE 'Ab_ey%'"},
        // A bracketed wildcard or a literal % or _ of the text needs the escape.
        {"WHERE N LIKE '*[*]*'", "WHERE N LIKE '%*%'"},
        {"WHERE N LIKE '[%]off*'", "WHERE N LIKE '\\%off%' ESCAPE '\\'"},
        {"UPDATE SCHEDULED SET START_TIME = '10/03/2026', REASON = '10/03/2026', RECALLDUEDATE = "
         "NULL WHERE SCHEDULE_ID = 3",
         "UPDATE SCHEDULED SET START_TIME = jet_cdate('10/03/2026'), REASON = '10/03/2026', "
         "RECALLDUEDATE = NULL WHERE SCHEDULE_ID = 3"},
        {"INSERT INTO CURRENTSESSIONS(IP, LOGGED_IN_AT, CURRSESSIONID) Values('1.2.3.4', "
         "'10/03/2026 09:30:00','1')",
         "INSERT INTO CURRENTSESSIONS(IP, LOGGED_IN_AT, CURRSESSIONID) Values('1.2.3.4', "
         "jet_cdate('10/03/2026 09:30:00'),'1')"},
        {"INSERT INTO SCHEDULED ([START_TIME], END_TIME) Values(NULL, lower('x'))",
         "INSERT INTO SCHEDULED (\"START_TIME\", END_TIME) Values(NULL, lower('x'))"},
        // Comparisons, either way round, qualified or bracketed.
        {"Select * from PATIENTS WHERE [DOB] = '05/03/1970' AND '2026-01-01' < PATIENTS.CREATED "
         "AND [PATIENTS.LAST_UPDATED] >= '2026-01-01' AND CITY = 'x'",
         "Select * from PATIENTS WHERE \"DOB\" = jet_cdate('05/03/1970') AND "
         "jet_cdate('2026-01-01') < PATIENTS.CREATED AND \"PATIENTS\".\"LAST_UPDATED\" >= "
         "jet_cdate('2026-01-01') AND CITY = 'x'"},
        {"SELECT * FROM SCHEDULED WHERE RECALLDUEDATE between '1/12/2026' And '31/12/2026' AND "
         "REASON BETWEEN 'a' AND 'b'",
         "SELECT * FROM SCHEDULED WHERE RECALLDUEDATE between jet_cdate('1/12/2026') And "
         "jet_cdate('31/12/2026') AND REASON BETWEEN 'a' AND 'b'"},
    };
    for (const auto& [jet, sqlite] : cases) {
        EXPECT_EQ(tr(QString::fromUtf8(jet)), QString::fromUtf8(sqlite)) << jet;
    }
    // Without a schema nothing is a date column.
    EXPECT_EQ(translateJetSql(u"UPDATE SCHEDULED SET START_TIME = 'x'"_s, {}).value(),
              u"UPDATE SCHEDULED SET START_TIME = 'x'"_s);
}

TEST(Translate, SyntaxErrorsAreErrorsWithAPosition) {
    for (const QString& bad : {u"SELECT * FROM T WHERE a = 'open"_s, u"SELECT [LAST NAME FROM T"_s,
                               u"SELECT a FROM T WHERE b = #3/5/2026"_s, u"SELECT a $ b"_s,
                               u"SELECT a FROM T WHERE d = #not a date#"_s, u"SELECT []"_s}) {
        const auto sql = translateJetSql(bad, test::sharedDialect());
        ASSERT_FALSE(sql.ok()) << bad.toStdString();
        EXPECT_EQ(sql.error().number, orlo::err::kCommandError);
        EXPECT_TRUE(sql.error().description.startsWith(u"Syntax error"_s))
            << sql.error().description.toStdString();
        EXPECT_TRUE(sql.error().description.contains(u"at character"_s));
    }
    const auto open = translateJetSql(u"SELECT 'x' FROM T WHERE a = 'open"_s, {});
    EXPECT_TRUE(open.error().description.contains(u"character 29"_s))
        << open.error().description.toStdString();
}

// On a server a count of none standing as a condition asks whether any row
// exists; a count used any other way stays a count, and the file keeps it.
TEST(Translate, AServerAsksWhetherAnyRowExistsForACountOfNone) {
    data::DialectContext server;
    server.serverNow = [] { return u"2026-06-15 10:00:00"_s; };
    const struct {
        QString jet;
        QString onServer;
    } cases[] = {
        {u"SELECT * FROM P WHERE P.ID=1 And (SELECT COUNT(*) FROM S WHERE S.ID=P.ID And (S.A>1 "
         "OR S.B<2))=0"_s,
         u"SELECT * FROM P WHERE P.ID=1 And NOT EXISTS (SELECT 1 FROM S WHERE S.ID=P.ID And (S.A>1 "
         "OR S.B<2))"_s},
        {u"SELECT * FROM P WHERE (SELECT COUNT(*) FROM S) = 0 AND P.ID=1"_s,
         u"SELECT * FROM P WHERE NOT EXISTS (SELECT 1 FROM S)   AND P.ID=1"_s},
        {u"SELECT * FROM P WHERE (SELECT COUNT(*) FROM S)=1"_s,
         u"SELECT * FROM P WHERE (SELECT COUNT(*) FROM S)=1"_s},
        {u"SELECT * FROM P WHERE (SELECT COUNT(*) FROM S GROUP BY S.A)=0"_s,
         u"SELECT * FROM P WHERE (SELECT COUNT(*) FROM S GROUP BY S.A)=0"_s},
        {u"SELECT * FROM P WHERE (SELECT COUNT(*) FROM S)=0 + P.ID"_s,
         u"SELECT * FROM P WHERE (SELECT COUNT(*) FROM S)=0 + P.ID"_s},
        {u"SELECT (SELECT COUNT(*) FROM S)=0 FROM P"_s,
         u"SELECT (SELECT COUNT(*) FROM S)=0 FROM P"_s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(translateJetSql(c.jet, server).valueOr(u"<error>"_s), c.onServer)
            << c.jet.toStdString();
    }
    EXPECT_EQ(tr(cases[0].jet), cases[0].jet);
}
