#pragma once
// CalendarModel: the appointments of a Scheduler folder for the days a
// calendar shows (one day, a working week Monday to Friday, or a whole
// week), read through the store's index on "Start" as one query of the
// fields a block shows: a week costs the entries of that week, never a walk
// of the folder, and no item is loaded. It follows the folder's
// item events (re-reading the days shown once the event loop turns), lays
// out overlapping appointments side by side, and moves an appointment to
// another time or day by saving it as the form's Save does: the item's
// Write handlers (the database, the other workstations) run once.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "app/FolderFollower.h"
#include "host/store/StoreFile.h"
#include "platform/core/Result.h"

namespace orlo::host {
class MAPIFolder;
}

namespace orlo::desk {

enum class CalendarSpan { Day, WorkWeek, Week };

struct CalendarEntry {
    host::ItemId id = 0;
    QDateTime start;
    QDateTime end;  // never before start; a visit without an end lasts a slot
    QString patient;
    QString reason;
    QString status;
    // Side-by-side placement among the entries that overlap it on its day.
    int lane = 0;
    int lanes = 1;
};

class CalendarModel {
public:
    static constexpr int kSlotMinutes = 30;

    CalendarModel() = default;

    void setFolder(std::shared_ptr<host::MAPIFolder> folder);
    const std::shared_ptr<host::MAPIFolder>& folder() const { return m_folder; }
    // Shows the span around `day` (a week starts on Monday).
    void show(CalendarSpan span, QDate day);
    void next();
    void previous();

    CalendarSpan span() const { return m_span; }
    QDate firstDay() const { return m_first; }
    int dayCount() const;
    // "3 - 7 March 2026", "Tuesday 3 March 2026".
    QString title() const;

    const std::vector<CalendarEntry>& entries() const { return m_entries; }
    const Status& loadStatus() const { return m_loaded; }
    // Reads the days shown again (applies the noted item events at once).
    void reload();
    void setOnChanged(std::function<void()> onChanged) { m_onChanged = std::move(onChanged); }

    // Moves the appointment to start at `start`, keeping its length, and
    // saves it from its window, as a user's edit is saved (the window is
    // opened for the move and closed after it when it was not open). A
    // window with unsaved edits, a deleted item or a Write handler that
    // refuses gives its error, and nothing is moved.
    Status move(host::ItemId id, const QDateTime& start);

    // Overlapping entries of one day share its width: each gets a lane.
    static void layOut(std::vector<CalendarEntry>& entries);

private:
    std::shared_ptr<host::MAPIFolder> m_folder;
    CalendarSpan m_span = CalendarSpan::WorkWeek;
    QDate m_first;
    std::vector<CalendarEntry> m_entries;
    Status m_loaded;
    FolderFollower m_follower{[this] {
        if (!m_follower.take().empty()) {
            reload();
        }
    }};
    std::function<void()> m_onChanged;
};

}  // namespace orlo::desk
