// The normalised keys that Find compares: numbers by value, text by case.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "host/store/FindKey.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::host;

namespace {
QString keyOf(const Variant& v) {
    const auto k = FindKey::of(v);
    return k ? k->text : u"<none>"_s;
}
}  // namespace

TEST(FindKey, NumbersMeetOnOneCanonicalTextOtherValuesFoldCaseAndLongKeysAreCut) {
    EXPECT_EQ(keyOf(u"12"_s), u"12"_s);
    EXPECT_EQ(keyOf(u" 0012 "_s), u"12"_s);
    EXPECT_EQ(keyOf(u"+12"_s), u"12"_s);
    EXPECT_EQ(keyOf(u"-0"_s), u"0"_s);
    EXPECT_EQ(keyOf(u"000"_s), u"0"_s);
    EXPECT_EQ(keyOf(u"12.50"_s), u"12.5"_s);
    EXPECT_EQ(keyOf(u"12."_s), u"12"_s);
    EXPECT_EQ(keyOf(u".5"_s), u"0.5"_s);
    EXPECT_EQ(keyOf(12), u"12"_s);
    EXPECT_EQ(keyOf(-7), u"-7"_s);
    EXPECT_EQ(keyOf(12.5), u"12.5"_s);
    EXPECT_EQ(keyOf(-0.0), u"0"_s);
    EXPECT_EQ(keyOf(1e20), u"100000000000000000000"_s);
    // Longer than any 64-bit number: still exact.
    EXPECT_EQ(keyOf(u"000123456789012345678901234567890"_s), u"123456789012345678901234567890"_s);
    // Other values fold case or have no key.
    EXPECT_EQ(keyOf(u"MacDonald"_s), u"macdonald"_s);
    EXPECT_EQ(keyOf(u"STRASSE"_s), keyOf(u"strasse"_s));
    EXPECT_EQ(keyOf(u"12a"_s), u"12a"_s);
    EXPECT_EQ(keyOf(u"1 2"_s), u"1 2"_s);
    EXPECT_EQ(keyOf(u"1.2.3"_s), u"1.2.3"_s);
    EXPECT_EQ(keyOf(u"-"_s), u"-"_s);
    EXPECT_EQ(keyOf(u"."_s), u"."_s);
    EXPECT_EQ(keyOf(true), u"true"_s);
    EXPECT_EQ(keyOf(u"True"_s), u"true"_s);
    EXPECT_EQ(keyOf(QDateTime(QDate(2026, 3, 5), QTime(14, 30), Qt::UTC)),
              u"2026-03-05t14:30:00.000z"_s);
    EXPECT_EQ(keyOf(Variant()), u"<none>"_s);
    EXPECT_EQ(keyOf(Variant::null()), u"<none>"_s);
    EXPECT_EQ(keyOf(u"   "_s), u"<none>"_s);
    EXPECT_EQ(keyOf(std::numeric_limits<double>::infinity()), u"<none>"_s);
    EXPECT_EQ(keyOf(QDateTime()), u"<none>"_s);
    // Long keys are cut and never equal a whole key.
    const QString exact(FindKey::kMaxLength, u'a');
    const auto whole = FindKey::of(exact);
    ASSERT_TRUE(whole);
    EXPECT_FALSE(whole->truncated);
    const auto cut = FindKey::of(QString(exact + u"b"_s));
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->truncated);
    EXPECT_NE(cut->text, whole->text);
    EXPECT_EQ(cut->text, FindKey::of(QString(exact + u"C"_s))->text);
    EXPECT_EQ(*FindKey::fullText(QString(exact + u"C"_s)), QString(exact + u"c"_s));
}
