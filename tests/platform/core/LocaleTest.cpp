// Date texts in a day-month and a month-day locale, both ways.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;

TEST(Locale, DayMonthAndMonthDayReadTheSameTextDifferently) {
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

TEST(Locale, FormatsOfTheTwoPinnedLocalesAndNumbersRoundTrip) {
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
