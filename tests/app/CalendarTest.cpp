// The Scheduler's calendar without a window: a span's appointments come
// from the store's index on "Start" (the same ones a walk of the folder
// finds), overlapping visits share a day's width, and moving one saves it
// as the form's Save does: the database written once, one peer notice.

#include <sqlite3.h>

#include "RecordsFixture.h"
#include "TestDesk.h"
#include "app/CalendarModel.h"
#include "host/Inspectors.h"
#include "host/StoreSession.h"
#include "host/store/FieldRows.h"
#include "platform/sqlite/Database.h"

using namespace orlo;
using namespace orlo::desk;
using namespace orlo::desk::test;

namespace {

constexpr int kAppointments = 3000;

// What a block of the calendar shows of an appointment.
struct Block {
    host::ItemId id;
    QDateTime start;
    QDateTime end;
    QString patient;
    QString reason;
    QString status;
    bool operator==(const Block&) const = default;
};

[[maybe_unused]] std::ostream& operator<<(std::ostream& out, const Block& b) {
    return out << b.id << " " << b.start.toString(Qt::ISODate).toStdString() << " "
               << b.end.toString(Qt::ISODate).toStdString() << " " << b.patient.toStdString()
               << " / " << b.reason.toStdString() << " / " << b.status.toStdString();
}

class CalendarStoreTest : public orlo::test::SeededDeskTest<0, kAppointments> {
protected:
    // What a walk of the whole folder finds for the days, in time order,
    // each item loaded whole.
    std::vector<Block> walk(QDate first, int days) const {
        auto file = folder(kScheduler)->session()->file();
        EXPECT_TRUE(file.ok());
        auto starts = (*file)->column(folder(kScheduler)->id(), u"Start"_s);
        EXPECT_TRUE(starts.ok());
        std::vector<Block> found;
        for (const auto& [id, value] : *starts) {
            const QDateTime* d = value.asDate();
            if (d == nullptr || d->date() < first || d->date() >= first.addDays(days)) {
                continue;
            }
            auto item = (*file)->load(id);
            EXPECT_TRUE(item.ok());
            const auto text = [&](const char16_t* name) {
                return item->properties.at(QString::fromUtf16(name)).text(Locale::unitedKingdom());
            };
            found.push_back({id, *d, *item->properties.at(u"End"_s).asDate(),
                             text(u"LNAME") + u", "_s + text(u"FNAME"), text(u"REASON"),
                             text(u"Status1")});
        }
        std::sort(found.begin(), found.end(), [](const Block& a, const Block& b) {
            return std::pair(a.start, a.id) < std::pair(b.start, b.id);
        });
        return found;
    }

    // The query plan SQLite chooses on the file for a read of field rows.
    static QString plan(const QString& path, int fields = 6, bool byDate = true) {
        auto opened = sqlite::Database::open(path, SQLITE_OPEN_READONLY);
        if (!opened.ok()) {
            ADD_FAILURE() << path.toStdString();
            return {};
        }
        const sqlite::Database db = std::move(opened).value();
        auto prepared = db.prepare(u"EXPLAIN QUERY PLAN "_s + host::fieldRowsSql(fields, byDate));
        if (!prepared.ok()) {
            ADD_FAILURE() << "the read does not prepare";
            return {};
        }
        sqlite::Statement plan = std::move(prepared).value();
        QStringList details;
        EXPECT_TRUE(
            plan.forEachRow([&](const sqlite::Statement& row) { details << row.columnText(3); })
                .ok());
        return details.join(u" / "_s);
    }
};

}  // namespace

