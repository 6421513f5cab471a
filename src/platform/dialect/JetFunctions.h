#pragma once
// The dialect's functions on an SQLite connection: jet_now, jet_datediff,
// jet_year, jet_month, jet_day, jet_dateserial, jet_cdate, jet_datetext,
// jet_daystart (the
// names in JetFunctionNames.h), and like() replaced by one that ignores
// letter case beyond ASCII. Dates are read from the canonical text, from ISO
// 8601 or the locale's forms, or from a date serial number; they are
// returned as canonical text. A NULL argument gives NULL.

#include <sqlite3.h>
#include <QStringView>

#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/core/Result.h"

namespace orlo::data {

// The SQLite error message of a text that is no date where a date is needed
// (jet_cdate on a non-date, DATEDIFF on a non-date, ...). The data layer
// reports it as orlo::err::kTypeMismatch.
inline constexpr QStringView kTypeMismatchMessage = u"Data type mismatch in criteria expression.";
// The message of an unknown DATEDIFF interval or a DateSerial out of range:
// orlo::err::kInvalidProcedureCall.
inline constexpr QStringView kInvalidProcedureCallMessage = u"Invalid procedure call or argument.";

// The error number a message raised by these functions stands for, or
// orlo::err::kNone when the message is not one of theirs.
long errorNumberOfFunctionMessage(QStringView sqliteMessage);

// Registers the functions on `db`. `clock` must outlive the connection; the
// locale is copied.
Status registerJetFunctions(sqlite3* db, const Clock& clock, const Locale& locale);

}  // namespace orlo::data
