#include "patients/basOutlookPatients.h"

#include "common/AddinContext.h"
#include "common/ItemFolders.h"
#include "common/ItemHandlerSupport.h"
#include "common/PendingSave.h"
#include "host/Application.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/commandbars/CommandBar.h"
#include "host/commandbars/CommandBars.h"
#include "platform/core/ErrorTrap.h"
#include "records/FieldMaps.h"
#include "records/FieldPositions.h"

namespace orlo::patients {

namespace {

namespace pos = records::patient;

Status checkValueCount(const PatientFieldValues& values) {
    if (values.size() == records::kPatientValueCount) {
        return okStatus();
    }
    return makeError(err::kSubscriptOutOfRange,
                     QStringLiteral("Subscript out of range: %1 patient values instead of %2.")
                         .arg(values.size())
                         .arg(records::kPatientValueCount));
}

QString valueAt(const PatientFieldValues& values, int position) {
    return values.at(position - 1);
}

// The order the values reach an item: last name, first name, middle name,
// then date of birth, then the rest in field-map order.
QList<int> namesFirstOrder(int last) {
    QList<int> order = {2, 3, 5, 4};
    for (int p = 6; p <= last; ++p) {
        order << p;
    }
    return order;
}

Result<std::shared_ptr<host::Item>> findPatient(AddinContext& ctx, const QString& filterPrefix,
                                                const QString& patientId) {
    ORLO_TRY_ASSIGN(const auto items,
                    addinFolderItems(ctx, QString::fromUtf16(kPatientsFolderName)));
    return items->Find(filterPrefix + patientId);
}

}  // namespace

Status PatientExists(AddinContext& ctx, const QString& patientId, bool& found) {
    ORLO_TRY_ASSIGN(const auto item,
                    findPatient(ctx, QString::fromUtf16(kPatientIdFilter), patientId));
    found = item != nullptr;
    return okStatus();
}

Result<bool> PatientExistsByCustomerID(AddinContext& ctx, const QString& patientId) {
    ORLO_TRY_ASSIGN(const auto item,
                    findPatient(ctx, QString::fromUtf16(kCustomerIdFilter), patientId));
    return item != nullptr;
}

Status AddPatientItem(AddinContext& ctx, const PatientFieldValues& values) {
    ORLO_TRY(checkValueCount(values));
    ORLO_TRY_ASSIGN(const auto items,
                    addinFolderItems(ctx, QString::fromUtf16(kPatientsFolderName)));
    // From here on a step that fails is passed over and the next one runs.
    ErrorTrap resume = ErrorTrap::resumeNext();
    const auto added = items->Add();
    const std::shared_ptr<host::Item> item = added ? *added : nullptr;
    if (item) {
        resume.step([&] {
            return item->setUserProperty(records::patientProperty(1), Variant(valueAt(values, 1)));
        });
        const QString page = records::str(records::kPatientPage);
        for (int p : namesFirstOrder(pos::kGeneralNote)) {
            resume.step([&] {
                return setControlValue(*item, page, records::str(records::patientField(p).control),
                                       Variant(valueAt(values, p)));
            });
        }
        for (int p = pos::kFirstClinical; p <= pos::kNotes2; ++p) {
            resume.step([&] {
                return item->setUserProperty(records::patientProperty(p),
                                             Variant(valueAt(values, p)));
            });
        }
        resume.step([&] {
            return item->setUserProperty(records::patientProperty(pos::kDeleteFlag),
                                         Variant(valueAt(values, pos::kDeleteFlag)));
        });
    }
    ctx.PatientItemSaveEnabled = false;
    if (item) {
        resume.step([&] { return item->Save(); });
    }
    if (const auto inspector = ctx.application->ActiveInspector()) {
        const auto tools =
            inspector->CommandBars()->Item(QString::fromUtf16(host::CommandBars::kTools));
        if (tools) {
            const auto checkNames =
                (*tools)->Controls()->Item(QString::fromUtf16(host::CommandBars::kCheckNames));
            if (checkNames) {
                resume.step([&] { return (*checkNames)->Execute(); });
            }
        }
    }
    return okStatus();
}

Status UpdatePatientItem(AddinContext& ctx, const PatientFieldValues& values) {
    ORLO_TRY(checkValueCount(values));
    ORLO_TRY_ASSIGN(const auto found,
                    findPatient(ctx, QString::fromUtf16(kPatientIdFilter), valueAt(values, 1)));
    const std::shared_ptr<host::Item> item = found;
    if (!item) {
        return makeError(err::kObjectNotSet,
                         QStringLiteral("There is no contact with PatientID %1 in \"%2\".")
                             .arg(valueAt(values, 1), QString::fromUtf16(kPatientsFolderName)),
                         QString::fromUtf16(host::err::kSource));
    }
    if (hasPendingSave(*item)) {
        // The user's changes have not reached the database yet: a notice
        // must not overwrite them before their own save does.
        return pendingSaveRefusal(QStringLiteral("The contact with PatientID ") +
                                  valueAt(values, 1));
    }
    QList<int> order = {1};
    order << namesFirstOrder(pos::kNotes2) << pos::kDeleteFlag;
    for (int p : order) {
        ORLO_TRY(item->setUserProperty(records::patientProperty(p), Variant(valueAt(values, p))));
    }
    ctx.PatientItemSaveEnabled = false;
    return item->Save();
}

}  // namespace orlo::patients