// A span holds what a walk of the folder finds; the reads run on indexes,
// also in a store made before the date index.
TEST_F(CalendarStoreTest, ASpanHoldsWhatAWalkFindsReadThroughIndexes) {
    // The span shown, a day in it, its first day, title and visits.
    const std::tuple<CalendarSpan, QDate, QDate, const char16_t*, std::size_t> cases[] = {
        {CalendarSpan::Day, QDate(2020, 3, 4), QDate(2020, 3, 4), u"Wednesday 4 March 2020", 2},
        {CalendarSpan::WorkWeek, QDate(2020, 3, 4), QDate(2020, 3, 2), u"2 – 6 March 2020", 10},
        {CalendarSpan::Week, QDate(2021, 3, 28), QDate(2021, 3, 22), u"22 – 28 March 2021", 14},
        {CalendarSpan::Week, QDate(2022, 5, 1), QDate(2022, 4, 25), u"25 April – 1 May 2022", 7},
        {CalendarSpan::Week, QDate(2031, 1, 1), QDate(2030, 12, 30),
         u"30 December 2030 – 5 January 2031", 0},
    };
    CalendarModel model;
    model.setFolder(folder(kScheduler));
    for (const auto& [span, day, first, title, visits] : cases) {
        SCOPED_TRACE(day.toString(Qt::ISODate).toStdString());
        model.show(span, day);
        ASSERT_TRUE(model.loadStatus().ok());
        EXPECT_EQ(model.firstDay(), first);
        EXPECT_EQ(model.title(), QString::fromUtf16(title));
        std::vector<Block> shown;
        for (const CalendarEntry& e : model.entries()) {
            shown.push_back({e.id, e.start, e.end, e.patient, e.reason, e.status});
        }
        const std::vector<Block> walked = walk(first, model.dayCount());
        EXPECT_EQ(walked.size(), visits);
        EXPECT_EQ(shown, walked);
    }
    // Previous and next step by the span.
    model.show(CalendarSpan::WorkWeek, QDate(2020, 3, 4));
    model.next();
    EXPECT_EQ(model.firstDay(), QDate(2020, 3, 9));
    model.show(CalendarSpan::Day, QDate(2020, 3, 1));
    model.previous();
    EXPECT_EQ(model.firstDay(), QDate(2020, 2, 29));

    // A week's blocks and the patient list: the items through an index in
    // the order shown, then one key lookup per field; nothing sorted after.
    // Fields read, by date or not, and how the items are found.
    const std::tuple<int, bool, const char16_t*> reads[] = {
        {6, true,
         u"SEARCH d USING INDEX properties_dates (folder=? AND name=? AND value>? AND value<?)"},
        {9, false, u"SEARCH i USING COVERING INDEX items_folder (folder=?)"},
    };
    for (const auto& [fields, byDate, items] : reads) {
        const QString p = plan(store.storePath, fields, byDate);
        EXPECT_TRUE(p.startsWith(QString::fromUtf16(items))) << p.toStdString();
        EXPECT_EQ(p.count(u"USING PRIMARY KEY (item=? AND name=?)"_s), fields) << p.toStdString();
        EXPECT_FALSE(p.contains(u"B-TREE"_s)) << p.toStdString();
    }
    // A store made before the index existed gets it when it is opened.
    close();
    {
        auto opened = sqlite::Database::open(store.storePath, SQLITE_OPEN_READWRITE);
        ASSERT_TRUE(opened.ok());
        sqlite::Database db = std::move(opened).value();
        ASSERT_TRUE(db.exec(QByteArrayView("DROP INDEX properties_dates")).ok());
    }
    EXPECT_FALSE(plan(store.storePath).contains(u"properties_dates"_s));
    open(store.storePath);
    EXPECT_TRUE(plan(store.storePath).contains(u"INDEX properties_dates"_s));
}

