// Conversions of the variant value that the add-in's routines rely on.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/core/Variant.h"

using namespace orlo;

TEST(Variant, IntegerConversionsRoundHalfToEvenAndOverflow) {
    const Locale l = Locale::unitedKingdom();
    EXPECT_EQ(*Variant(QStringLiteral("12")).toInt16(l), 12);
    EXPECT_EQ(*Variant(2.5).toInt16(l), 2);
    EXPECT_EQ(*Variant(3.5).toInt16(l), 4);
    EXPECT_EQ(*Variant(QStringLiteral(" 32767 ")).toInt16(l), 32767);
    EXPECT_EQ(Variant(QStringLiteral("32768")).toInt16(l).error().number, err::kOverflow);
    EXPECT_EQ(*Variant(QStringLiteral("32768")).toInt32(l), 32768);
    EXPECT_EQ(Variant(QStringLiteral("")).toInt32(l).error().number, err::kTypeMismatch);
    EXPECT_EQ(Variant(QStringLiteral("12a")).toInt32(l).error().number, err::kTypeMismatch);
    EXPECT_EQ(Variant::null().toInt32(l).error().number, err::kInvalidUseOfNull);
    EXPECT_EQ(*Variant().toInt32(l), 0);
}

TEST(Variant, TextOfEveryKind) {
    const Locale l = Locale::unitedKingdom();
    EXPECT_EQ(*Variant().toText(l), QString());
    EXPECT_EQ(Variant::null().toText(l).error().number, err::kInvalidUseOfNull);
    EXPECT_EQ(Variant::null().text(l), QString());
    EXPECT_EQ(*Variant(true).toText(l), QStringLiteral("True"));
    EXPECT_EQ(*Variant(1.5).toText(l), QStringLiteral("1.5"));
    EXPECT_EQ(*Variant(naiveDateTime(QDate(2026, 3, 5), QTime(14, 30))).toText(l),
              QStringLiteral("05/03/2026 14:30:00"));
    EXPECT_EQ(*Variant(naiveDateTime(QDate(2026, 3, 5))).toText(l), QStringLiteral("05/03/2026"));
}
