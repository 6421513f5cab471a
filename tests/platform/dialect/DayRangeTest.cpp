// Day-count comparisons rewritten as ranges on the column's text: for many
// dates around many "now"s (both sides of midnight, month and year ends, leap
// days) the rewritten and the DATEDIFF forms select the same rows of one
// table, and the rewrite leaves alone what it cannot prove equal.

#include <gtest/gtest.h>

#include <random>

#include "TestDatabase.h"
#include "TestSupport.h"
#include "platform/dialect/DayRange.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;

namespace {

QString tr(const QString& jet) {
    return test::translated(jet);
}

QString canonical(const QDateTime& dt) {
    return dt.toString(u"yyyy-MM-dd HH:mm:ss"_s);
}

// The day-count expressions the system writes, with %1 for the column.
const QString kForms[] = {
    u"DATEDIFF('d', %1, Now())"_s,
    u"DATEDIFF('d',%1,NOW)"_s,
    u"DATEDIFF('d', Now(), %1)"_s,
    u"DATEDIFF(\"D\",NOW,%1)"_s,
};
const QString kOps[] = {u">="_s, u">"_s, u"<"_s, u"<="_s, u"="_s};

QList<QVariant> ids(test::TestDatabase& db, const QString& where) {
    return db.column(u"SELECT SCHEDULE_ID FROM SCHEDULED WHERE "_s + where +
                     u" ORDER BY SCHEDULE_ID"_s);
}

}  // namespace

TEST(DayRange, BoundsOfEachOperatorInBothArgumentOrders) {
    // The bounds on the start of today plus an offset, "op offset" each;
    // "none" where no range answers.
    const auto bounds = [](bool todayFirst, const char16_t* op, qint64 days) {
        const auto b = data::dayDiffBounds(todayFirst, QStringView(op), days);
        QStringList out;
        for (const auto& bound : b.value_or(decltype(b)::value_type{})) {
            out << QString::fromLatin1(bound.op) + u' ' + QString::number(bound.offset);
        }
        return b ? out.join(u", ") : u"none"_s;
    };
    // today - day(col) >= 42: before the start of today - 41.
    EXPECT_EQ(bounds(true, u">=", 42), u"< -41"_s);
    // day(col) - today <= 14: before the start of today + 15.
    EXPECT_EQ(bounds(false, u"<=", 14), u"< 15"_s);
    // today - day(col) = 0: from the start of today to the start of tomorrow.
    EXPECT_EQ(bounds(true, u"=", 0), u">= 0, < 1"_s);
    EXPECT_EQ(bounds(true, u"<>", 1), u"none"_s);
    EXPECT_EQ(bounds(false, u">=", data::kMaxDayCount + 1), u"none"_s);
}

TEST(DayRange, RewrittenAndDatediffFormsSelectTheSameRows) {
    PinnedClock clock(naiveDateTime(QDate(2026, 6, 15), QTime(10, 0)));
    test::TestDatabase db(clock, Locale::unitedKingdom());
    std::mt19937_64 rng(20260615);
    const QDateTime nows[] = {
        naiveDateTime(QDate(2026, 6, 15), QTime(10, 0)),
        naiveDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)),
        naiveDateTime(QDate(2024, 3, 1), QTime(0, 0)),
        naiveDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)),
        naiveDateTime(QDate(2027, 1, 1), QTime(0, 0, 0)),
        naiveDateTime(QDate(2025, 3, 1), QTime(0, 0, 1)),
        naiveDateTime(QDate(2028, 2, 28), QTime(12, 30)),
    };
    // Rows around every now: random days and times, the edges of the days
    // next to it, a date without time, a 'T' form and NULL.
    for (const QDateTime& now : nows) {
        for (int i = 0; i < 30; ++i) {
            const qint64 day = qint64(rng() % 1601) - 800;
            const QDateTime at =
                naiveDateTime(now.date().addDays(day),
                              QTime::fromMSecsSinceStartOfDay(int(rng() % 86400) * 1000));
            ASSERT_EQ(
                db.execRaw(u"INSERT INTO SCHEDULED (START_TIME) VALUES (?1)"_s, {canonical(at)}),
                QString());
        }
        for (int day = -2; day <= 2; ++day) {
            const QDate d = now.date().addDays(day);
            for (const QString& text : QStringList{
                     canonical(naiveDateTime(d)), canonical(naiveDateTime(d, QTime(23, 59, 59))),
                     d.toString(Qt::ISODate), QString(d.toString(Qt::ISODate) + u"T12:00"_s)}) {
                ASSERT_EQ(db.execRaw(u"INSERT INTO SCHEDULED (START_TIME) VALUES (?1)"_s, {text}),
                          QString());
            }
        }
    }
    ASSERT_EQ(db.execRaw(u"INSERT INTO SCHEDULED (START_TIME) VALUES (NULL)"_s), QString());
    const qsizetype total = ids(db, u"1"_s).size();

    QList<qint64> constants = {0,   1,  2,   14,  41,   42,      84,      168,
                               365, -1, -14, 730, -730, 2999999, -2999999};
    for (int i = 0; i < 5; ++i) {
        constants << qint64(rng() % 1601) - 800;
    }
    int checked = 0;
    qsizetype selected = 0;
    for (const QDateTime& now : nows) {
        clock.set(now);
        for (const QString& form : kForms) {
            const QString diff = form.arg(u"SCHEDULED.START_TIME"_s);
            for (const QString& op : kOps) {
                for (const qint64 c : constants) {
                    const QString number = c < 0 ? u"- %1"_s.arg(-c) : QString::number(c);
                    const QString rewritten = tr(diff + op + number);
                    // In brackets the comparison is no longer the call's own: kept.
                    const QString kept = tr(u'(' + diff + u')' + op + number);
                    ASSERT_FALSE(rewritten.contains(u"jet_datediff"_s)) << rewritten.toStdString();
                    ASSERT_TRUE(kept.contains(u"jet_datediff"_s)) << kept.toStdString();
                    const auto expected = ids(db, kept);
                    ASSERT_EQ(ids(db, rewritten), expected)
                        << canonical(now).toStdString() << ": " << rewritten.toStdString();
                    // NOT and NULL: the NULL row is in neither.
                    if (op == kOps[0] || op == kOps[4]) {
                        ASSERT_EQ(ids(db, u"NOT "_s + rewritten), ids(db, u"NOT "_s + kept))
                            << rewritten.toStdString();
                    }
                    selected += expected.size();
                    ++checked;
                }
            }
        }
    }
    EXPECT_EQ(checked, 7 * 4 * 5 * 20);
    // The cases select some rows and not all of them.
    EXPECT_GT(selected, 0);
    EXPECT_LT(selected, qsizetype(checked) * total);
}

