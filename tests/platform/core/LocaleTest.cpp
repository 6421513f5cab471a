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
    EXPECT_FALSE(us.parseDateTime(QStringLiteral("25/12/2026")).has_value());
    // Two-digit years fall in 1930..2029.
    EXPECT_EQ(uk.parseDateTime(QStringLiteral("5/3/26"))->date(), QDate(2026, 3, 5));
    EXPECT_EQ(us.parseDateTime(QStringLiteral("12/31/29"))->date(), QDate(2029, 12, 31));
    EXPECT_EQ(us.parseDateTime(QStringLiteral("1/1/30"))->date(), QDate(1930, 1, 1));
    EXPECT_FALSE(uk.parseDateTime(QStringLiteral("29/02/99 10:00")).has_value());
    EXPECT_EQ(us.parseDateTime(QStringLiteral("3/5/2026 12:00:00 AM")),
              naiveDateTime(QDate(2026, 3, 5)));
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

TEST(Locale, EveryFormRoundTripsAcrossTheCalendarsEdges) {
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

TEST(Locale, FormatsOfTheTwoPinnedLocales) {
    const QDateTime dt = naiveDateTime(QDate(2026, 3, 5), QTime(14, 30, 0));
    const Locale uk = Locale::unitedKingdom();
    const Locale us = Locale::unitedStates();
    EXPECT_EQ(uk.shortDate(dt.date()), QStringLiteral("05/03/2026"));
    EXPECT_EQ(uk.longDate(dt.date()), QStringLiteral("05 March 2026"));
    EXPECT_EQ(uk.longTime(dt.time()), QStringLiteral("14:30:00"));
    EXPECT_EQ(us.shortDate(dt.date()), QStringLiteral("3/5/2026"));
    EXPECT_EQ(us.longDate(dt.date()), QStringLiteral("Thursday, March 5, 2026"));
    EXPECT_EQ(us.longTime(dt.time()), QStringLiteral("2:30:00 PM"));
    EXPECT_EQ(us.generalDate(naiveDateTime(dt.date())), QStringLiteral("3/5/2026"));
}

TEST(Locale, NumbersRoundTripThroughTheirText) {
    for (const Locale& l : {Locale::unitedKingdom(), Locale::unitedStates()}) {
        for (const double v : {0.0, -1.5, 0.1 + 0.2, 1e20, 1e-5, 123456789.125, -2147483648.0}) {
            const QString text = l.number(v);
            ASSERT_TRUE(l.parseNumber(text).has_value()) << text.toStdString();
            EXPECT_DOUBLE_EQ(*l.parseNumber(text), v) << text.toStdString();
        }
        EXPECT_FALSE(l.parseNumber(QStringLiteral("12a")).has_value());
        EXPECT_FALSE(l.parseNumber(QString()).has_value());
    }
    // A decimal comma, where the locale has one.
    const Locale de(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("dd.MM.yyyy"),
                    QStringLiteral("dddd, d. MMMM yyyy"), QStringLiteral("HH:mm:ss"));
    EXPECT_EQ(de.number(2.5), QStringLiteral("2,5"));
    EXPECT_DOUBLE_EQ(*de.parseNumber(QStringLiteral("2,5")), 2.5);
    EXPECT_EQ(de.parseDateTime(QStringLiteral("05.03.2026 14:30:00")),
              naiveDateTime(QDate(2026, 3, 5), QTime(14, 30)));
}
