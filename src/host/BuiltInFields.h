#pragma once
// The built-in item fields the system relies on. Every item has them (they
// are never "missing"); they answer through the user-property collection as
// well, and Items.Find searches them like user properties. "Created" and
// "Modified" are kept by the host from its clock.

#include <QString>
#include <QStringView>

namespace orlo::host {

inline constexpr char16_t kCustomerIdField[] = u"Customer ID";
inline constexpr char16_t kMileageField[] = u"Mileage";
inline constexpr char16_t kStartField[] = u"Start";
inline constexpr char16_t kEndField[] = u"End";
inline constexpr char16_t kCreatedField[] = u"Created";
inline constexpr char16_t kModifiedField[] = u"Modified";

bool isBuiltInField(QStringView name);
// Start, End, Created and Modified hold dates.
bool isDateField(QStringView name);

}  // namespace orlo::host
