#include "app/CalendarCommand.h"

#include <QJsonArray>

#include "app/CalendarView.h"
#include "app/MainWindow.h"
#include "host/HostErrors.h"
#include "platform/core/Clock.h"

namespace orlo::desk {

namespace {

constexpr std::pair<QStringView, CalendarSpan> kSpans[] = {
    {u"day", CalendarSpan::Day},
    {u"workweek", CalendarSpan::WorkWeek},
    {u"week", CalendarSpan::Week},
};

Error badField(const QString& text) {
    return host::err::hostError(host::err::kInvalidArgument, text);
}

QString isoOf(const QDateTime& d) {
    return d.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

Result<QDateTime> startOf(const QJsonValue& v) {
    const QString text =
        v.isObject() ? v.toObject().value(QStringLiteral("date")).toString() : v.toString();
    const QDateTime parsed = QDateTime::fromString(text, Qt::ISODate);
    if (!parsed.isValid()) {
        return badField(
            QStringLiteral("\"%1\" is no date and time (2026-03-05T14:30:00).").arg(text));
    }
    return naiveDateTime(parsed.date(), parsed.time());
}

Result<host::ItemId> idOf(const QJsonValue& v) {
    bool ok = false;
    const host::ItemId id =
        v.isDouble() ? static_cast<host::ItemId>(v.toDouble()) : v.toString().toLongLong(&ok);
    if ((!ok && !v.isDouble()) || id <= 0) {
        return badField(QStringLiteral("A calendar entry is named by its item's id."));
    }
    return id;
}

}  // namespace

Result<QJsonObject> runCalendarCommand(MainWindow& main, const QJsonObject& c) {
    CalendarView& view = *main.calendar();
    CalendarModel& model = view.model();
    if (c.contains(QStringLiteral("view"))) {
        main.showCalendar(c.value(QStringLiteral("view")).toString() != u"list");
    }
    if (c.contains(QStringLiteral("span"))) {
        const QString name = c.value(QStringLiteral("span")).toString();
        const auto it = std::find_if(std::begin(kSpans), std::end(kSpans),
                                     [&](const auto& s) { return s.first == name; });
        if (it == std::end(kSpans)) {
            return badField(QStringLiteral("\"span\" is day, workweek or week."));
        }
        view.showSpan(it->second);
    }
    if (c.contains(QStringLiteral("date"))) {
        const QDate day =
            QDate::fromString(c.value(QStringLiteral("date")).toString(), Qt::ISODate);
        if (!day.isValid()) {
            return badField(QStringLiteral("\"date\" is a day (2026-03-05)."));
        }
        view.showDay(day);
    }
    if (c.value(QStringLiteral("today")).toBool()) {
        view.today();
    }
    if (c.value(QStringLiteral("previous")).toBool()) {
        model.previous();
    }
    if (c.value(QStringLiteral("next")).toBool()) {
        model.next();
    }
    if (c.contains(QStringLiteral("move"))) {
        const QJsonObject move = c.value(QStringLiteral("move")).toObject();
        ORLO_TRY_ASSIGN(const host::ItemId id, idOf(move.value(QStringLiteral("id"))));
        ORLO_TRY_ASSIGN(const QDateTime start, startOf(move.value(QStringLiteral("start"))));
        const Status moved = model.move(id, start);
        model.reload();
        ORLO_TRY(moved);
    }
    if (c.contains(QStringLiteral("open"))) {
        ORLO_TRY_ASSIGN(const host::ItemId id, idOf(c.value(QStringLiteral("open"))));
        view.openEntry(id);
    }
    if (c.contains(QStringLiteral("create"))) {
        ORLO_TRY_ASSIGN(const QDateTime start, startOf(c.value(QStringLiteral("create"))));
        view.createAt(start);
    }
    QJsonArray entries;
    for (const CalendarEntry& e : model.entries()) {
        entries.append(QJsonObject{{QStringLiteral("id"), QString::number(e.id)},
                                   {QStringLiteral("start"), isoOf(e.start)},
                                   {QStringLiteral("end"), isoOf(e.end)},
                                   {QStringLiteral("patient"), e.patient},
                                   {QStringLiteral("reason"), e.reason},
                                   {QStringLiteral("status"), e.status},
                                   {QStringLiteral("lane"), e.lane},
                                   {QStringLiteral("lanes"), e.lanes}});
    }
    const auto span = std::find_if(std::begin(kSpans), std::end(kSpans),
                                   [&](const auto& s) { return s.second == model.span(); });
    return QJsonObject{{QStringLiteral("first"), model.firstDay().toString(Qt::ISODate)},
                       {QStringLiteral("span"), span->first.toString()},
                       {QStringLiteral("title"), model.title()},
                       {QStringLiteral("entries"), entries}};
}

}  // namespace orlo::desk
