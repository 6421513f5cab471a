// The dialect's functions on a bare in-memory connection with a pinned clock.

#include <gtest/gtest.h>

#include "TestDatabase.h"
#include "TestSupport.h"
#include "platform/dialect/DateMath.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using orlo::test::TestDatabase;

namespace {

class Functions : public ::testing::Test {
protected:
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 10), QTime(23, 59, 59))};
    TestDatabase db{clock, Locale::unitedKingdom(), /*withTables=*/false};

    QVariant eval(const QString& expression) { return db.value(u"SELECT "_s + expression); }
    qint64 diff(const char* interval, const char* a, const char* b) {
        const QVariant v = db.value(
            u"SELECT jet_datediff(?, ?, ?)"_s,
            {QString::fromLatin1(interval), QString::fromLatin1(a), QString::fromLatin1(b)});
        EXPECT_EQ(v.typeId(), QMetaType::LongLong) << v.toString().toStdString();
        return v.toLongLong();
    }
};

}  // namespace

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

TEST(FunctionsNow, EveryRowOfOneRunSeesTheSameNowAndDateSerialKeepsToTheCalendar) {
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
    // DateSerial rejects years outside the calendar.
    EXPECT_FALSE(data::dateSerial(9999, 13, 1).has_value());
    EXPECT_FALSE(data::dateSerial(100, 1, 0).has_value());
    EXPECT_EQ(data::dateSerial(100, 1, 1), QDate(100, 1, 1));
    EXPECT_FALSE(data::dateSerial(2026, 1, 4000000000LL).has_value());
}

TEST_F(Functions, DateDiffCountsBoundariesCrossedNullsAndFailures) {
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
    EXPECT_EQ(db.value(u"SELECT jet_datediff('d', 46091, '2026-03-10')"_s), QVariant(qint64{0}));
    // Other intervals count their own boundaries.
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
    EXPECT_FALSE(eval(u"jet_datediff('d', NULL, '2026-03-10')"_s).isValid());
    const QString noDate = eval(u"jet_datediff('d', 'someday', '2026-03-10')"_s).toString();
    EXPECT_EQ(data::errorNumberOfFunctionMessage(noDate), err::kTypeMismatch)
        << noDate.toStdString();
    const QString badInterval = eval(u"jet_datediff('x', '2026-03-10', '2026-03-10')"_s).toString();
    EXPECT_EQ(data::errorNumberOfFunctionMessage(badInterval), err::kInvalidProcedureCall)
        << badInterval.toStdString();
}

TEST_F(Functions, DateSerialRunsOverAndYearMonthDayRead) {
    const auto serial = [&](const char* args) {
        return eval(u"jet_dateserial(%1)"_s.arg(QString::fromLatin1(args))).toString();
    };
    EXPECT_EQ(serial("2026,13,0"), u"2026-12-31 00:00:00"_s);
    EXPECT_EQ(serial("2026,12+1,0"), u"2026-12-31 00:00:00"_s);
    EXPECT_EQ(serial("2026,12,1"), u"2026-12-01 00:00:00"_s);
    EXPECT_EQ(serial("2026,0,1"), u"2025-12-01 00:00:00"_s);
    EXPECT_EQ(serial("2026,1,0"), u"2025-12-31 00:00:00"_s);
    EXPECT_EQ(serial("2026,1,32"), u"2026-02-01 00:00:00"_s);
    EXPECT_EQ(serial("2028,3,0"), u"2028-02-29 00:00:00"_s);
    EXPECT_EQ(serial("2026,3,0"), u"2026-02-28 00:00:00"_s);
    EXPECT_EQ(serial("2026,-11,1"), u"2025-01-01 00:00:00"_s);
    EXPECT_EQ(serial("2026,25,1"), u"2028-01-01 00:00:00"_s);
    EXPECT_EQ(serial("'2026','2','29'"), u"2026-03-01 00:00:00"_s);
    EXPECT_EQ(serial("26,1,1"), u"2026-01-01 00:00:00"_s);
    EXPECT_EQ(serial("75,1,1"), u"1975-01-01 00:00:00"_s);
    EXPECT_FALSE(eval(u"jet_dateserial(NULL,1,1)"_s).isValid());
    EXPECT_EQ(data::errorNumberOfFunctionMessage(serial("'x',1,1")), err::kTypeMismatch);
    EXPECT_EQ(data::errorNumberOfFunctionMessage(serial("10000,1,1")), err::kInvalidProcedureCall);
    // Year, month and day of a date text or value.
    EXPECT_EQ(eval(u"jet_year('2026-12-31 23:59:59')"_s), QVariant(qint64{2026}));
    EXPECT_EQ(eval(u"jet_year(jet_now())"_s), QVariant(qint64{2026}));
    EXPECT_EQ(eval(u"jet_month('05/03/2026')"_s), QVariant(qint64{3}));
    EXPECT_EQ(eval(u"jet_day('05/03/2026')"_s), QVariant(qint64{5}));
    EXPECT_FALSE(eval(u"jet_year(NULL)"_s).isValid());
    EXPECT_EQ(data::errorNumberOfFunctionMessage(eval(u"jet_year('x')"_s).toString()),
              err::kTypeMismatch);
    // Now reads the injected clock.
    EXPECT_EQ(eval(u"jet_now()"_s), u"2026-03-10 23:59:59"_s);
    clock.advance(1);
    EXPECT_EQ(eval(u"jet_now()"_s), u"2026-03-11 00:00:00"_s);
}

TEST_F(Functions, LikeIgnoresCaseBeyondAscii) {
    const auto like = [&](const QString& text, const QString& pattern) {
        return db.value(u"SELECT ? LIKE ? ESCAPE '\\'"_s, {text, pattern}).toLongLong();
    };
    EXPECT_EQ(like(u"ÉMILE Zoë"_s, u"%émile z_ë%"_s), 1);
    EXPECT_EQ(like(u"ΩΜΈΓΑ Петров"_s, u"ωμέγα п%"_s), 1);
    EXPECT_EQ(like(u"50% off"_s, u"50\\%%"_s), 1);
    EXPECT_EQ(like(u"500 off"_s, u"50\\%%"_s), 0);
    EXPECT_EQ(like(u"a_b"_s, u"a\\_b"_s), 1);
    EXPECT_EQ(like(u"axb"_s, u"a\\_b"_s), 0);
    EXPECT_EQ(like(u"mississippi"_s, u"%iss%ppi"_s), 1);
    // One wildcard character is one character, also outside the BMP.
    EXPECT_EQ(like(u"a\U0001F600b"_s, u"a_b"_s), 1);
    EXPECT_EQ(like(u"xa\U0001F600b"_s, u"%a_b"_s), 1);
    EXPECT_EQ(like(u"mississippi"_s, u"%iss%ppix"_s), 0);
    EXPECT_EQ(db.value(u"SELECT 'Abc' LIKE 'aB%'"_s).toLongLong(), 1);
    EXPECT_FALSE(db.value(u"SELECT NULL LIKE 'a'"_s).isValid());
    // One pattern against many rows: the compiled pattern is reused.
    EXPECT_EQ(db.value(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                       "FROM n WHERE i < 500) SELECT COUNT(*) FROM n WHERE "
                       "('row ' || i) LIKE '%7'"_s),
              QVariant(qint64{50}));
}
