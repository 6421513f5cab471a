#include "app/CalendarModel.h"

#include <QLocale>
#include <algorithm>

#include "host/BuiltInFields.h"
#include "host/HostErrors.h"
#include "host/Item.h"
#include "host/MAPIFolder.h"
#include "host/StoreSession.h"
#include "host/store/FieldRows.h"
#include "platform/core/Clock.h"
#include "platform/core/ErrorTrap.h"
#include "records/FieldMaps.h"
#include "records/FieldPositions.h"

namespace orlo::desk {

namespace {

namespace pos = records::appointment;
constexpr int kWorkDays = 5;
constexpr int kWeekDays = 7;

// The fields a block shows, in the order the calendar's read names them.
enum Field { kStart, kEnd, kLast, kFirst, kReasonField, kStatusField, kFieldCount };

QString textOf(const Variant& value) {
    return value.isBlank() ? QString() : value.text(Locale::unitedKingdom());
}

QDate mondayOf(QDate day) {
    return day.addDays(1 - day.dayOfWeek());
}

}  // namespace

void CalendarModel::setFolder(std::shared_ptr<host::MAPIFolder> folder) {
    m_folder = std::move(folder);
    m_follower.follow(m_folder);
    reload();
}

int CalendarModel::dayCount() const {
    switch (m_span) {
        case CalendarSpan::Day:
            return 1;
        case CalendarSpan::WorkWeek:
            return kWorkDays;
        case CalendarSpan::Week:
            return kWeekDays;
    }
    return 1;
}

void CalendarModel::show(CalendarSpan span, QDate day) {
    m_span = span;
    m_first = span == CalendarSpan::Day ? day : mondayOf(day);
    reload();
}

void CalendarModel::next() {
    show(m_span, m_first.addDays(m_span == CalendarSpan::Day ? 1 : kWeekDays));
}

void CalendarModel::previous() {
    show(m_span, m_first.addDays(m_span == CalendarSpan::Day ? -1 : -kWeekDays));
}

QString CalendarModel::title() const {
    const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    if (!m_first.isValid()) {
        return {};
    }
    if (m_span == CalendarSpan::Day) {
        return english.toString(m_first, QStringLiteral("dddd d MMMM yyyy"));
    }
    const QDate last = m_first.addDays(dayCount() - 1);
    const QString first =
        m_first.year() != last.year()     ? english.toString(m_first, QStringLiteral("d MMMM yyyy"))
        : m_first.month() != last.month() ? english.toString(m_first, QStringLiteral("d MMMM"))
                                          : english.toString(m_first, QStringLiteral("d"));
    return first + QStringLiteral(" – ") + english.toString(last, QStringLiteral("d MMMM yyyy"));
}

void CalendarModel::reload() {
    m_follower.clear();
    m_entries.clear();
    m_loaded = okStatus();
    if (!m_folder || !m_first.isValid()) {
        if (m_onChanged) {
            m_onChanged();
        }
        return;
    }
    const Result<host::StoreFile*> file = m_folder->session()->file();
    const QString start = QString::fromUtf16(host::kStartField);
    const QStringList fields{start,
                             QString::fromUtf16(host::kEndField),
                             records::scheduleProperty(pos::kLastName),
                             records::scheduleProperty(pos::kFirstName),
                             records::scheduleProperty(pos::kReason),
                             records::scheduleProperty(pos::kStatus)};
    static_assert(kFieldCount == 6, "one name per field");
    Result<std::vector<host::FieldRow>> rows =
        file ? host::rowsBetween(**file, m_folder->id(), start, naiveDateTime(m_first),
                                 naiveDateTime(m_first.addDays(dayCount())), fields)
             : Result<std::vector<host::FieldRow>>(file.error());
    if (!rows) {
        m_loaded = rows.error();
    } else {
        m_entries.reserve(rows->size());
        for (const host::FieldRow& row : *rows) {
            const std::vector<Variant>& v = row.values;
            CalendarEntry e;
            e.id = row.id;
            const QDateTime* begins = v[kStart].asDate();
            e.start = begins != nullptr ? *begins : QDateTime();
            const QDateTime* finish = v[kEnd].asDate();
            e.end = finish != nullptr && *finish > e.start ? *finish
                                                           : e.start.addSecs(kSlotMinutes * 60);
            QStringList name;
            for (const QString& part : {textOf(v[kLast]), textOf(v[kFirst])}) {
                if (!part.trimmed().isEmpty()) {
                    name << part.trimmed();
                }
            }
            e.patient = name.join(QStringLiteral(", "));
            e.reason = textOf(v[kReasonField]);
            e.status = textOf(v[kStatusField]);
            m_entries.push_back(std::move(e));
        }
        layOut(m_entries);
    }
    if (m_onChanged) {
        m_onChanged();
    }
}

void CalendarModel::layOut(std::vector<CalendarEntry>& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const CalendarEntry& a, const CalendarEntry& b) {
                         return a.start != b.start ? a.start < b.start : a.id < b.id;
                     });
    // Entries that overlap one another, directly or through others, form a
    // cluster; each takes the first lane free at its start, and the whole
    // cluster shares the width by its number of lanes.
    std::size_t clusterStart = 0;
    std::vector<QDateTime> laneEnds;
    QDateTime clusterEnd;
    auto closeCluster = [&](std::size_t upTo) {
        for (std::size_t i = clusterStart; i < upTo; ++i) {
            entries[i].lanes = static_cast<int>(laneEnds.size());
        }
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        CalendarEntry& e = entries[i];
        if (i > clusterStart &&
            (e.start >= clusterEnd || e.start.date() != entries[clusterStart].start.date())) {
            closeCluster(i);
            clusterStart = i;
            laneEnds.clear();
        }
        const auto free = std::find_if(laneEnds.begin(), laneEnds.end(),
                                       [&](const QDateTime& endAt) { return endAt <= e.start; });
        if (free == laneEnds.end()) {
            e.lane = static_cast<int>(laneEnds.size());
            laneEnds.push_back(e.end);
        } else {
            e.lane = static_cast<int>(free - laneEnds.begin());
            *free = e.end;
        }
        clusterEnd = i == clusterStart ? e.end : std::max(clusterEnd, e.end);
    }
    closeCluster(entries.size());
}