TEST(DayRange, OnlyAComparisonOfItsOwnOnADateColumnIsRewritten) {
    const auto kept = [](const QString& jet) { return tr(jet).contains(u"jet_datediff"_s); };
    const QString where = u"SELECT * FROM SCHEDULED WHERE "_s;
    EXPECT_FALSE(kept(where + u"DATEDIFF('d', START_TIME, Now()) >= 42"_s));
    EXPECT_FALSE(kept(where + u"[STATUS] = 'X' AND DATEDIFF('d',START_TIME,NOW)<2"_s));
    // Not a date column, another interval, a non-constant or a wider
    // expression on either side, an operator that has no range.
    EXPECT_TRUE(kept(where + u"DATEDIFF('d', REASON, Now()) >= 42"_s));
    EXPECT_TRUE(kept(where + u"DATEDIFF('m', START_TIME, Now()) >= 42"_s));
    EXPECT_TRUE(kept(where + u"DATEDIFF('d', START_TIME, END_TIME) >= 42"_s));
    EXPECT_TRUE(kept(where + u"DATEDIFF('d', START_TIME, Now()) >= 2 + PT_ID"_s));
    EXPECT_TRUE(kept(where + u"PT_ID + DATEDIFF('d', START_TIME, Now()) >= 2"_s));
    EXPECT_TRUE(kept(where + u"DATEDIFF('d', START_TIME, Now()) <> 2"_s));
    EXPECT_TRUE(kept(where + u"DATEDIFF('d', START_TIME, Now()) >= 2.5"_s));
    EXPECT_TRUE(kept(where + u"PT_ID BETWEEN 1 AND DATEDIFF('d', START_TIME, Now()) >= 2"_s));
    EXPECT_EQ(tr(where + u"DATEDIFF('d',SCHEDULED.RECALLDUEDATE,Now())>=42"_s),
              where + u"(SCHEDULED.RECALLDUEDATE < jet_daystart(jet_now(), -41))"_s);
}

TEST(DayRange, TheRewrittenRangeIsAnsweredFromTheIndex) {
    PinnedClock clock(naiveDateTime(QDate(2026, 6, 15), QTime(10, 0)));
    test::TestDatabase db(clock, Locale::unitedKingdom());
    ASSERT_EQ(db.execRaw(u"CREATE INDEX S_DUE ON SCHEDULED (RECALLDUEDATE)"_s), QString());
    const QString sql = tr(
        u"SELECT SCHEDULE_ID FROM SCHEDULED WHERE DATEDIFF('d',SCHEDULED.RECALLDUEDATE,Now())>=42 "
        "And DATEDIFF('d',SCHEDULED.RECALLDUEDATE,Now())<84"_s);
    sqlite3_stmt* st = nullptr;
    const QByteArray explain = (u"EXPLAIN QUERY PLAN "_s + sql).toUtf8();
    ASSERT_EQ(sqlite3_prepare_v2(db.handle(), explain.constData(), -1, &st, nullptr), SQLITE_OK);
    QString detail;
    while (sqlite3_step(st) == SQLITE_ROW) {
        detail += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3)));
    }
    sqlite3_finalize(st);
    EXPECT_TRUE(
        detail.contains(u"INDEX S_DUE (RECALLDUEDATE>? AND "
                        "RECALLDUEDATE<?)"_s))
        << detail.toStdString();
}
