// Date texts in a day-month and a month-day locale, both ways.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"

using namespace orlo;

TEST(Locale, DayMonthAndMonthDayReadTheSameTextDifferently) {
    const Locale uk = Locale::unitedKingdom();
    const Locale us = Locale::unitedStates();
    EXPECT_EQ(uk.parseDateTime(QStringLiteral("05/03/2026"))->date(), QDate(2026, 3, 5));
    EXPECT_EQ(us.parseDateTime(QStringLiteral("05/03/2026"))->date(), QDate(2026, 5, 3));
    EXPECT_EQ(us.parseDateTime(QStringLiteral("3/5/2026 2:30:00 PM")),
              naiveDateTime(QDate(2026, 3, 5), QTime(14, 30)));
    EXPECT_EQ(uk.parseDateTime(QStringLiteral("2026-03-05 14:30:00")),
              naiveDateTime(QDate(2026, 3, 5), QTime(14, 30)));
    EXPECT_FALSE(uk.parseDateTime(QStringLiteral("31/02/2026")).has_value());
    EXPECT_FALSE(uk.parseDateTime(QStringLiteral("hello")).has_value());
}

TEST(Locale, GeneralDateRoundTrips) {
    for (const Locale& l : {Locale::unitedKingdom(), Locale::unitedStates()}) {
        const QDateTime dt = naiveDateTime(QDate(2026, 12, 31), QTime(23, 59, 58));
        EXPECT_EQ(l.parseDateTime(l.generalDate(dt)), dt) << l.generalDate(dt).toStdString();
        EXPECT_EQ(l.parseDateTime(l.longDate(dt.date()))->date(), dt.date());
    }
    EXPECT_EQ(Locale::unitedStates().generalDate(naiveDateTime(QDate(2026, 3, 5), QTime(9, 5, 7))),
              QStringLiteral("3/5/2026 9:05:07 AM"));
}
