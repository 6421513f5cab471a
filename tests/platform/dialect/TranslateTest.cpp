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

TEST(Translate, BracketedNamesBecomeQuotedNamesSplitAtTheDot) {
    EXPECT_EQ(tr(u"SELECT [LAST NAME] FROM PATIENTS"_s), u"SELECT \"LAST NAME\" FROM PATIENTS"_s);
    EXPECT_EQ(tr(u"Order by [PATIENTS.LAST NAME] Asc"_s),
              u"Order by \"PATIENTS\".\"LAST NAME\" Asc"_s);
    EXPECT_EQ(tr(u"SELECT PATIENTS.[FIRST NAME] AS FLD3"_s),
              u"SELECT PATIENTS.\"FIRST NAME\" AS FLD3"_s);
    EXPECT_EQ(tr(u"SELECT [odd\"name]"_s), u"SELECT \"odd\"\"name\""_s);
}

TEST(Translate, DeleteStarLosesItsStar) {
    EXPECT_EQ(tr(u"DELETE * FROM tempPatientOL"_s), u"DELETE FROM tempPatientOL"_s);
    EXPECT_EQ(tr(u"delete  *  from t where ids = 1"_s), u"delete from t where ids = 1"_s);
    EXPECT_EQ(tr(u"DELETE t.* FROM t"_s), u"DELETE FROM t"_s);
    EXPECT_EQ(tr(u"DELETE FROM CURRENTSESSIONS WHERE IP = '1'"_s),
              u"DELETE FROM CURRENTSESSIONS WHERE IP = '1'"_s);
    // A multiplication is no DELETE star.
    EXPECT_EQ(tr(u"SELECT 2 * 3"_s), u"SELECT 2 * 3"_s);
}

TEST(Translate, NowWithAndWithoutParenthesesInAnyCase) {
    EXPECT_EQ(tr(u"WHERE a<Now() AND b>NOW AND c = now ()"_s),
              u"WHERE a<jet_now() AND b>jet_now() AND c = jet_now ()"_s);
    // A column or table called Now stays a name.
    EXPECT_EQ(tr(u"SELECT T.Now, [Now] FROM T"_s), u"SELECT T.Now, \"Now\" FROM T"_s);
}

TEST(Translate, FunctionsAreRenamedOnlyWhereCalled) {
    EXPECT_EQ(tr(u"DATEDIFF('d',NOW,S.START_TIME)>=1"_s),
              u"jet_datediff('d',jet_now(),S.START_TIME)>=1"_s);
    EXPECT_EQ(tr(u"YEAR(x) = year(NOW()) And x between DateSerial(2026,12,1) And "
                 "DATESERIAL(2026,12+1,0)"_s),
              u"jet_year(x) = jet_year(jet_now()) And x between "
              "jet_dateserial(2026,12,1) And jet_dateserial(2026,12+1,0)"_s);
    EXPECT_EQ(tr(u"SELECT YEAR, T.YEAR(1) FROM T"_s), u"SELECT YEAR, T.YEAR(1) FROM T"_s);
    EXPECT_EQ(tr(u"SELECT UCase(a) & LCase(b) & Len(c)"_s),
              u"SELECT upper(a) || lower(b) || length(c)"_s);
}

TEST(Translate, LiteralsKeepTheirTextAndQuotesAreNormalised) {
    // Brackets, stars and Now inside a literal are text.
    EXPECT_EQ(tr(u"WHERE a = 'O''Brien [x] * Now'"_s), u"WHERE a = 'O''Brien [x] * Now'"_s);
    EXPECT_EQ(tr(u"WHERE a = \"say \"\"hi\"\" it's\""_s), u"WHERE a = 'say \"hi\" it''s'"_s);
    EXPECT_EQ(tr(u"WHERE d > #3/5/2026# AND e < #2026-03-05 14:30:00#"_s),
              u"WHERE d > '2026-03-05 00:00:00' AND e < '2026-03-05 14:30:00'"_s);
}

TEST(Translate, LikeWildcards) {
    EXPECT_EQ(tr(u"WHERE CITY LIKE '*ham*'"_s), u"WHERE CITY LIKE '%ham%'"_s);
    EXPECT_EQ(tr(u"WHERE CITY NOT LIKE 'Ab?ey*'"_s), u"WHERE CITY NOT LIKE 'Ab_ey%'"_s);
    // A bracketed wildcard or a literal % or _ of the text needs the escape.
    EXPECT_EQ(tr(u"WHERE N LIKE '*[*]*'"_s), u"WHERE N LIKE '%*%'"_s);
    EXPECT_EQ(tr(u"WHERE N LIKE '[%]off*'"_s), u"WHERE N LIKE '\\%off%' ESCAPE '\\'"_s);
}

TEST(Translate, DateTextsIntoDateColumnsAreCoerced) {
    EXPECT_EQ(tr(u"UPDATE SCHEDULED SET START_TIME = '10/03/2026', REASON = "
                 "'10/03/2026', RECALLDUEDATE = NULL WHERE SCHEDULE_ID = 3"_s),
              u"UPDATE SCHEDULED SET START_TIME = jet_cdate('10/03/2026'), REASON = "
              "'10/03/2026', RECALLDUEDATE = NULL WHERE SCHEDULE_ID = 3"_s);
    EXPECT_EQ(tr(u"INSERT INTO CURRENTSESSIONS(IP, LOGGED_IN_AT, CURRSESSIONID) "
                 "Values('1.2.3.4', '10/03/2026 09:30:00','1')"_s),
              u"INSERT INTO CURRENTSESSIONS(IP, LOGGED_IN_AT, CURRSESSIONID) "
              "Values('1.2.3.4', jet_cdate('10/03/2026 09:30:00'),'1')"_s);
    EXPECT_EQ(tr(u"INSERT INTO SCHEDULED ([START_TIME], END_TIME) Values(NULL, "
                 "lower('x'))"_s),
              u"INSERT INTO SCHEDULED (\"START_TIME\", END_TIME) Values(NULL, "
              "lower('x'))"_s);
    // Comparisons, either way round, qualified or bracketed.
    EXPECT_EQ(tr(u"Select * from PATIENTS WHERE [DOB] = '05/03/1970' AND "
                 "'2026-01-01' < PATIENTS.CREATED AND [PATIENTS.LAST_UPDATED] >= "
                 "'2026-01-01' AND CITY = 'x'"_s),
              u"Select * from PATIENTS WHERE \"DOB\" = jet_cdate('05/03/1970') AND "
              "jet_cdate('2026-01-01') < PATIENTS.CREATED AND "
              "\"PATIENTS\".\"LAST_UPDATED\" >= jet_cdate('2026-01-01') AND CITY = "
              "'x'"_s);
    EXPECT_EQ(tr(u"SELECT * FROM SCHEDULED WHERE RECALLDUEDATE between '1/12/2026' "
                 "And '31/12/2026' AND REASON BETWEEN 'a' AND 'b'"_s),
              u"SELECT * FROM SCHEDULED WHERE RECALLDUEDATE between "
              "jet_cdate('1/12/2026') And jet_cdate('31/12/2026') AND REASON "
              "BETWEEN 'a' AND 'b'"_s);
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
