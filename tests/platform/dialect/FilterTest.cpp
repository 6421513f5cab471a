// Recordset filters: the finder's "[column] LIKE *text*" with texts holding
// blanks, apostrophes and wildcard characters, run against real rows.

#include <gtest/gtest.h>

#include "TestDatabase.h"
#include "TestSupport.h"

using namespace orlo;
using orlo::test::TestDatabase;

namespace {

class Filter : public ::testing::Test {
protected:
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 10), QTime(9, 30))};
    TestDatabase db{clock, Locale::unitedKingdom()};

    void SetUp() override {
        const QStringList names = {QStringLiteral("O'Brien Smith"), QStringLiteral("obrien"),
                                   QStringLiteral("Smith"), QStringLiteral("100% Pure_Ltd"),
                                   QStringLiteral("Ó'Briain")};
        for (const QString& n : names) {
            ASSERT_EQ(db.execRaw(QStringLiteral("INSERT INTO PATIENTS (\"LAST NAME\", DOB) VALUES "
                                                "(?, '1970-03-05 00:00:00')"),
                                 {n}),
                      QString());
        }
    }

    // The last names the filter lets through, in key order.
    QStringList names(const QString& filter) {
        const auto clause = data::translateFilter(filter, [](QStringView column) {
            return test::isSharedDateColumn(u"PATIENTS", column);
        });
        EXPECT_TRUE(clause.ok()) << filter.toStdString();
        if (!clause) {
            return {};
        }
        QString sql = QStringLiteral("SELECT \"LAST NAME\" FROM PATIENTS");
        if (!clause->where.isEmpty()) {
            sql += QStringLiteral(" WHERE ") + clause->where;
        }
        QStringList out;
        for (const QVariant& v :
             db.column(sql + QStringLiteral(" ORDER BY PT_ID"), clause->parameters)) {
            out << v.toString();
        }
        return out;
    }
};

}  // namespace

TEST_F(Filter, FinderSearchMatchesContainedTextWithApostrophesAndBlanks) {
    const auto clause = data::translateFilter(QStringLiteral("[LAST NAME] LIKE *O'Brien Smith*"));
    ASSERT_TRUE(clause.ok());
    EXPECT_EQ(clause->where, QStringLiteral("\"LAST NAME\" LIKE ? ESCAPE '\\'"));
    EXPECT_EQ(clause->parameters, QStringList{QStringLiteral("%O'Brien Smith%")});
    EXPECT_EQ(names(QStringLiteral("[LAST NAME] LIKE *O'Brien Smith*")),
              QStringList{QStringLiteral("O'Brien Smith")});
    EXPECT_EQ(names(QStringLiteral("[LAST NAME] LIKE *smith*")),
              (QStringList{QStringLiteral("O'Brien Smith"), QStringLiteral("Smith")}));
    EXPECT_EQ(names(QStringLiteral("[LAST NAME] LIKE *ó'BR*")),
              QStringList{QStringLiteral("Ó'Briain")});
}

TEST_F(Filter, PercentAndUnderscoreOfTheTextAreNoWildcards) {
    EXPECT_EQ(names(QStringLiteral("[LAST NAME] LIKE *0% P*")),
              QStringList{QStringLiteral("100% Pure_Ltd")});
    EXPECT_EQ(names(QStringLiteral("[LAST NAME] LIKE *e_L*")),
              QStringList{QStringLiteral("100% Pure_Ltd")});
    EXPECT_TRUE(names(QStringLiteral("[LAST NAME] LIKE *h_t*")).isEmpty());
    EXPECT_EQ(names(QStringLiteral("[LAST NAME] LIKE Sm?th")),
              QStringList{QStringLiteral("Smith")});
}

TEST_F(Filter, EmptyAndZeroMeanNoFilter) {
    for (const QString& none : {QString(), QStringLiteral("0"), QStringLiteral("  ")}) {
        const auto clause = data::translateFilter(none);
        ASSERT_TRUE(clause.ok());
        EXPECT_TRUE(clause->where.isEmpty());
        EXPECT_TRUE(clause->parameters.isEmpty());
    }
    EXPECT_EQ(names(QStringLiteral("0")).size(), 5);
}

TEST_F(Filter, ComparisonsAndQuotedValues) {
    EXPECT_EQ(names(QStringLiteral("[LAST NAME] = 'O''Brien Smith'")),
              QStringList{QStringLiteral("O'Brien Smith")});
    EXPECT_EQ(names(QStringLiteral("[LAST NAME] = SMITH")), QStringList{QStringLiteral("Smith")});
    EXPECT_EQ(names(QStringLiteral("PT_ID >= 4")),
              (QStringList{QStringLiteral("100% Pure_Ltd"), QStringLiteral("Ó'Briain")}));
    EXPECT_EQ(names(QStringLiteral("[LAST NAME] not like *i*")),
              QStringList{QStringLiteral("100% Pure_Ltd")});
}

TEST_F(Filter, DateColumnsMatchAsTheLocaleShowsThem) {
    // 5 March 1970 reads 05/03/1970 on a day-month workstation.
    EXPECT_EQ(names(QStringLiteral("[DOB] LIKE *05/03/1970*")).size(), 5);
    EXPECT_TRUE(names(QStringLiteral("[DOB] LIKE *03/05/1970*")).isEmpty());
    EXPECT_EQ(names(QStringLiteral("[DOB] = 05/03/1970")).size(), 5);
}

TEST_F(Filter, UnreadableFiltersAreErrors) {
    for (const QString& bad :
         {QStringLiteral("[LAST NAME LIKE *x*"), QStringLiteral("[LAST NAME] *x*"),
          QStringLiteral("LIKE"), QStringLiteral("[LAST NAME] NOT *x*")}) {
        const auto clause = data::translateFilter(bad);
        ASSERT_FALSE(clause.ok()) << bad.toStdString();
        EXPECT_EQ(clause.error().number, data::kInvalidFilter);
        EXPECT_TRUE(clause.error().description.contains(bad));
    }
}
