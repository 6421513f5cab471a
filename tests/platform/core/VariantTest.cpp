// Conversions of the variant value that the add-in's routines rely on.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/core/Variant.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;

TEST(Variant, IntegerConversionsRoundHalfToEvenAndOverflowAtBothWidths) {
    const Locale l = Locale::unitedKingdom();
    EXPECT_EQ(*Variant(2.5).toInt16(l), 2);
    EXPECT_EQ(*Variant(3.5).toInt16(l), 4);
    EXPECT_EQ(*Variant(u" 32767 "_s).toInt16(l), 32767);
    EXPECT_EQ(Variant(u"32768"_s).toInt16(l).error().number, err::kOverflow);
    EXPECT_EQ(*Variant(u"32768"_s).toInt32(l), 32768);
    EXPECT_EQ(Variant(u""_s).toInt32(l).error().number, err::kTypeMismatch);
    EXPECT_EQ(Variant(u"12a"_s).toInt32(l).error().number, err::kTypeMismatch);
    EXPECT_EQ(Variant::null().toInt32(l).error().number, err::kInvalidUseOfNull);
    EXPECT_EQ(*Variant().toInt32(l), 0);
    EXPECT_EQ(*Variant(-32768).toInt16(l), -32768);
    EXPECT_EQ(Variant(-32769).toInt16(l).error().number, err::kOverflow);
    // Half to even: 32767.5 rounds up out of range, -32768.5 up into it.
    EXPECT_EQ(Variant(32767.5).toInt16(l).error().number, err::kOverflow);
    EXPECT_EQ(*Variant(-32768.5).toInt16(l), -32768);
    EXPECT_EQ(*Variant(u"-0.5"_s).toInt16(l), 0);
    EXPECT_EQ(*Variant(qint64(2147483647)).toInt32(l), 2147483647);
    EXPECT_EQ(Variant(qint64(2147483648)).toInt32(l).error().number, err::kOverflow);
    EXPECT_EQ(Variant(2147483647.5).toInt32(l).error().number, err::kOverflow);
    EXPECT_EQ(*Variant(-2147483648.5).toInt32(l), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(Variant(u"3,000,000,000"_s).toInt32(l).error().number, err::kOverflow);
    EXPECT_EQ(*Variant(u"1,000"_s).toInt16(l), 1000);
    EXPECT_EQ(*Variant(u"1.5e3"_s).toInt32(l), 1500);
    EXPECT_EQ(Variant(1e300).toInt32(l).error().number, err::kOverflow);
    EXPECT_EQ(*Variant(true).toInt16(l), -1);
    EXPECT_EQ(*Variant(false).toInt32(l), 0);
    // A date counts days since 30 December 1899.
    EXPECT_EQ(*Variant(naiveDateTime(QDate(2026, 3, 5), QTime(11, 0))).toInt32(l), 46086);
}

TEST(Variant, TextOfEveryKindOfDoublesAndOfZeroDates) {
    const Locale l = Locale::unitedKingdom();
    const Locale us = Locale::unitedStates();
    EXPECT_EQ(*Variant().toText(l), QString());
    EXPECT_EQ(*Variant(true).toText(l), u"True"_s);
    EXPECT_EQ(*Variant(1.5).toText(l), u"1.5"_s);
    EXPECT_EQ(*Variant(naiveDateTime(QDate(2026, 3, 5), QTime(14, 30))).toText(l),
              u"05/03/2026 14:30:00"_s);
    EXPECT_EQ(*Variant(naiveDateTime(QDate(2026, 3, 5))).toText(l), u"05/03/2026"_s);
    EXPECT_EQ(*Variant(0.1 + 0.2).toText(l), u"0.3"_s);
    EXPECT_EQ(*Variant(1e20).toText(l), u"1E+20"_s);
    EXPECT_EQ(*Variant(1e-5).toText(l), u"1E-05"_s);
    EXPECT_EQ(*Variant(-2.5).toText(l), u"-2.5"_s);
    EXPECT_EQ(*Variant(naiveDateTime(QDate(1899, 12, 30))).toText(l), u"00:00:00"_s);
    EXPECT_EQ(*Variant(naiveDateTime(QDate(1899, 12, 30), QTime(9, 5))).toText(us),
              u"9:05:00 AM"_s);
    EXPECT_EQ(*Variant(naiveDateTime(QDate(1899, 12, 30))).toText(us), u"12:00:00 AM"_s);
}

TEST(Variant, NullAndForeignDateTextsAreErrorsAndNumbersAndDatesConvertBothWays) {
    const Locale l = Locale::unitedStates();
    const Variant n = Variant::null();
    EXPECT_EQ(n.toText(l).error().number, err::kInvalidUseOfNull);
    EXPECT_EQ(n.toInt16(l).error().number, err::kInvalidUseOfNull);
    EXPECT_EQ(n.toDouble(l).error().number, err::kInvalidUseOfNull);
    EXPECT_EQ(n.toDate(l).error().number, err::kInvalidUseOfNull);
    EXPECT_EQ(n.toBool(l).error().number, err::kInvalidUseOfNull);
    EXPECT_EQ(n.text(l), QString());
    EXPECT_FALSE(n.isBlank());
    EXPECT_TRUE(Variant().isBlank());
    EXPECT_TRUE(Variant(QString()).isBlank());
    EXPECT_FALSE(Variant(u" "_s).isBlank());
    EXPECT_NE(n, Variant());
    // How a text reads as a date is the locale's (tested with it); a Variant
    // hands its text to the locale and a text that is no date is a mismatch.
    EXPECT_EQ(*Variant(u"3/5/2026 2:30:00 PM"_s).toDate(l),
              naiveDateTime(QDate(2026, 3, 5), QTime(14, 30)));
    EXPECT_EQ(Variant(u"25/12/2026"_s).toDate(l).error().number, err::kTypeMismatch);
    const Locale uk = Locale::unitedKingdom();
    EXPECT_EQ(*Variant(46086.5).toDate(uk), naiveDateTime(QDate(2026, 3, 5), QTime(12, 0)));
    EXPECT_EQ(*Variant(0).toDate(uk), naiveDateTime(QDate(1899, 12, 30)));
    EXPECT_EQ(*Variant().toDate(uk), naiveDateTime(QDate(1899, 12, 30)));
    // Before the zero date the fraction still counts forward within the day.
    EXPECT_EQ(*Variant(-1.25).toDate(uk), naiveDateTime(QDate(1899, 12, 29), QTime(6, 0)));
    EXPECT_EQ(Variant(1e7).toDate(uk).error().number, err::kOverflow);
    for (const QDateTime& dt : {naiveDateTime(QDate(1899, 12, 29), QTime(6, 0)),
                                naiveDateTime(QDate(2026, 2, 28), QTime(23, 59, 59)),
                                naiveDateTime(QDate(1900, 3, 1), QTime(0, 0, 1))}) {
        const double days = *Variant(dt).toDouble(uk);
        EXPECT_EQ(*Variant(days).toDate(uk), dt) << days;
    }
    EXPECT_DOUBLE_EQ(*Variant(naiveDateTime(QDate(1899, 12, 29), QTime(6, 0))).toDouble(uk), -1.25);
}
