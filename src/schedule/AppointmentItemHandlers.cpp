#include "schedule/AppointmentItemHandlers.h"

#include "common/AddinContext.h"
#include "common/ItemFolders.h"
#include "common/ItemHandlerSupport.h"
#include "common/PeerNotice.h"
#include "common/PendingSave.h"
#include "common/StorableText.h"
#include "host/BuiltInFields.h"
#include "host/Item.h"
#include "host/forms/FormControl.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Connection.h"
#include "platform/data/DataErrors.h"
#include "platform/data/Recordset.h"
#include "platform/ui/MessageBox.h"
#include "records/FieldMaps.h"
#include "records/FieldPositions.h"
#include "schedule/RecallDueDate.h"
#include "schedule/UpdateScheduleRecord.h"

namespace orlo::schedule {

namespace {

namespace pos = records::appointment;

constexpr int kLastCalendarYear = 9999;

constexpr host::Rgb kBlack{0, 0, 0};
constexpr host::Rgb kRed{255, 0, 0};

QString columnOf(int position) {
    return records::str(records::scheduleField(position).columnName);
}

QString str(const char16_t* s) {
    return QString::fromUtf16(s);
}

data::DataContext dataContext(const AddinContext& ctx) {
    return data::DataContext{ctx.clock, ctx.locale, ctx.databaseLockWaitMs};
}

}  // namespace

void AppointmentItemHandlers::Write(host::Item& item) {
    if (!m_ctx.ApptItemSaveEnabled || !isInAddinFolder(m_ctx, item, str(kSchedulerFolderName))) {
        return;
    }
    ErrorTrap trap = itemHandlerTrap();
    const QString scheduleId =
        propertyText(item, records::scheduleProperty(pos::kScheduleId), m_ctx, trap);
    QStringList values;
    for (int p = 1; p <= records::kScheduleValueCount; ++p) {
        values << propertyText(item, records::scheduleProperty(p), m_ctx, trap);
    }
    if (!trap.failed()) {
        makeValuesStorable(m_ctx, item, values, 1, records::kScheduleValueCount, 1,
                           records::scheduleProperty);
    }
    bool stored = false;
    if (trap.failed()) {
        reportHandlerError(m_ctx, trap.error(), str(kAppointmentSaveErrorsTitle), {}, nullptr,
                           nullptr);
    } else if (const Status dates = checkDates(values); !dates) {
        reportHandlerError(m_ctx, dates.error(), str(kAppointmentSaveErrorsTitle), {}, nullptr,
                           nullptr);
    } else if (!scheduleId.isEmpty()) {
        stored = updateAppointment(scheduleId, values);
    } else {
        stored = insertAppointment(item, values);
    }
    // A save that did not reach the database is marked on the item, so that
    // nothing read from the database overwrites what was typed; the next
    // save that gets through clears it.
    ignoreError(setPendingSave(item, !stored), "a property of the item's own save");
}

Status AppointmentItemHandlers::checkDates(const QStringList& values) const {
    auto refused = [](const char16_t* text, int position) {
        return makeError(err::kTypeMismatch, str(text).arg(records::scheduleProperty(position)),
                         QStringLiteral("Orlo"));
    };
    for (const int p : {pos::kStart, pos::kEnd}) {
        if (!m_ctx.locale.parseDateTime(values.at(p - 1))) {
            return refused(kVisitTimeMissingText, p);
        }
    }
    if (*m_ctx.locale.parseDateTime(values.at(pos::kEnd - 1)) <
        *m_ctx.locale.parseDateTime(values.at(pos::kStart - 1))) {
        return makeError(err::kTypeMismatch, str(kVisitEndsBeforeStartText),
                         QStringLiteral("Orlo"));
    }
    const QString due = values.at(pos::kRecallDue - 1);
    if (!isNoRecallDate(due) && !m_ctx.locale.parseDateTime(due)) {
        return refused(kRecallDueNotADateText, pos::kRecallDue);
    }
    return okStatus();
}

bool AppointmentItemHandlers::insertAppointment(host::Item& item, QStringList values) {
    ErrorTrap trap = itemHandlerTrap();
    data::Connection conn(dataContext(m_ctx));
    data::Recordset rs;
    auto setText = [&](int p) {
        trap.step([&] { return rs.setField(columnOf(p), Variant(values.at(p - 1))); });
    };
    trap.step([&] { return openJetConnection(conn, m_ctx.DbLocation); });
    trap.step([&] {
        return rs.open(str(kNewAppointmentRowSource), conn, data::kOpenKeyset,
                       data::kLockOptimistic);
    });
    trap.step([&] { return rs.addNew(); });
    for (int p = 1; p <= pos::kRecallPeriod; ++p) {
        setText(p);
    }
    if (!isNoRecallDate(values.at(pos::kRecallDue - 1))) {
        setText(pos::kRecallDue);
    }
    const Variant now(m_ctx.clock.now());
    trap.step([&] { return rs.setField(columnOf(pos::kCreated), now); });
    trap.step([&] { return rs.setField(columnOf(pos::kModified), now); });
    const std::optional<qint32> patient =
        trap.value([&] { return patientKeyOf(values.at(pos::kPatientKey - 1), m_ctx.locale); });
    if (patient) {
        trap.step(
            [&] { return rs.setField(columnOf(pos::kPatientKey), Variant(qint64(*patient))); });
    }
    for (int p = pos::kFirstExam; p <= records::kScheduleValueCount; ++p) {
        setText(p);
    }
    const std::optional<Variant> key = trap.value([&] { return rs.field(0); });
    const QString scheduleId = key ? key->text(m_ctx.locale) : QString();
    trap.step([&] { return rs.update(); });
    // Inside the item's own save: the key is stored with the item.
    trap.step([&] {
        return item.setUserProperty(records::scheduleProperty(pos::kScheduleId),
                                    Variant(scheduleId));
    });
    if (trap.failed()) {
        reportHandlerError(m_ctx, trap.error(), str(kAppointmentSaveErrorsTitle), conn.errors(),
                           &rs, &conn);
        return false;
    }
    rs.close();
    ignoreError(conn.close(), "the routine's own outcome is what its caller hears");
    values.prepend(scheduleId);
    sendPeerNotice(m_ctx, peerNoticeLine(kScheduleNotice, kNoticeNewRow, values));
    return true;
}

bool AppointmentItemHandlers::updateAppointment(const QString& scheduleId, QStringList values) {
    if (!UpdateScheduleRecord(m_ctx, m_ctx.DbLocation, scheduleId, values)) {
        // Nothing reached the database: the peers are not told.
        return false;
    }
    // The notice goes out only while the database can be reached; the row
    // is written by now either way.
    ErrorTrap trap = itemHandlerTrap();
    data::Connection conn(dataContext(m_ctx));
    trap.step([&] { return openJetConnection(conn, m_ctx.DbLocation); });
    if (trap.failed()) {
        reportHandlerError(m_ctx, trap.error(), str(kAppointmentSaveErrorsTitle), conn.errors(),
                           nullptr, &conn);
        return true;
    }
    ignoreError(conn.close(), "the routine's own outcome is what its caller hears");
    values.prepend(scheduleId);
    sendPeerNotice(m_ctx, peerNoticeLine(kScheduleNotice, kNoticeChangedRow, values));
    return true;
}

void AppointmentItemHandlers::Open(host::Item& item) {
    if (!isInAddinFolder(m_ctx, item, str(kSchedulerFolderName))) {
        return;
    }
    if (hasPendingSave(item)) {
        // The database holds an older appointment than the item: not read.
        reportPendingSaveOnOpen(m_ctx, QStringLiteral("appointment"));
        return;
    }
    ErrorTrap trap = itemHandlerTrap();
    const QString scheduleId =
        propertyText(item, records::scheduleProperty(pos::kScheduleId), m_ctx, trap);
    if (scheduleId.isEmpty() && !trap.failed()) {
        return;  // a new appointment, not in the database yet
    }
    data::Connection conn(dataContext(m_ctx));
    data::Recordset rs;
    const std::optional<data::RowTable> rows =
        readItemRowOrOfferDelete(m_ctx, trap, item, conn, rs, str(kSelectAppointment), scheduleId,
                                 str(kAppointmentDeletedText));
    if (rows) {
        auto cell = [&](int column) {
            const auto c = size_t(column);
            return c < rows->size() && !(*rows)[c].empty() ? (*rows)[c][0] : Variant();
        };
        auto setProperty = [&](int p, const Variant& v) {
            trap.step([&] { return item.setUserProperty(records::scheduleProperty(p), v); });
        };
        for (int p = pos::kLastName; p <= pos::kRecallPeriod; ++p) {
            setProperty(p, cell(p));
        }
        const Variant due = cell(pos::kRecallDue);
        setProperty(pos::kRecallDue, due.isNull() ? Variant(QString()) : due);
        for (int p = pos::kFirstExam; p <= pos::kLastExam; ++p) {
            setProperty(p, cell(p));
        }
        const QString page = records::str(records::kChargesPage);
        for (int p = pos::kFirstCharge; p <= pos::kLastCharge; ++p) {
            trap.step([&] {
                return setControlValue(item, page, records::str(records::scheduleField(p).control),
                                       cell(p));
            });
        }
        for (int p = pos::kLastCharge + 1; p <= records::kScheduleValueCount; ++p) {
            setProperty(p, cell(p));
        }
    }
    if (trap.failed()) {
        reportHandlerError(m_ctx, trap.error(), str(kAppointmentOpenErrorsTitle), conn.errors(),
                           &rs, &conn);
    }
}

void AppointmentItemHandlers::CustomPropertyChange(host::Item& item, const QString& name) {
    if (!isInAddinFolder(m_ctx, item, str(kSchedulerFolderName))) {
        return;
    }
    const Result<Variant> start = item.userProperty(str(host::kStartField));
    if (!start) {
        return;
    }
    const QString startText = start->text(m_ctx.locale);
    if (name == records::scheduleProperty(pos::kRecallPeriod)) {
        const Result<Variant> period = item.userProperty(name);
        if (!period) {
            return;
        }
        const QString months = period->text(m_ctx.locale);
        if (!recallMonths(months)) {
            return;
        }
        // A start that holds no date gives no due date.
        const std::optional<QDateTime> startDate = m_ctx.locale.parseDateTime(startText);
        if (!startDate) {
            return;
        }
        const std::optional<QDate> due = recallDueDate(startDate->date(), months);
        if (due && due->year() > kLastCalendarYear) {
            // The database keeps no date after 9999: no due date, and the
            // user hears why.
            m_ctx.messageBoxes.show(MessageBoxRequest{str(kRecallBeyondCalendarText).arg(months),
                                                      {},
                                                      MsgIcon::Exclamation,
                                                      MsgButtons::OK});
        } else if (due) {
            ignoreError(item.setUserProperty(records::str(records::kRecallDueProperty),
                                             Variant(m_ctx.locale.shortDate(*due))),
                        "a derived date; the save reports what the item refuses");
        }
    } else if (name == records::scheduleProperty(pos::kReason)) {
        colourLabel(item, name, records::str(records::kReasonLabel));
    } else if (name == records::scheduleProperty(pos::kStatus)) {
        colourLabel(item, name, records::str(records::kStatusLabel));
    }
}

void AppointmentItemHandlers::colourLabel(host::Item& item, const QString& property,
                                          const QString& label) {
    const Result<Variant> value = item.userProperty(property);
    if (!value) {
        return;
    }
    const auto control = inspectorControl(item, records::str(records::kSchedulerPage), label);
    if (!control) {
        return;
    }
    (*control)->setForeColor(value->text(m_ctx.locale).isEmpty() ? kRed : kBlack);
}

}  // namespace orlo::schedule
