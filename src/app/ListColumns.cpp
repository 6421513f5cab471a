#include "app/ListColumns.h"

#include "host/BuiltInFields.h"
#include "platform/core/Locale.h"
#include "records/FieldMaps.h"

namespace orlo::desk {

namespace {

using records::patientField;
using records::scheduleField;
using records::str;

// Positions in the record layouts.
constexpr int kLastName = 2;
constexpr int kFirstName = 3;
constexpr int kDateOfBirth = 4;
constexpr int kWorkTel = 18;
constexpr int kHomeTel = 19;
constexpr int kMobile = 20;
constexpr int kStart = 1;
constexpr int kEnd = 2;
constexpr int kApptLastName = 3;
constexpr int kApptFirstName = 4;
constexpr int kReason = 7;
constexpr int kStatus = 8;

QString valueText(const host::PropertyMap& values, const QString& name, const Locale& locale) {
    const auto it = values.find(name);
    return it == values.end() ? QString() : it->second.text(locale).trimmed();
}

}  // namespace

QString ListColumn::text(const host::PropertyMap& values, const Locale& locale) const {
    if (join == Join::Name) {
        QStringList parts;
        for (const QString& p : properties) {
            if (const QString t = valueText(values, p, locale); !t.isEmpty()) {
                parts << t;
            }
        }
        return parts.join(QStringLiteral(", "));
    }
    for (const QString& p : properties) {
        if (const QString t = valueText(values, p, locale); !t.isEmpty()) {
            return t;
        }
    }
    return {};
}

std::vector<ListColumn> listColumnsFor(const QString& defaultMessageClass) {
    using J = ListColumn::Join;
    if (defaultMessageClass.compare(str(records::kPatientMessageClass), Qt::CaseInsensitive) == 0) {
        return {
            {QStringLiteral("Name"),
             {str(patientField(kLastName).property), str(patientField(kFirstName).property)},
             J::Name},
            {QStringLiteral("Date of Birth"),
             {str(patientField(kDateOfBirth).property)},
             J::FirstNonBlank},
            {QStringLiteral("Telephone"),
             {str(patientField(kHomeTel).property), str(patientField(kMobile).property),
              str(patientField(kWorkTel).property)},
             J::FirstNonBlank},
        };
    }
    if (defaultMessageClass.compare(str(records::kAppointmentMessageClass), Qt::CaseInsensitive) ==
        0) {
        return {
            {QStringLiteral("Start"), {str(scheduleField(kStart).property)}, J::FirstNonBlank},
            {QStringLiteral("End"), {str(scheduleField(kEnd).property)}, J::FirstNonBlank},
            {QStringLiteral("Patient"),
             {str(scheduleField(kApptLastName).property),
              str(scheduleField(kApptFirstName).property)},
             J::Name},
            {QStringLiteral("Reason"), {str(scheduleField(kReason).property)}, J::FirstNonBlank},
            {QStringLiteral("Status"), {str(scheduleField(kStatus).property)}, J::FirstNonBlank},
        };
    }
    return {
        {QStringLiteral("Subject"), {QStringLiteral("Subject")}, J::FirstNonBlank},
        {QStringLiteral("Modified"), {QString::fromUtf16(host::kModifiedField)}, J::FirstNonBlank},
    };
}

QStringList propertiesOf(const std::vector<ListColumn>& columns) {
    QStringList all;
    for (const ListColumn& c : columns) {
        for (const QString& p : c.properties) {
            if (!all.contains(p)) {
                all << p;
            }
        }
    }
    return all;
}

}  // namespace orlo::desk
