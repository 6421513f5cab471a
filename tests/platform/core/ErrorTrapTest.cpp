// The trap idiom: passed-over numbers let later steps run, any other error
// skips the rest.

#include <gtest/gtest.h>

#include <memory>

#include "platform/core/ErrorTrap.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;

namespace {
Status fail(long n) {
    return makeError(n, u"boom"_s, u"test"_s);
}
}  // namespace

TEST(ErrorTrap, PassesOverErrorFiveAndValueStepsYieldOrMoveTheirValue) {
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
}

TEST(ErrorTrap, OtherErrorSkipsTheRest) {
    ErrorTrap trap({err::kInvalidProcedureCall, err::kUnknownFormControl});
    int ran = 0;
    trap.step([&] {
        ++ran;
        return fail(err::kUnknownFormControl);
    });
    trap.step([&] {
        ++ran;
        return fail(err::kNoCurrentRecord);
    });
    trap.step([&] { ++ran; });
    const std::optional<int> v = trap.value([&]() -> Result<int> {
        ++ran;
        return 7;
    });
    EXPECT_EQ(ran, 2);
    EXPECT_FALSE(v.has_value());
    ASSERT_TRUE(trap.failed());
    EXPECT_EQ(trap.error().number, err::kNoCurrentRecord);
}

TEST(ErrorTrap, RaisedErrorsAreTrappedLikeReturnedOnesAndAnEmptyListTrapsErrorFive) {
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
}

TEST(ErrorTrap, ResumeNextRunsEveryStepAndKeepsWhatItPassedOver) {
    ErrorTrap trap = ErrorTrap::resumeNext();
    int ran = 0;
    trap.step([&] {
        ++ran;
        return fail(err::kObjectNotSet);
    });
    trap.step([&] {
        ++ran;
        return fail(err::kTypeMismatch);
    });
    const std::optional<int> v = trap.value([&]() -> Result<int> {
        ++ran;
        return 7;
    });
    EXPECT_EQ(ran, 3);
    EXPECT_EQ(v, 7);
    EXPECT_FALSE(trap.failed());
    ASSERT_EQ(trap.passedOver().size(), 2u);
    EXPECT_EQ(trap.passedOver()[0].number, err::kObjectNotSet);
    EXPECT_EQ(trap.passedOver()[1].number, err::kTypeMismatch);
}
