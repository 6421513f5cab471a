#pragma once
// A patient's date of birth as the save stores and compares it. The
// duplicate check matches it as text, so "1/2/1970" and "01/02/1970" would
// be two patients: a text that reads as a date in the workstation's short
// date order (day and month with or without their leading zero, a two- or
// four-digit year) becomes that order's canonical form, with two-digit day
// and month and a four-digit year ("01/02/1970" in day-month order,
// "02/01/1970" for 1 February in month-day order). Any other text is kept
// as typed.

#include <QString>

namespace orlo {
class Locale;
}

namespace orlo::patients {

QString canonicalDateOfBirth(const QString& typed, const Locale& locale);

}  // namespace orlo::patients
