// Texts written into date columns: the locale decides day-month or
// month-day order, ISO 8601 always works, and a non-date is refused.

#include <gtest/gtest.h>

#include "TestDatabase.h"
#include "TestSupport.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using orlo::test::TestDatabase;

TEST(CanonicalDate, RoundTripsSerialNumbersAndRejectsImpossibleDates) {
    const QDateTime dt = naiveDateTime(QDate(2026, 3, 5), QTime(14, 30, 7));
    EXPECT_EQ(data::canonicalDate(dt), u"2026-03-05 14:30:07"_s);
    EXPECT_EQ(data::parseCanonicalDate(u"2026-03-05 14:30:07"), dt);
    EXPECT_EQ(data::parseCanonicalDate(u"2026-03-05T14:30:07.250"), dt);
    EXPECT_EQ(data::parseCanonicalDate(u"2026-03-05"), naiveDateTime(QDate(2026, 3, 5)));
    EXPECT_EQ(data::parseCanonicalDate(u"0999-01-01 00:00"), naiveDateTime(QDate(999, 1, 1)));
    for (const char16_t* bad : {u"2026-02-29", u"2026-03-05 24:00:00", u"2026-3-5",
                                u"2026-03-05 1:00", u"2026-03-05 10:00:00x", u"", u"05/03/2026"}) {
        EXPECT_FALSE(data::parseCanonicalDate(bad).has_value())
            << QString::fromUtf16(bad).toStdString();
    }
    // Canonical texts sort as the dates they stand for.
    EXPECT_LT(data::canonicalDate(naiveDateTime(QDate(2026, 9, 1))),
              data::canonicalDate(naiveDateTime(QDate(2026, 10, 1))));
    EXPECT_EQ(data::partsFromSerial(0)->date, QDate(1899, 12, 30));
    EXPECT_EQ(data::canonicalDate(*data::partsFromSerial(46091.75)), u"2026-03-10 18:00:00"_s);
    EXPECT_EQ(data::canonicalDate(*data::partsFromSerial(-1.25)), u"1899-12-29 06:00:00"_s);
}

// The order of day and month is the locale's (tested with it); here what a
// date text becomes in the database.
TEST(DateCoercion, TextsInTheLocaleOrIsoBecomeCanonicalAndANonDateIsRefused) {
    const Locale uk = Locale::unitedKingdom();
    const Locale us = Locale::unitedStates();
    EXPECT_EQ(data::coerceDateText(u"3/5/2026 2:30:00 PM"_s, us), u"2026-03-05 14:30:00"_s);
    EXPECT_EQ(data::coerceDateText(u"05/03/2026 14:30:00"_s, uk), u"2026-03-05 14:30:00"_s);
    EXPECT_EQ(data::coerceDateText(u"05 March 2026"_s, uk), u"2026-03-05 00:00:00"_s);
    for (const Locale& l : {uk, us}) {
        EXPECT_EQ(data::coerceDateText(u" 2026-03-05T14:30:00 "_s, l), u"2026-03-05 14:30:00"_s);
        EXPECT_FALSE(data::coerceDateText(u"not a date"_s, l).has_value());
        EXPECT_FALSE(data::coerceDateText(QString(), l).has_value());
    }
    EXPECT_FALSE(data::coerceDateText(u"31/02/2026"_s, uk).has_value());
    // What the system's UPDATEs store in either locale, and that one with a
    // non-date writes nothing, is the system-SQL suite's (on both engines);
    // here the refusal's own text and an INSERT that carries a non-date.
    PinnedClock clock(naiveDateTime(QDate(2026, 3, 10), QTime(9, 30)));
    TestDatabase db(clock, Locale::unitedKingdom());
    const QString message = db.exec(
        u"INSERT INTO CURRENTSESSIONS(IP, LOGGED_IN_AT) Values('127.0.0.2', 'yesterday')"_s);
    EXPECT_EQ(data::errorNumberOfFunctionMessage(message), err::kTypeMismatch);
    EXPECT_TRUE(message.contains(u"Data type mismatch in criteria expression."))
        << message.toStdString();
    EXPECT_EQ(db.value(u"SELECT COUNT(*) FROM CURRENTSESSIONS"_s), QVariant(qint64{0}));
    // CDate and the date text follow the locale.
    TestDatabase onUs(clock, Locale::unitedStates(), false);
    EXPECT_EQ(onUs.value(u"SELECT jet_datetext('2026-03-05 14:30:00')"_s),
              u"3/5/2026 2:30:00 PM"_s);
    EXPECT_EQ(onUs.value(u"SELECT jet_datetext('2026-03-05 00:00:00')"_s), u"3/5/2026"_s);
    EXPECT_EQ(onUs.value(u"SELECT jet_datetext('plain')"_s), u"plain"_s);
    EXPECT_EQ(onUs.value(u"SELECT jet_cdate('05/03/2026')"_s), u"2026-05-03 00:00:00"_s);
    EXPECT_FALSE(onUs.value(u"SELECT jet_cdate(NULL)"_s).isValid());
    EXPECT_EQ(data::errorNumberOfFunctionMessage(u"no such column: x"), err::kNone);
}
