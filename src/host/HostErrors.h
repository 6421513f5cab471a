#pragma once
// Error numbers of the desk host's object model, beside the system-wide ones
// in platform/core/Error.h. The host raises these where the original object
// model raised its own failures; the add-in tests some of them by value.

#include <QString>

#include "platform/core/Error.h"

namespace orlo::host::err {

using namespace orlo::err;

// A folder, store or page that is not there ("The operation failed. An
// object could not be found.").
inline constexpr long kObjectNotFound = -2147221233;  // 0x8004010F
// The item was deleted, or its store removed from the profile.
inline constexpr long kItemDeleted = -2147221238;  // 0x8004010A
// A Find filter that is not of the form "[Name] = value".
inline constexpr long kCannotParseCondition = -2147352567;  // 0x80020009
// An argument the object model does not accept (GetNamespace("X")).
inline constexpr long kInvalidArgument = -2147024809;  // 0x80070057
// A handler set the cancel flag of Write, BeforeDelete, Close, Open or
// BeforeFolderSwitch: the operation did not happen.
inline constexpr long kOperationCancelled = -2147467260;  // 0x80004004
// Reading or assigning a user property the item does not have: the
// collection lookup fails the way a missing key fails ("Invalid procedure
// call or argument"), which the item handlers pass over.
inline constexpr long kPropertyNotFound = kInvalidProcedureCall;
// Reaching a page or control that the item's form does not define.
inline constexpr long kControlNotFound = kUnknownFormControl;

inline constexpr char16_t kSource[] = u"Orlo Desk";

inline Error hostError(long number, const QString& description) {
    return makeError(number, description, QString::fromUtf16(kSource));
}

}  // namespace orlo::host::err