Status CalendarModel::move(host::ItemId id, const QDateTime& start) {
    if (!m_folder) {
        return host::err::hostError(host::err::kObjectNotFound,
                                    QStringLiteral("No Scheduler folder is shown."));
    }
    ORLO_TRY_ASSIGN(const std::shared_ptr<host::Item> item, m_folder->session()->itemObject(id));
    const QString startName = QString::fromUtf16(host::kStartField);
    const QString endName = QString::fromUtf16(host::kEndField);
    const Variant oldStart = item->userProperty(startName).valueOr(Variant());
    if (const QDateTime* from = oldStart.asDate(); from != nullptr && *from == start) {
        return okStatus();  // dropped where it was: nothing to save
    }
    // The add-in writes the database and tells the other workstations from
    // the item's window: a move goes through one, as a user's edit does.
    const bool wasOpen = item->displayedInspector() != nullptr;
    if (wasOpen && !item->Saved()) {
        return host::err::hostError(
            host::err::kObjectNotAvailable,
            QStringLiteral("The appointment has changes that are not saved. "
                           "Save or close its window before moving it."));
    }
    if (!wasOpen) {
        ORLO_TRY(item->Display());
        if (item->isDeleted()) {
            return host::err::hostError(
                host::err::kItemDeleted,
                QStringLiteral("The appointment is no longer in the database."));
        }
    }
    // The window's Open may have brought the item up to date: its length now.
    const Variant fromValue = item->userProperty(startName).valueOr(Variant());
    const Variant toValue = item->userProperty(endName).valueOr(Variant());
    const QDateTime* from = fromValue.asDate();
    const QDateTime* to = toValue.asDate();
    const qint64 length =
        from != nullptr && to != nullptr && *to > *from ? from->secsTo(*to) : kSlotMinutes * 60;
    Status moved = item->setUserProperty(startName, Variant(start));
    if (moved) {
        moved = item->setUserProperty(endName, Variant(start.addSecs(length)));
    }
    if (moved) {
        moved = item->Save();
    }
    if (!wasOpen) {
        // Closing without saving drops a move that did not save.
        ignoreError(item->Close(host::SaveMode::Discard),
                    "the window opened for the move goes; the save's outcome is what counts");
    } else if (!moved) {
        // The open window keeps what is stored, not a half-made move.
        ignoreError(item->setUserProperty(startName, fromValue), "restoring the stored start");
        ignoreError(item->setUserProperty(endName, toValue), "restoring the stored end");
    }
    return moved;
}

}  // namespace orlo::desk
