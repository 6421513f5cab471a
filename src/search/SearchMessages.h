#pragma once
// The boxes of the search windows, with their titles and texts as the
// desk's users know them (the finder's "Sofware" is its own spelling), and
// the database errors that the windows' buttons name for the user.

#include <QString>

#include "platform/core/Error.h"

namespace orlo {
class MessageBoxService;
}

namespace orlo::search {

inline constexpr char16_t kOrloSoftwareTitle[] = u"Orlo Software";
inline constexpr char16_t kSoftwareErrorTitle[] = u"Orlo Software Error";
inline constexpr char16_t kSofwareErrorTitle[] = u"Orlo Sofware Error";

inline constexpr char16_t kNoRecordsText[] = u"No Records are in the Database to Select.";
inline constexpr char16_t kHasAppointmentsText[] =
    u"The selected patient has appointment records. Please delete appointments first and try "
    u"to delete patient record again.";
inline constexpr char16_t kFailedShutdownText[] =
    u"This application has failed to shutdown.  Please restart MS Outlook.";

inline constexpr char16_t kEmptySearchText[] = u"Please enter a value in search box";
inline constexpr char16_t kConfirmDeleteTitle[] = u"Orlo Software - Confirm Record Delete";
inline constexpr char16_t kConfirmDeleteText[] =
    u"Are you sure you want to delete the selected record?";
inline constexpr char16_t kDeletedText[] = u"Record has been successfully deleted.";
inline constexpr char16_t kCopyProblemText[] =
    u"There was a problem copying the data to this appointment, please close all windows and "
    u"try again";

// A critical box: the error's number, CR LF, its description.
void showErrorBox(MessageBoxService& boxes, const QString& title, const Error& error);

// The errors a button names in a box of their own, titled "Orlo Database
// Error #<number>": no current record (3021), a patient still referenced
// by appointments (-2147217887, when `appointments`), a closed object
// (3219) and an object no longer there (440). Anything else goes into the
// generic box under `otherTitle`.
struct NamedErrors {
    bool noRecords = true;
    bool appointments = false;
    bool shutdown = false;
};
void showButtonError(MessageBoxService& boxes, const Error& error, NamedErrors named,
                     const QString& otherTitle);

// What the buttons raise when nothing is selected or an item is missing.
Error noSelectionError(const QString& what);
Error noCurrentRecordError();

}  // namespace orlo::search
