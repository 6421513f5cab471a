#include "search/SearchItems.h"

#include "common/AddinContext.h"
#include "common/AddinFolders.h"
#include "host/Application.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"
#include "host/Item.h"
#include "host/ItemClass.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "platform/core/ErrorTrap.h"
#include "records/FieldMaps.h"

namespace orlo::search {

namespace {

Result<std::shared_ptr<host::Items>> folderItems(AddinContext& ctx, const char16_t* folder) {
    const auto f = addinFolder(ctx.application, QString::fromUtf16(folder));
    if (!f) {
        return f.error();
    }
    return (*f)->Items();
}

Status displayFound(AddinContext& ctx, const char16_t* folder, const QString& filter,
                    const QString& what) {
    const auto items = folderItems(ctx, folder);
    if (!items) {
        return items.error();
    }
    const auto item = (*items)->Find(filter);
    if (!item) {
        return item.error();
    }
    if (!*item) {
        return host::err::hostError(err::kObjectNotSet,
                                    QStringLiteral("%1 is not in the \"%2\" folder.")
                                        .arg(what, QString::fromUtf16(folder)));
    }
    return (*item)->Display();
}

}  // namespace

Status FindaContact(AddinContext& ctx, const QString& patientId) {
    return displayFound(ctx, kPatientsFolderName, QStringLiteral("[PatientID] = ") + patientId,
                        QStringLiteral("The contact of patient %1").arg(patientId));
}

Status FindaAppointment(AddinContext& ctx, const QString& scheduleId) {
    return displayFound(ctx, kSchedulerFolderName, QStringLiteral("[ScheduleID] = ") + scheduleId,
                        QStringLiteral("Appointment %1").arg(scheduleId));
}

Status addPatientContact(AddinContext& ctx) {
    const auto items = folderItems(ctx, kPatientsFolderName);
    if (!items) {
        return items.error();
    }
    const auto item = (*items)->Add(QString::fromUtf16(records::kPatientMessageClass));
    if (!item) {
        return item.error();
    }
    return (*item)->Display();
}

Status HelloWorld(AddinContext& ctx, const QStringList& values) {
    const auto inspector = ctx.application ? ctx.application->ActiveInspector() : nullptr;
    const auto item = inspector ? inspector->CurrentItem() : nullptr;
    if (!item) {
        return host::err::hostError(err::kObjectNotSet, QStringLiteral("No item window is open."));
    }
    // A contact in the active window has a "DOB" of its own: nothing of
    // the chosen patient goes into anything but an appointment.
    if (item->Class() != host::kAppointmentItem) {
        return host::err::hostError(err::kTypeMismatch,
                                    QStringLiteral("The active item window is no appointment."));
    }
    // A property the appointment lacks is passed over; the rest go on.
    ErrorTrap trap = ErrorTrap::resumeNext();
    for (qsizetype i = 0; i < qsizetype(std::size(kSelectionProperties)); ++i) {
        trap.step([&] {
            return item->setUserProperty(QString::fromUtf16(kSelectionProperties[i]),
                                         i < values.size() ? values[i] : QString());
        });
    }
    return okStatus();
}

}  // namespace orlo::search
