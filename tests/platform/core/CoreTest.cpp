// The core values: conversions of the variant value that the add-in's routines rely on,
// the locale's date and number forms, values as JSON, and the error trap.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>
#include <limits>
#include <memory>
#include "TestSupport.h"
#include "platform/core/Clock.h"
#include "platform/core/ErrorTrap.h"
#include "platform/core/Locale.h"
#include "platform/core/Variant.h"
#include "platform/core/VariantJson.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;

TEST(Variant, IntegerConversionsRoundHalfToEvenAndEveryKindHasItsText) {
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
    // The text of every kind, of doubles and of zero dates.
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

// Values as JSON and back: what `orlo store dump` prints is what the desk's
// automation channel reads, for every kind of value.

namespace {

QByteArray jsonText(const QJsonValue& v) {
    return QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
}

Status fail(long n) {
    return makeError(n, u"boom"_s, u"test"_s);
}

}  // namespace

TEST(VariantJson, JsonOfEveryKindAndTheFormatsOfTheTwoPinnedLocalesRoundTrip) {
    const QDateTime at(QDate(2026, 3, 5), QTime(14, 30), Qt::UTC);
    const std::vector<std::pair<Variant, const char*>> cases = {
        {Variant(), R"([{"empty":true}])"},
        {Variant::null(), "[null]"},
        {Variant(u"O'Neill"_s), R"(["O'Neill"])"},
        {Variant(qint64{9007199254740}), "[9007199254740]"},
        {Variant(12.5), "[12.5]"},
        {Variant(std::numeric_limits<double>::infinity()), R"([{"double":"inf"}])"},
        {Variant(-std::numeric_limits<double>::infinity()), R"([{"double":"-inf"}])"},
        {Variant(at), R"([{"date":"2026-03-05T14:30:00.000Z"}])"},
        {Variant(false), "[false]"},
    };
    for (const auto& [value, json] : cases) {
        const QJsonValue written = variantToJson(value);
        EXPECT_EQ(jsonText(written), QByteArray(json));
        const Result<Variant> read = jsonToVariant(written);
        ASSERT_TRUE(read.ok()) << json;
        EXPECT_EQ(*read, value) << json;
    }
    const Result<Variant> nan = jsonToVariant(variantToJson(Variant(std::nan(""))));
    ASSERT_TRUE(nan.ok());
    EXPECT_TRUE(std::isnan(*nan->asDouble()));
    for (const char* json :
         {"[[1]]", R"([{"date":"soon"}])", R"([{"colour":1}])", R"([{"double":"big"}])"}) {
        const QJsonValue v = QJsonDocument::fromJson(json).array().at(0);
        const Result<Variant> read = jsonToVariant(v);
        ASSERT_FALSE(read.ok()) << json;
        EXPECT_EQ(read.error().number, 13) << json;
    }
    // The formats of the two pinned locales; numbers round-trip through their text.
    const QDateTime dt = naiveDateTime(QDate(2026, 3, 5), QTime(14, 30, 0));
    const Locale uk = Locale::unitedKingdom();
    const Locale us = Locale::unitedStates();
    EXPECT_EQ(uk.shortDate(dt.date()), u"05/03/2026"_s);
    EXPECT_EQ(uk.longDate(dt.date()), u"05 March 2026"_s);
    EXPECT_EQ(uk.longTime(dt.time()), u"14:30:00"_s);
    EXPECT_EQ(us.shortDate(dt.date()), u"3/5/2026"_s);
    EXPECT_EQ(us.longDate(dt.date()), u"Thursday, March 5, 2026"_s);
    EXPECT_EQ(us.longTime(dt.time()), u"2:30:00 PM"_s);
    EXPECT_EQ(us.generalDate(naiveDateTime(dt.date())), u"3/5/2026"_s);
    EXPECT_EQ(us.generalDate(naiveDateTime(dt.date(), QTime(9, 5, 7))), u"3/5/2026 9:05:07 AM"_s);
    for (const Locale& l : {Locale::unitedKingdom(), Locale::unitedStates()}) {
        for (const double v : {0.0, -1.5, 0.1 + 0.2, 1e20, 1e-5, 123456789.125, -2147483648.0}) {
            const QString text = l.number(v);
            ASSERT_TRUE(l.parseNumber(text).has_value()) << text.toStdString();
            EXPECT_DOUBLE_EQ(*l.parseNumber(text), v) << text.toStdString();
        }
        EXPECT_FALSE(l.parseNumber(u"12a"_s).has_value());
        EXPECT_FALSE(l.parseNumber(QString()).has_value());
    }
    // A decimal comma, where the locale has one.
    const Locale de(QLocale(QLocale::German, QLocale::Germany), u"dd.MM.yyyy"_s,
                    u"dddd, d. MMMM yyyy"_s, u"HH:mm:ss"_s);
    EXPECT_EQ(de.number(2.5), u"2,5"_s);
    EXPECT_DOUBLE_EQ(*de.parseNumber(u"2,5"_s), 2.5);
    EXPECT_EQ(de.parseDateTime(u"05.03.2026 14:30:00"_s),
              naiveDateTime(QDate(2026, 3, 5), QTime(14, 30)));
}

// Date texts in a day-month and a month-day locale, both ways.

TEST(Locale, DayMonthAndMonthDayReadTheSameTextDifferentlyAndEveryFormRoundTrips) {
    const Locale uk = Locale::unitedKingdom();
    const Locale us = Locale::unitedStates();
    EXPECT_EQ(uk.parseDateTime(u"05/03/2026"_s)->date(), QDate(2026, 3, 5));
    EXPECT_EQ(us.parseDateTime(u"05/03/2026"_s)->date(), QDate(2026, 5, 3));
    EXPECT_EQ(us.parseDateTime(u"3/5/2026 2:30:00 PM"_s),
              naiveDateTime(QDate(2026, 3, 5), QTime(14, 30)));
    EXPECT_EQ(uk.parseDateTime(u"2026-03-05 14:30:00"_s),
              naiveDateTime(QDate(2026, 3, 5), QTime(14, 30)));
    EXPECT_FALSE(uk.parseDateTime(u"31/02/2026"_s).has_value());
    EXPECT_FALSE(uk.parseDateTime(u"05/03/2026 14:30:00x"_s).has_value());
    EXPECT_FALSE(uk.parseDateTime(u"05/03/2026 25:30:00"_s).has_value());
    EXPECT_EQ(uk.parseDateTime(u"5/3/2026 9:05"_s), naiveDateTime(QDate(2026, 3, 5), QTime(9, 5)));
    EXPECT_FALSE(uk.parseDateTime(u"hello"_s).has_value());
    EXPECT_FALSE(us.parseDateTime(u"25/12/2026"_s).has_value());
    // Two-digit years fall in 1930..2029.
    EXPECT_EQ(uk.parseDateTime(u"5/3/26"_s)->date(), QDate(2026, 3, 5));
    EXPECT_EQ(us.parseDateTime(u"12/31/29"_s)->date(), QDate(2029, 12, 31));
    EXPECT_EQ(us.parseDateTime(u"1/1/30"_s)->date(), QDate(1930, 1, 1));
    EXPECT_FALSE(uk.parseDateTime(u"29/02/99 10:00"_s).has_value());
    EXPECT_EQ(us.parseDateTime(u"3/5/2026 12:00:00 AM"_s), naiveDateTime(QDate(2026, 3, 5)));
    // Every form round-trips across the calendar's edges.
    const QList<QDate> dates = {QDate(2024, 2, 29), QDate(2026, 1, 1),   QDate(2026, 12, 31),
                                QDate(1930, 1, 9),  QDate(2099, 10, 10), QDate(1900, 3, 1)};
    const QList<QTime> times = {QTime(0, 0, 1), QTime(9, 5, 7), QTime(12, 0), QTime(23, 59, 59)};
    for (const Locale& l : {Locale::unitedKingdom(), Locale::unitedStates(), Locale::system()}) {
        for (const QDate& d : dates) {
            SCOPED_TRACE(l.shortDate(d).toStdString());
            EXPECT_EQ(l.parseDateTime(l.shortDate(d)), naiveDateTime(d));
            EXPECT_EQ(l.parseDateTime(l.longDate(d)), naiveDateTime(d));
            EXPECT_EQ(l.parseDateTime(l.generalDate(naiveDateTime(d))), naiveDateTime(d));
            for (const QTime& t : times) {
                const QDateTime dt = naiveDateTime(d, t);
                EXPECT_EQ(l.parseDateTime(l.generalDate(dt)), dt)
                    << l.generalDate(dt).toStdString();
            }
        }
        for (const QTime& t : times) {
            EXPECT_EQ(l.parseDateTime(l.longTime(t)), naiveDateTime(QDate(1899, 12, 30), t));
        }
    }
}

// The trap idiom: passed-over numbers let later steps run, any other error
// skips the rest.

TEST(ErrorTrap, PassesOverErrorFiveValueStepsYieldAndAnotherErrorSkipsTheRest) {
    ErrorTrap trap;
    int ran = 0;
    EXPECT_FALSE(trap.step([&] {
        ++ran;
        return fail(err::kInvalidProcedureCall);
    }));
    EXPECT_TRUE(trap.step([&] {
        ++ran;
        return okStatus();
    }));
    EXPECT_EQ(trap.value([]() -> Result<QString> { return u"x"_s; }), u"x"_s);
    EXPECT_FALSE(
        trap.value([]() -> Result<QString> { return fail(err::kInvalidProcedureCall).error(); }));
    std::optional<std::unique_ptr<int>> p =
        trap.value([]() -> Result<std::unique_ptr<int>> { return std::make_unique<int>(4); });
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(**p, 4);
    EXPECT_FALSE(trap.failed());
    EXPECT_EQ(ran, 2);
    EXPECT_EQ(trap.passedOver().size(), 2u);
    // Any other error skips the rest.
    ErrorTrap listed({err::kInvalidProcedureCall, err::kUnknownFormControl});
    int skipped = 0;
    listed.step([&] {
        ++skipped;
        return fail(err::kUnknownFormControl);
    });
    listed.step([&] {
        ++skipped;
        return fail(err::kNoCurrentRecord);
    });
    listed.step([&] { ++skipped; });
    const std::optional<int> none = listed.value([&]() -> Result<int> {
        ++skipped;
        return 7;
    });
    EXPECT_EQ(skipped, 2);
    EXPECT_FALSE(none.has_value());
    ASSERT_TRUE(listed.failed());
    EXPECT_EQ(listed.error().number, err::kNoCurrentRecord);
}

TEST(ErrorTrap, RaisedErrorsAreTrappedLikeReturnedOnesAndResumeNextRunsEveryStep) {
    ErrorTrap trap;
    EXPECT_FALSE(trap.raise(makeError(err::kInvalidProcedureCall, u"ignored"_s)));
    EXPECT_FALSE(trap.failed());
    EXPECT_FALSE(trap.raise(makeError(err::kTypeMismatch, u"mine"_s)));
    EXPECT_FALSE(trap.raise(makeError(err::kOverflow, u"later"_s)));
    ASSERT_TRUE(trap.failed());
    // The first error is the one reported.
    EXPECT_EQ(trap.error().number, err::kTypeMismatch);
    EXPECT_EQ(trap.passedOver().size(), 1u);
    EXPECT_FALSE(trap.step([] { return okStatus(); }));

    ErrorTrap strict({});
    strict.step([] { return fail(err::kInvalidProcedureCall); });
    ASSERT_TRUE(strict.failed());
    EXPECT_EQ(strict.error(), makeError(err::kInvalidProcedureCall, u"boom"_s, u"test"_s));
    // Resume-next runs every step and keeps what it passed over.
    ErrorTrap resume = ErrorTrap::resumeNext();
    int ran = 0;
    resume.step([&] {
        ++ran;
        return fail(err::kObjectNotSet);
    });
    resume.step([&] {
        ++ran;
        return fail(err::kTypeMismatch);
    });
    const std::optional<int> v = resume.value([&]() -> Result<int> {
        ++ran;
        return 7;
    });
    EXPECT_EQ(ran, 3);
    EXPECT_EQ(v, 7);
    EXPECT_FALSE(resume.failed());
    ASSERT_EQ(resume.passedOver().size(), 2u);
    EXPECT_EQ(resume.passedOver()[0].number, err::kObjectNotSet);
    EXPECT_EQ(resume.passedOver()[1].number, err::kTypeMismatch);
}
