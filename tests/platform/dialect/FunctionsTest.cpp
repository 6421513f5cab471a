// The dialect's functions on a bare in-memory connection with a pinned clock.

#include <gtest/gtest.h>

#include "TestDatabase.h"
#include "TestSupport.h"
#include "platform/dialect/DateMath.h"

using namespace orlo;
using orlo::test::TestDatabase;

namespace {

class Functions : public ::testing::Test {
protected:
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 10), QTime(23, 59, 59))};
    TestDatabase db{clock, Locale::unitedKingdom(), /*withTables=*/false};

    QVariant eval(const QString& expression) {
        return db.value(QStringLiteral("SELECT ") + expression);
    }
    qint64 diff(const char* interval, const char* a, const char* b) {
        const QVariant v = db.value(
            QStringLiteral("SELECT jet_datediff(?, ?, ?)"),
            {QString::fromLatin1(interval), QString::fromLatin1(a), QString::fromLatin1(b)});
        EXPECT_EQ(v.typeId(), QMetaType::LongLong) << v.toString().toStdString();
        return v.toLongLong();
    }
};

}  // namespace

TEST_F(Functions, NowReadsTheInjectedClock) {
    EXPECT_EQ(eval(QStringLiteral("jet_now()")), QStringLiteral("2026-03-10 23:59:59"));
    clock.advance(1);
    EXPECT_EQ(eval(QStringLiteral("jet_now()")), QStringLiteral("2026-03-11 00:00:00"));
}

// A clock that counts how often it is read.
class CountingClock final : public Clock {
public:
    explicit CountingClock(QDateTime at) : m_at(std::move(at)) {}
    QDateTime now() const override {
        ++m_reads;
        return m_at;
    }
    int reads() const { return m_reads; }
    void advance(qint64 seconds) { m_at = m_at.addSecs(seconds); }

private:
    QDateTime m_at;
    mutable int m_reads = 0;
};

TEST(FunctionsNow, EveryRowOfOneRunSeesTheSameNowAndTheNextRunANewOne) {
    CountingClock clock(naiveDateTime(QDate(2026, 3, 10), QTime(9, 30)));
    TestDatabase db(clock, Locale::unitedKingdom(), false);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.handle(),
                                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                 "WHERE i < 1000) SELECT COUNT(DISTINCT jet_now()), MIN(jet_now()) "
                                 "FROM n WHERE jet_datediff('d', jet_now(), '2026-03-10') = 0",
                                 -1, &st, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), 1);
    EXPECT_LE(clock.reads(), 3);  // once per call site, not once per row
    clock.advance(3600);
    sqlite3_reset(st);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)), "2026-03-10 10:30:00");
    sqlite3_finalize(st);
}

TEST_F(Functions, DateDiffInDaysCountsMidnightsNotHours) {
    EXPECT_EQ(diff("d", "2026-03-10 23:59:59", "2026-03-11 00:00:00"), 1);
    EXPECT_EQ(diff("d", "2026-03-10 00:00:00", "2026-03-10 23:59:59"), 0);
    EXPECT_EQ(diff("d", "2026-03-11 00:00:00", "2026-03-10 23:59:59"), -1);
    EXPECT_EQ(diff("D", "2026-01-31", "2026-03-01"), 29);
    EXPECT_EQ(diff("d", "2028-02-28", "2028-03-01"), 2);  // leap year
    EXPECT_EQ(diff("d", "2027-02-28", "2027-03-01"), 1);
    EXPECT_EQ(diff("d", "2026-12-31 23:00:00", "2027-01-01 01:00:00"), 1);
    EXPECT_EQ(diff("d", "2025-03-10", "2026-03-10"), 365);
    EXPECT_EQ(diff("d", "2023-03-10", "2024-03-10"), 366);
    // Dates in the locale's form and date serial numbers are read as well.
    EXPECT_EQ(diff("d", "01/03/2026", "10/03/2026 08:00:00"), 9);
    EXPECT_EQ(db.value(QStringLiteral("SELECT jet_datediff('d', 46091, '2026-03-10')")),
              QVariant(qint64{0}));
}

TEST_F(Functions, DateDiffInOtherIntervals) {
    EXPECT_EQ(diff("m", "2026-01-31", "2026-02-01"), 1);
    EXPECT_EQ(diff("m", "2026-03-31", "2026-01-01"), -2);
    EXPECT_EQ(diff("yyyy", "2026-12-31 23:59:59", "2027-01-01"), 1);
    EXPECT_EQ(diff("q", "2026-03-31", "2026-04-01"), 1);
    EXPECT_EQ(diff("ww", "2026-03-07", "2026-03-08"), 1);  // Saturday to Sunday
    EXPECT_EQ(diff("ww", "2026-03-08", "2026-03-14"), 0);  // Sunday to Saturday
    EXPECT_EQ(diff("w", "2026-03-01", "2026-03-14"), 1);
    EXPECT_EQ(diff("h", "2026-03-10 09:59:59", "2026-03-10 10:00:00"), 1);
    EXPECT_EQ(diff("n", "2026-03-10 10:00:59", "2026-03-10 09:58:00"), -2);
    EXPECT_EQ(diff("s", "2026-03-10 23:59:59", "2026-03-11 00:00:01"), 2);
}

TEST_F(Functions, DateDiffNullsAndFailures) {
    EXPECT_FALSE(eval(QStringLiteral("jet_datediff('d', NULL, '2026-03-10')")).isValid());
    const QString noDate =
        eval(QStringLiteral("jet_datediff('d', 'someday', '2026-03-10')")).toString();
    EXPECT_EQ(data::errorNumberOfFunctionMessage(noDate), err::kTypeMismatch)
        << noDate.toStdString();
    const QString badInterval =
        eval(QStringLiteral("jet_datediff('x', '2026-03-10', '2026-03-10')")).toString();
    EXPECT_EQ(data::errorNumberOfFunctionMessage(badInterval), err::kInvalidProcedureCall)
        << badInterval.toStdString();
}

