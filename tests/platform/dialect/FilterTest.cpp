// Recordset filters: the finder's "[column] LIKE *text*" with texts holding
// blanks, apostrophes and wildcard characters, run against real rows.

#include <gtest/gtest.h>

#include "TestDatabase.h"
#include "TestSupport.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using orlo::test::TestDatabase;

namespace {

class Filter : public ::testing::Test {
protected:
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 10), QTime(9, 30))};
    TestDatabase db{clock, Locale::unitedKingdom()};

    void SetUp() override {
        const QStringList names = {u"O'Brien Smith"_s, u"obrien"_s, u"Smith"_s, u"100% Pure_Ltd"_s,
                                   u"Ó'Briain"_s};
        for (const QString& n : names) {
            ASSERT_EQ(db.execRaw(u"INSERT INTO PATIENTS (\"LAST NAME\", DOB) VALUES "
                                 "(?, '1970-03-05 00:00:00')"_s,
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
        QString sql = u"SELECT \"LAST NAME\" FROM PATIENTS"_s;
        if (!clause->where.isEmpty()) {
            sql += u" WHERE "_s + clause->where;
        }
        QStringList out;
        for (const QVariant& v : db.column(sql + u" ORDER BY PT_ID"_s, clause->parameters)) {
            out << v.toString();
        }
        return out;
    }
};

}  // namespace

TEST_F(Filter, FinderSearchMatchesContainedTextAndNoWildcardOfTheText) {
    const auto clause = data::translateFilter(u"[LAST NAME] LIKE *O'Brien Smith*"_s);
    ASSERT_TRUE(clause.ok());
    EXPECT_EQ(clause->where, u"\"LAST NAME\" LIKE ? ESCAPE '\\'"_s);
    EXPECT_EQ(clause->parameters, QStringList{u"%O'Brien Smith%"_s});
    EXPECT_EQ(names(u"[LAST NAME] LIKE *O'Brien Smith*"_s), QStringList{u"O'Brien Smith"_s});
    EXPECT_EQ(names(u"[LAST NAME] LIKE *smith*"_s), (QStringList{u"O'Brien Smith"_s, u"Smith"_s}));
    EXPECT_EQ(names(u"[LAST NAME] LIKE *ó'BR*"_s), QStringList{u"Ó'Briain"_s});
    EXPECT_EQ(names(u"[LAST NAME] LIKE *0% P*"_s), QStringList{u"100% Pure_Ltd"_s});
    EXPECT_EQ(names(u"[LAST NAME] LIKE *e_L*"_s), QStringList{u"100% Pure_Ltd"_s});
    EXPECT_TRUE(names(u"[LAST NAME] LIKE *h_t*"_s).isEmpty());
    EXPECT_EQ(names(u"[LAST NAME] LIKE Sm?th"_s), QStringList{u"Smith"_s});
}

TEST_F(Filter, EmptyZeroComparisonsAndQuotedValues) {
    for (const QString& none : {QString(), u"0"_s, u"  "_s}) {
        const auto clause = data::translateFilter(none);
        ASSERT_TRUE(clause.ok());
        EXPECT_TRUE(clause->where.isEmpty());
        EXPECT_TRUE(clause->parameters.isEmpty());
    }
    EXPECT_EQ(names(u"0"_s).size(), 5);
    EXPECT_EQ(names(u"[LAST NAME] = 'O''Brien Smith'"_s), QStringList{u"O'Brien Smith"_s});
    EXPECT_EQ(names(u"[LAST NAME] = SMITH"_s), QStringList{u"Smith"_s});
    EXPECT_EQ(names(u"PT_ID >= 4"_s), (QStringList{u"100% Pure_Ltd"_s, u"Ó'Briain"_s}));
    EXPECT_EQ(names(u"[LAST NAME] not like *i*"_s), QStringList{u"100% Pure_Ltd"_s});
}

TEST_F(Filter, DateColumnsMatchAsShownAndUnreadableFiltersAreErrors) {
    // 5 March 1970 reads 05/03/1970 on a day-month workstation.
    EXPECT_EQ(names(u"[DOB] LIKE *05/03/1970*"_s).size(), 5);
    EXPECT_TRUE(names(u"[DOB] LIKE *03/05/1970*"_s).isEmpty());
    EXPECT_EQ(names(u"[DOB] = 05/03/1970"_s).size(), 5);
    for (const QString& bad :
         {u"[LAST NAME LIKE *x*"_s, u"[LAST NAME] *x*"_s, u"LIKE"_s, u"[LAST NAME] NOT *x*"_s}) {
        const auto clause = data::translateFilter(bad);
        ASSERT_FALSE(clause.ok()) << bad.toStdString();
        EXPECT_EQ(clause.error().number, data::kInvalidFilter);
        EXPECT_TRUE(clause.error().description.contains(bad));
    }
}
