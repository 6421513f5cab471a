#include "host/forms/AppointmentForm.h"

#include "host/BuiltInFields.h"
#include "host/Item.h"
#include "platform/core/ErrorTrap.h"
#include "platform/core/Locale.h"
#include "records/FieldMaps.h"

namespace orlo::host {

namespace {

constexpr int kScheduleIdPosition = 0;
constexpr int kCreatedPosition = 12;
constexpr int kModifiedPosition = 13;
constexpr int kStart = 1;
constexpr int kEnd = 2;
constexpr int kLastName = 3;
constexpr int kFirstName = 4;
constexpr int kReason = 7;
constexpr int kStatus = 8;

ListColumn patientColumn() {
    return {QStringLiteral("Patient"),
            {records::scheduleProperty(kLastName), records::scheduleProperty(kFirstName)},
            ListColumn::Join::Name};
}

QString textOf(const Item& item, const QString& name) {
    return item.propertyText(name);
}

}  // namespace

AppointmentForm::AppointmentForm() {
    PageSpec scheduler{records::str(records::kSchedulerPage), {}};
    ControlSpec reason{records::str(records::kReasonLabel), ControlKind::Label, {}};
    ControlSpec status{records::str(records::kStatusLabel), ControlKind::Label, {}};
    scheduler.controls.push_back(reason);
    scheduler.controls.push_back(status);
    PageSpec charges{records::str(records::kChargesPage), {}};
    for (const records::ScheduleField& f : records::scheduleFields()) {
        const QString property = records::str(f.property);
        if (f.control != nullptr) {
            charges.controls.push_back({records::str(f.control), ControlKind::TextBox, property});
        } else if (f.position != kScheduleIdPosition && f.position != kCreatedPosition &&
                   f.position != kModifiedPosition) {
            // The scheduler page shows the visit's own values under their
            // property names; the key and the host's times are not editable.
            scheduler.controls.push_back({property, ControlKind::TextBox, property});
        }
    }
    m_pages.push_back(std::move(scheduler));
    m_pages.push_back(std::move(charges));
}

QString AppointmentForm::messageClass() const {
    return records::str(records::kAppointmentMessageClass);
}

PropertyMap AppointmentForm::initialProperties() const {
    PropertyMap props;
    for (const records::ScheduleField& f : records::scheduleFields()) {
        if (!isBuiltInField(f.property)) {
            props.emplace(records::str(f.property), Variant(QString()));
        }
    }
    props.emplace(records::str(records::kRecallDueProperty), Variant(QString()));
    return props;
}

std::vector<ListColumn> AppointmentForm::listColumns() const {
    using J = ListColumn::Join;
    return {
        {QStringLiteral("Start"), {records::scheduleProperty(kStart)}, J::FirstNonBlank},
        {QStringLiteral("End"), {records::scheduleProperty(kEnd)}, J::FirstNonBlank},
        patientColumn(),
        {QStringLiteral("Reason"), {records::scheduleProperty(kReason)}, J::FirstNonBlank},
        {QStringLiteral("Status"), {records::scheduleProperty(kStatus)}, J::FirstNonBlank},
    };
}

TitleRule AppointmentForm::titleRule() const {
    return {QStringLiteral("Appointment"), patientColumn()};
}

void AppointmentForm::propertyChanged(Item& item, const QString& name) const {
    if (name == records::str(records::kRecallDueProperty)) {
        deriveRecallMask(item);
    }
}

void AppointmentForm::applySaveRules(Item& item) const {
    const QString scheduleId =
        textOf(item, records::str(records::scheduleField(kScheduleIdPosition).property));
    const QString mileage = records::str(kMileageField);
    if (textOf(item, mileage) != scheduleId) {
        ignoreError(item.setBoundValue(mileage, Variant(scheduleId)),
                    "an item that refuses a value refuses the save that follows");
    }
    // A blank mask takes the recall date; a mask written after the recall
    // date (a refresh from the database) is the newer value and stays.
    if (textOf(item, records::str(records::kRecallDueMaskProperty)).isEmpty() &&
        !textOf(item, records::str(records::kRecallDueProperty)).isEmpty()) {
        deriveRecallMask(item);
    }
}

void AppointmentForm::deriveRecallMask(Item& item) {
    const Result<Variant> read = item.propertyValue(records::str(records::kRecallDueProperty));
    const Variant due = read.ok() ? read.value() : Variant();
    const Locale& locale = item.locale();
    QString mask;
    if (const QDateTime* d = due.asDate()) {
        mask = locale.shortDate(d->date());
    } else {
        const QString text = due.text(locale).trimmed();
        const auto parsed = locale.parseDateTime(text);
        mask = text.isEmpty() ? QString::fromUtf16(kNoRecallDate)
               : parsed       ? locale.shortDate(parsed->date())
                              : text;
    }
    const QString maskName = records::str(records::kRecallDueMaskProperty);
    if (textOf(item, maskName) != mask) {
        ignoreError(item.setBoundValue(maskName, Variant(mask)),
                    "an item that refuses a value refuses the save that follows");
    }
}

}  // namespace orlo::host