TEST_F(Functions, DateSerialRunsOverInBothDirections) {
    const auto serial = [&](const char* args) {
        return eval(QStringLiteral("jet_dateserial(%1)").arg(QString::fromLatin1(args))).toString();
    };
    EXPECT_EQ(serial("2026,13,0"), QStringLiteral("2026-12-31 00:00:00"));
    EXPECT_EQ(serial("2026,12+1,0"), QStringLiteral("2026-12-31 00:00:00"));
    EXPECT_EQ(serial("2026,12,1"), QStringLiteral("2026-12-01 00:00:00"));
    EXPECT_EQ(serial("2026,0,1"), QStringLiteral("2025-12-01 00:00:00"));
    EXPECT_EQ(serial("2026,1,0"), QStringLiteral("2025-12-31 00:00:00"));
    EXPECT_EQ(serial("2026,1,32"), QStringLiteral("2026-02-01 00:00:00"));
    EXPECT_EQ(serial("2028,3,0"), QStringLiteral("2028-02-29 00:00:00"));
    EXPECT_EQ(serial("2026,3,0"), QStringLiteral("2026-02-28 00:00:00"));
    EXPECT_EQ(serial("2026,-11,1"), QStringLiteral("2025-01-01 00:00:00"));
    EXPECT_EQ(serial("2026,25,1"), QStringLiteral("2028-01-01 00:00:00"));
    EXPECT_EQ(serial("'2026','2','29'"), QStringLiteral("2026-03-01 00:00:00"));
    EXPECT_EQ(serial("26,1,1"), QStringLiteral("2026-01-01 00:00:00"));
    EXPECT_EQ(serial("75,1,1"), QStringLiteral("1975-01-01 00:00:00"));
    EXPECT_FALSE(eval(QStringLiteral("jet_dateserial(NULL,1,1)")).isValid());
    EXPECT_EQ(data::errorNumberOfFunctionMessage(serial("'x',1,1")), err::kTypeMismatch);
    EXPECT_EQ(data::errorNumberOfFunctionMessage(serial("10000,1,1")), err::kInvalidProcedureCall);
}

TEST_F(Functions, YearMonthDay) {
    EXPECT_EQ(eval(QStringLiteral("jet_year('2026-12-31 23:59:59')")), QVariant(qint64{2026}));
    EXPECT_EQ(eval(QStringLiteral("jet_year(jet_now())")), QVariant(qint64{2026}));
    EXPECT_EQ(eval(QStringLiteral("jet_month('05/03/2026')")), QVariant(qint64{3}));
    EXPECT_EQ(eval(QStringLiteral("jet_day('05/03/2026')")), QVariant(qint64{5}));
    EXPECT_FALSE(eval(QStringLiteral("jet_year(NULL)")).isValid());
    EXPECT_EQ(data::errorNumberOfFunctionMessage(eval(QStringLiteral("jet_year('x')")).toString()),
              err::kTypeMismatch);
}

TEST_F(Functions, LikeIgnoresCaseBeyondAscii) {
    const auto like = [&](const QString& text, const QString& pattern) {
        return db.value(QStringLiteral("SELECT ? LIKE ? ESCAPE '\\'"), {text, pattern})
            .toLongLong();
    };
    EXPECT_EQ(like(QStringLiteral("ÉMILE Zoë"), QStringLiteral("%émile z_ë%")), 1);
    EXPECT_EQ(like(QStringLiteral("ΩΜΈΓΑ Петров"), QStringLiteral("ωμέγα п%")), 1);
    EXPECT_EQ(like(QStringLiteral("50% off"), QStringLiteral("50\\%%")), 1);
    EXPECT_EQ(like(QStringLiteral("500 off"), QStringLiteral("50\\%%")), 0);
    EXPECT_EQ(like(QStringLiteral("a_b"), QStringLiteral("a\\_b")), 1);
    EXPECT_EQ(like(QStringLiteral("axb"), QStringLiteral("a\\_b")), 0);
    EXPECT_EQ(like(QStringLiteral("mississippi"), QStringLiteral("%iss%ppi")), 1);
    // One wildcard character is one character, also outside the BMP.
    EXPECT_EQ(like(QStringLiteral("a\U0001F600b"), QStringLiteral("a_b")), 1);
    EXPECT_EQ(like(QStringLiteral("xa\U0001F600b"), QStringLiteral("%a_b")), 1);
    EXPECT_EQ(like(QStringLiteral("mississippi"), QStringLiteral("%iss%ppix")), 0);
    EXPECT_EQ(db.value(QStringLiteral("SELECT 'Abc' LIKE 'aB%'")).toLongLong(), 1);
    EXPECT_FALSE(db.value(QStringLiteral("SELECT NULL LIKE 'a'")).isValid());
    // One pattern against many rows: the compiled pattern is reused.
    EXPECT_EQ(db.value(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                      "FROM n WHERE i < 500) SELECT COUNT(*) FROM n WHERE "
                                      "('row ' || i) LIKE '%7'")),
              QVariant(qint64{50}));
}

TEST(DateMath, DateSerialRejectsYearsOutsideTheCalendar) {
    EXPECT_FALSE(data::dateSerial(9999, 13, 1).has_value());
    EXPECT_FALSE(data::dateSerial(100, 1, 0).has_value());
    EXPECT_EQ(data::dateSerial(100, 1, 1), QDate(100, 1, 1));
    EXPECT_FALSE(data::dateSerial(2026, 1, 4000000000LL).has_value());
}
