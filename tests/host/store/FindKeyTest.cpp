// The normalised keys that Find compares: numbers by value, text by case.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "host/store/FindKey.h"

using namespace orlo;
using namespace orlo::host;

namespace {
QString keyOf(const Variant& v) {
    const auto k = FindKey::of(v);
    return k ? k->text : QStringLiteral("<none>");
}
}  // namespace

TEST(FindKey, NumbersAndNumericTextMeetOnOneCanonicalText) {
    EXPECT_EQ(keyOf(QStringLiteral("12")), QStringLiteral("12"));
    EXPECT_EQ(keyOf(QStringLiteral(" 0012 ")), QStringLiteral("12"));
    EXPECT_EQ(keyOf(QStringLiteral("+12")), QStringLiteral("12"));
    EXPECT_EQ(keyOf(QStringLiteral("-0")), QStringLiteral("0"));
    EXPECT_EQ(keyOf(QStringLiteral("000")), QStringLiteral("0"));
    EXPECT_EQ(keyOf(QStringLiteral("12.50")), QStringLiteral("12.5"));
    EXPECT_EQ(keyOf(QStringLiteral("12.")), QStringLiteral("12"));
    EXPECT_EQ(keyOf(QStringLiteral(".5")), QStringLiteral("0.5"));
    EXPECT_EQ(keyOf(12), QStringLiteral("12"));
    EXPECT_EQ(keyOf(-7), QStringLiteral("-7"));
    EXPECT_EQ(keyOf(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(keyOf(-0.0), QStringLiteral("0"));
    EXPECT_EQ(keyOf(1e20), QStringLiteral("100000000000000000000"));
    // Longer than any 64-bit number: still exact.
    EXPECT_EQ(keyOf(QStringLiteral("000123456789012345678901234567890")),
              QStringLiteral("123456789012345678901234567890"));
}

TEST(FindKey, OtherValuesFoldCaseOrHaveNoKey) {
    EXPECT_EQ(keyOf(QStringLiteral("MacDonald")), QStringLiteral("macdonald"));
    EXPECT_EQ(keyOf(QStringLiteral("STRASSE")), keyOf(QStringLiteral("strasse")));
    EXPECT_EQ(keyOf(QStringLiteral("12a")), QStringLiteral("12a"));
    EXPECT_EQ(keyOf(QStringLiteral("1 2")), QStringLiteral("1 2"));
    EXPECT_EQ(keyOf(QStringLiteral("1.2.3")), QStringLiteral("1.2.3"));
    EXPECT_EQ(keyOf(QStringLiteral("-")), QStringLiteral("-"));
    EXPECT_EQ(keyOf(QStringLiteral(".")), QStringLiteral("."));
    EXPECT_EQ(keyOf(true), QStringLiteral("true"));
    EXPECT_EQ(keyOf(QStringLiteral("True")), QStringLiteral("true"));
    EXPECT_EQ(keyOf(QDateTime(QDate(2026, 3, 5), QTime(14, 30), Qt::UTC)),
              QStringLiteral("2026-03-05t14:30:00.000z"));
    EXPECT_EQ(keyOf(Variant()), QStringLiteral("<none>"));
    EXPECT_EQ(keyOf(Variant::null()), QStringLiteral("<none>"));
    EXPECT_EQ(keyOf(QStringLiteral("   ")), QStringLiteral("<none>"));
    EXPECT_EQ(keyOf(std::numeric_limits<double>::infinity()), QStringLiteral("<none>"));
    EXPECT_EQ(keyOf(QDateTime()), QStringLiteral("<none>"));
}

TEST(FindKey, LongKeysAreCutAndNeverEqualAWholeKey) {
    const QString exact(FindKey::kMaxLength, u'a');
    const auto whole = FindKey::of(exact);
    ASSERT_TRUE(whole);
    EXPECT_FALSE(whole->truncated);
    const auto cut = FindKey::of(QString(exact + QStringLiteral("b")));
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->truncated);
    EXPECT_NE(cut->text, whole->text);
    EXPECT_EQ(cut->text, FindKey::of(QString(exact + QStringLiteral("C")))->text);
    EXPECT_EQ(*FindKey::fullText(QString(exact + QStringLiteral("C"))),
              QString(exact + QStringLiteral("c")));
}