TEST(CalendarLayout, OverlappingVisitsShareTheDay) {
    // Each visit's day, start and minutes, and the lane and lanes it gets.
    const std::tuple<int, QTime, int, int, int> visits[] = {
        {1, QTime(9, 0), 30, 0, 3},   {1, QTime(9, 0), 60, 1, 3},   {1, QTime(9, 15), 30, 2, 3},
        {1, QTime(9, 30), 30, 0, 3},  {1, QTime(10, 0), 30, 0, 1},  {1, QTime(11, 0), 90, 0, 2},
        {1, QTime(11, 30), 30, 1, 2}, {2, QTime(11, 30), 30, 0, 1},
    };
    std::vector<CalendarEntry> entries;
    for (std::size_t i = std::size(visits); i-- > 0;) {  // given in any order
        const auto& [day, start, minutes, lane, lanes] = visits[i];
        CalendarEntry e;
        e.id = host::ItemId(i + 1);
        e.start = naiveDateTime(QDate(2025, 6, day), start);
        e.end = e.start.addSecs(minutes * 60);
        entries.push_back(e);
    }
    CalendarModel::layOut(entries);
    ASSERT_EQ(entries.size(), std::size(visits));
    for (const CalendarEntry& e : entries) {
        const auto& [day, start, minutes, lane, lanes] = visits[e.id - 1];
        EXPECT_EQ(std::pair(e.lane, e.lanes), std::pair(lane, lanes)) << e.id;
    }
}

namespace orlo::test {
namespace {

class CalendarMoveTest : public RecordsFixture {};

TEST_F(CalendarMoveTest, MovingSavesTheNewTimesOnceAndTellsThePeersOnce) {
    rawExec(u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\") VALUES (5, 'Smith')"_s);
    showFolder(schedulerFolder);
    auto item = newAppointment(naiveDateTime(QDate(2026, 3, 17), QTime(9, 30)), u"5"_s);
    display(item);
    set(item, u"LNAME"_s, u"Smith"_s);
    set(item, u"FNAME"_s, u"Joan"_s);
    set(item, u"REASON"_s, u"Check-up"_s);
    set(item, u"Status1"_s, u"BOOKED"_s);
    ASSERT_TRUE(item->Save().ok());
    ASSERT_TRUE(item->Close(host::SaveMode::Discard).ok());
    rawExec(u"CREATE TABLE writes(n)"_s);
    rawExec(
        u"CREATE TRIGGER counted AFTER UPDATE ON SCHEDULED BEGIN "
        "INSERT INTO writes VALUES (1); END"_s);
    peers.lines.clear();

    CalendarModel model;
    model.setFolder(schedulerFolder);
    model.show(CalendarSpan::WorkWeek, QDate(2026, 3, 18));
    ASSERT_EQ(model.entries().size(), 1u);
    const CalendarEntry& shown = model.entries()[0];
    EXPECT_EQ(shown.patient, u"Smith, Joan"_s);
    EXPECT_EQ(shown.reason, u"Check-up"_s);
    EXPECT_EQ(shown.status, u"BOOKED"_s);

    const QDateTime moved = naiveDateTime(QDate(2026, 3, 19), QTime(14, 0));
    ASSERT_TRUE(model.move(item->entryId(), moved).ok());
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM writes"_s), 1);
    EXPECT_EQ(rawValue(u"SELECT START_TIME FROM SCHEDULED"_s), u"2026-03-19 14:00:00"_s);
    EXPECT_EQ(rawValue(u"SELECT END_TIME FROM SCHEDULED"_s), u"2026-03-19 14:30:00"_s);
    ASSERT_EQ(peers.lines.size(), 1u);
    EXPECT_TRUE(
        peers.lines[0].startsWith(u"S,2,1,19/03/2026 14:00:00,19/03/2026 14:30:00,Smith,"_s))
        << peers.lines[0].toStdString();
    EXPECT_EQ(app->Inspectors()->Count(), 0);  // the window opened for the move is gone
    model.reload();
    ASSERT_EQ(model.entries().size(), 1u);
    EXPECT_EQ(model.entries()[0].start, moved);

    // Dropped where it already is: nothing is written.
    ASSERT_TRUE(model.move(item->entryId(), moved).ok());
    // Open with an edit not saved: refused, and nothing written either.
    display(item);
    set(item, u"REASON"_s, u"Fitting"_s);
    EXPECT_FALSE(model.move(item->entryId(), moved.addDays(1)).ok());
    EXPECT_EQ(rawCount(u"SELECT COUNT(*) FROM writes"_s), 1);
    EXPECT_EQ(peers.lines.size(), 1u);
    EXPECT_EQ(text(item, u"Start"_s), u"19/03/2026 14:00:00"_s);
}

}  // namespace
}  // namespace orlo::test
