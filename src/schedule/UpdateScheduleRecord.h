#pragma once
// UpdateScheduleRecord: writes an existing SCHEDULED row with one UPDATE
// statement: every value through SqlQuote, no recall due date as NULL, the patient key as a whole
// number, the schedule id unquoted. It reports its own failures (a plain box with the error, the
// connection's errors in the error log) and tells the caller whether the row was written, so that a
// save that did not reach the database is not announced.

#include <QString>
#include <QStringList>

#include "platform/core/Result.h"

namespace orlo {
struct AddinContext;
class Locale;
}  // namespace orlo

namespace orlo::schedule {

inline constexpr char16_t kNoRecallDate[] = u"None";
inline constexpr char16_t kSqlNull[] = u"NULL";

// A recall due date text that stands for no date: "None", or nothing at all
// (a new appointment's, or a Null date shown on opening).
bool isNoRecallDate(const QString& text);

inline constexpr char16_t kAppointmentRowGone[] =
    u"The appointment could not be saved: it is no longer in the database (it may have been "
    u"deleted on another workstation).";

// "sPTID" as the patient key: a 32-bit whole number. Empty or non-numeric
// text fails with type mismatch, a number out of range with overflow.
Result<qint32> patientKeyOf(const QString& sptid, const Locale& locale);

// The statement for the 55 values (value n at index n - 1); fails when the
// patient key cannot be converted.
Result<QString> scheduleUpdateStatement(const QString& scheduleId, const QStringList& values,
                                        const Locale& locale);

// True when exactly the named row was written.
bool UpdateScheduleRecord(AddinContext& ctx, const QString& connectionString,
                          const QString& scheduleId, const QStringList& values);

}  // namespace orlo::schedule
