// The translator's rewrites, one kind at a time, and what it refuses.

#include <gtest/gtest.h>

#include "TestDatabase.h"
#include "TestSupport.h"

using namespace orlo;
using data::translateJetSql;

namespace {

QString tr(const QString& jet) {
    const auto sql = translateJetSql(jet, test::sharedDialect());
    EXPECT_TRUE(sql.ok()) << jet.toStdString() << ": " << sql.error().description.toStdString();
    return sql.ok() ? *sql : QString();
}

}  // namespace

TEST(Translate, BracketedNamesBecomeQuotedNamesSplitAtTheDot) {
    EXPECT_EQ(tr(QStringLiteral("SELECT [LAST NAME] FROM PATIENTS")),
              QStringLiteral("SELECT \"LAST NAME\" FROM PATIENTS"));
    EXPECT_EQ(tr(QStringLiteral("Order by [PATIENTS.LAST NAME] Asc")),
              QStringLiteral("Order by \"PATIENTS\".\"LAST NAME\" Asc"));
    EXPECT_EQ(tr(QStringLiteral("SELECT PATIENTS.[FIRST NAME] AS FLD3")),
              QStringLiteral("SELECT PATIENTS.\"FIRST NAME\" AS FLD3"));
    EXPECT_EQ(tr(QStringLiteral("SELECT [odd\"name]")), QStringLiteral("SELECT \"odd\"\"name\""));
}

TEST(Translate, DeleteStarLosesItsStar) {
    EXPECT_EQ(tr(QStringLiteral("DELETE * FROM tempPatientOL")),
              QStringLiteral("DELETE FROM tempPatientOL"));
    EXPECT_EQ(tr(QStringLiteral("delete  *  from t where ids = 1")),
              QStringLiteral("delete from t where ids = 1"));
    EXPECT_EQ(tr(QStringLiteral("DELETE t.* FROM t")), QStringLiteral("DELETE FROM t"));
    EXPECT_EQ(tr(QStringLiteral("DELETE FROM CURRENTSESSIONS WHERE IP = '1'")),
              QStringLiteral("DELETE FROM CURRENTSESSIONS WHERE IP = '1'"));
    // A multiplication is no DELETE star.
    EXPECT_EQ(tr(QStringLiteral("SELECT 2 * 3")), QStringLiteral("SELECT 2 * 3"));
}

TEST(Translate, NowWithAndWithoutParenthesesInAnyCase) {
    EXPECT_EQ(tr(QStringLiteral("WHERE a<Now() AND b>NOW AND c = now ()")),
              QStringLiteral("WHERE a<jet_now() AND b>jet_now() AND c = jet_now ()"));
    // A column or table called Now stays a name.
    EXPECT_EQ(tr(QStringLiteral("SELECT T.Now, [Now] FROM T")),
              QStringLiteral("SELECT T.Now, \"Now\" FROM T"));
}

TEST(Translate, FunctionsAreRenamedOnlyWhereCalled) {
    EXPECT_EQ(tr(QStringLiteral("DATEDIFF('d',NOW,S.START_TIME)>=1")),
              QStringLiteral("jet_datediff('d',jet_now(),S.START_TIME)>=1"));
    EXPECT_EQ(tr(QStringLiteral("YEAR(x) = year(NOW()) And x between DateSerial(2026,12,1) And "
                                "DATESERIAL(2026,12+1,0)")),
              QStringLiteral("jet_year(x) = jet_year(jet_now()) And x between "
                             "jet_dateserial(2026,12,1) And jet_dateserial(2026,12+1,0)"));
    EXPECT_EQ(tr(QStringLiteral("SELECT YEAR, T.YEAR(1) FROM T")),
              QStringLiteral("SELECT YEAR, T.YEAR(1) FROM T"));
    EXPECT_EQ(tr(QStringLiteral("SELECT UCase(a) & LCase(b) & Len(c)")),
              QStringLiteral("SELECT upper(a) || lower(b) || length(c)"));
}

TEST(Translate, LiteralsKeepTheirTextAndQuotesAreNormalised) {
    // Brackets, stars and Now inside a literal are text.
    EXPECT_EQ(tr(QStringLiteral("WHERE a = 'O''Brien [x] * Now'")),
              QStringLiteral("WHERE a = 'O''Brien [x] * Now'"));
    EXPECT_EQ(tr(QStringLiteral("WHERE a = \"say \"\"hi\"\" it's\"")),
              QStringLiteral("WHERE a = 'say \"hi\" it''s'"));
    EXPECT_EQ(tr(QStringLiteral("WHERE d > #3/5/2026# AND e < #2026-03-05 14:30:00#")),
              QStringLiteral("WHERE d > '2026-03-05 00:00:00' AND e < '2026-03-05 14:30:00'"));
}

