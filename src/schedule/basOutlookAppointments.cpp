#include "schedule/basOutlookAppointments.h"

#include "common/AddinContext.h"
#include "common/ItemFolders.h"
#include "common/PendingSave.h"
#include "host/HostErrors.h"
#include "host/Item.h"
#include "host/Items.h"
#include "platform/core/ErrorTrap.h"
#include "records/FieldMaps.h"

namespace orlo::schedule {

namespace {

constexpr int kCreatedValue = 12;
constexpr int kModifiedValue = 13;

Status checkValueCount(const ScheduleFieldValues& values) {
    if (values.size() == records::kScheduleValueCount) {
        return okStatus();
    }
    return makeError(err::kSubscriptOutOfRange,
                     QStringLiteral("Subscript out of range: %1 schedule values instead of %2.")
                         .arg(values.size())
                         .arg(records::kScheduleValueCount));
}

Result<std::shared_ptr<host::Items>> schedulerItems(AddinContext& ctx) {
    return addinFolderItems(ctx, QString::fromUtf16(kSchedulerFolderName));
}

Result<bool> exists(AddinContext& ctx, const char16_t* prefix, const QString& scheduleId) {
    ORLO_TRY_ASSIGN(const auto items, schedulerItems(ctx));
    ORLO_TRY_ASSIGN(const auto item, items->Find(QString::fromUtf16(prefix) + scheduleId));
    return item != nullptr;
}

// "ScheduleID" first, then every value but the desk's own two times. With
// `stopAtFailure` the first failure is returned; otherwise failures are
// passed over.
Status assignValues(host::Item& item, const QString& scheduleId, const ScheduleFieldValues& values,
                    bool stopAtFailure) {
    Status s =
        item.setUserProperty(records::str(records::scheduleField(0).property), Variant(scheduleId));
    if (!s && stopAtFailure) {
        return s;
    }
    for (int p = 1; p <= records::kScheduleValueCount; ++p) {
        if (p == kCreatedValue || p == kModifiedValue) {
            continue;
        }
        s = item.setUserProperty(records::str(records::scheduleField(p).property),
                                 Variant(values.at(p - 1)));
        if (!s && stopAtFailure) {
            return s;
        }
    }
    return okStatus();
}

}  // namespace

Result<bool> AppointmentExists(AddinContext& ctx, const QString& scheduleId) {
    return exists(ctx, kScheduleIdFilter, scheduleId);
}

Result<bool> AppointmentExistsByMileage(AddinContext& ctx, const QString& scheduleId) {
    return exists(ctx, kMileageFilter, scheduleId);
}

Status AddAppointmentItem(AddinContext& ctx, const QString& scheduleId,
                          const ScheduleFieldValues& values) {
    ORLO_TRY(checkValueCount(values));
    ORLO_TRY_ASSIGN(const auto items, schedulerItems(ctx));
    // From here on a step that fails is passed over and the next one runs.
    ErrorTrap resume = ErrorTrap::resumeNext();
    const auto added = items->Add();
    if (added && *added) {
        resume.step([&] { return assignValues(**added, scheduleId, values, false); });
    }
    ctx.ApptItemSaveEnabled = false;
    if (added && *added) {
        resume.step([&] { return (*added)->Save(); });
    }
    return okStatus();
}

Status UpdateAppointmentItem(AddinContext& ctx, const QString& scheduleId,
                             const ScheduleFieldValues& values) {
    ORLO_TRY(checkValueCount(values));
    ORLO_TRY_ASSIGN(const auto items, schedulerItems(ctx));
    ORLO_TRY_ASSIGN(const auto found,
                    items->Find(QString::fromUtf16(kScheduleIdFilter) + scheduleId));
    const std::shared_ptr<host::Item> item = found;
    if (!item) {
        return makeError(err::kObjectNotSet,
                         QStringLiteral("There is no appointment with ScheduleID %1 in \"%2\".")
                             .arg(scheduleId, QString::fromUtf16(kSchedulerFolderName)),
                         QString::fromUtf16(host::err::kSource));
    }
    if (hasPendingSave(*item)) {
        // The user's changes have not reached the database yet: a notice
        // must not overwrite them before their own save does.
        return pendingSaveRefusal(QStringLiteral("The appointment with ScheduleID ") + scheduleId);
    }
    ORLO_TRY(assignValues(*item, scheduleId, values, true));
    ctx.ApptItemSaveEnabled = false;
    return item->Save();
}

}  // namespace orlo::schedule
