#include "host/BuiltInFields.h"

namespace orlo::host {

bool isBuiltInField(QStringView name) {
    return name == QStringView(kCustomerIdField) || name == QStringView(kMileageField) ||
           isDateField(name);
}

bool isDateField(QStringView name) {
    return name == QStringView(kStartField) || name == QStringView(kEndField) ||
           name == QStringView(kCreatedField) || name == QStringView(kModifiedField);
}

}  // namespace orlo::host