TEST(Translate, LikeWildcards) {
    EXPECT_EQ(tr(QStringLiteral("WHERE CITY LIKE '*ham*'")),
              QStringLiteral("WHERE CITY LIKE '%ham%'"));
    EXPECT_EQ(tr(QStringLiteral("WHERE CITY NOT LIKE 'Ab?ey*'")),
              QStringLiteral("WHERE CITY NOT LIKE 'Ab_ey%'"));
    // A bracketed wildcard or a literal % or _ of the text needs the escape.
    EXPECT_EQ(tr(QStringLiteral("WHERE N LIKE '*[*]*'")), QStringLiteral("WHERE N LIKE '%*%'"));
    EXPECT_EQ(tr(QStringLiteral("WHERE N LIKE '[%]off*'")),
              QStringLiteral("WHERE N LIKE '\\%off%' ESCAPE '\\'"));
}

TEST(Translate, DateTextsIntoDateColumnsAreCoerced) {
    EXPECT_EQ(tr(QStringLiteral("UPDATE SCHEDULED SET START_TIME = '10/03/2026', REASON = "
                                "'10/03/2026', RECALLDUEDATE = NULL WHERE SCHEDULE_ID = 3")),
              QStringLiteral("UPDATE SCHEDULED SET START_TIME = jet_cdate('10/03/2026'), REASON = "
                             "'10/03/2026', RECALLDUEDATE = NULL WHERE SCHEDULE_ID = 3"));
    EXPECT_EQ(tr(QStringLiteral("INSERT INTO CURRENTSESSIONS(IP, LOGGED_IN_AT, CURRSESSIONID) "
                                "Values('1.2.3.4', '10/03/2026 09:30:00','1')")),
              QStringLiteral("INSERT INTO CURRENTSESSIONS(IP, LOGGED_IN_AT, CURRSESSIONID) "
                             "Values('1.2.3.4', jet_cdate('10/03/2026 09:30:00'),'1')"));
    EXPECT_EQ(tr(QStringLiteral("INSERT INTO SCHEDULED ([START_TIME], END_TIME) Values(NULL, "
                                "lower('x'))")),
              QStringLiteral("INSERT INTO SCHEDULED (\"START_TIME\", END_TIME) Values(NULL, "
                             "lower('x'))"));
    // Comparisons, either way round, qualified or bracketed.
    EXPECT_EQ(tr(QStringLiteral("Select * from PATIENTS WHERE [DOB] = '05/03/1970' AND "
                                "'2026-01-01' < PATIENTS.CREATED AND [PATIENTS.LAST_UPDATED] >= "
                                "'2026-01-01' AND CITY = 'x'")),
              QStringLiteral("Select * from PATIENTS WHERE \"DOB\" = jet_cdate('05/03/1970') AND "
                             "jet_cdate('2026-01-01') < PATIENTS.CREATED AND "
                             "\"PATIENTS\".\"LAST_UPDATED\" >= jet_cdate('2026-01-01') AND CITY = "
                             "'x'"));
    EXPECT_EQ(tr(QStringLiteral("SELECT * FROM SCHEDULED WHERE RECALLDUEDATE between '1/12/2026' "
                                "And '31/12/2026' AND REASON BETWEEN 'a' AND 'b'")),
              QStringLiteral("SELECT * FROM SCHEDULED WHERE RECALLDUEDATE between "
                             "jet_cdate('1/12/2026') And jet_cdate('31/12/2026') AND REASON "
                             "BETWEEN 'a' AND 'b'"));
    // Without a schema nothing is a date column.
    EXPECT_EQ(translateJetSql(QStringLiteral("UPDATE SCHEDULED SET START_TIME = 'x'"), {}).value(),
              QStringLiteral("UPDATE SCHEDULED SET START_TIME = 'x'"));
}

TEST(Translate, SyntaxErrorsAreErrorsWithAPosition) {
    for (const QString& bad :
         {QStringLiteral("SELECT * FROM T WHERE a = 'open"),
          QStringLiteral("SELECT [LAST NAME FROM T"),
          QStringLiteral("SELECT a FROM T WHERE b = #3/5/2026"), QStringLiteral("SELECT a $ b"),
          QStringLiteral("SELECT a FROM T WHERE d = #not a date#"), QStringLiteral("SELECT []")}) {
        const auto sql = translateJetSql(bad, test::sharedDialect());
        ASSERT_FALSE(sql.ok()) << bad.toStdString();
        EXPECT_EQ(sql.error().number, orlo::err::kCommandError);
        EXPECT_TRUE(sql.error().description.startsWith(QStringLiteral("Syntax error")))
            << sql.error().description.toStdString();
        EXPECT_TRUE(sql.error().description.contains(QStringLiteral("at character")));
    }
    const auto open = translateJetSql(QStringLiteral("SELECT 'x' FROM T WHERE a = 'open"), {});
    EXPECT_TRUE(open.error().description.contains(QStringLiteral("character 29")))
        << open.error().description.toStdString();
}
