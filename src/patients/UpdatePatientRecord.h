#pragma once
// UpdatePatientRecord: writes an existing PATIENTS row with one UPDATE
// statement, every text through SqlQuote and the key unquoted. It reports
// its own failures (a plain box with the error, the connection's errors in
// the error log) and tells the caller whether the row was written, so that
// a save that did not reach the database is not announced to the peers.

#include <QString>
#include <QStringList>

namespace orlo {
struct AddinContext;
}

namespace orlo::patients {

// What the save hands over: last name, first name, date of birth, values 5
// to 48, the item's "Modified" text (not written: LAST_UPDATED takes the
// clock) and the delete flag. 49 texts.
inline constexpr int kPatientUpdateTextCount = 49;

// The statement, from its fragments in field-map order; `lastUpdated` is the
// text of the current date and time.
QString patientUpdateStatement(const QString& patientId, const QStringList& texts,
                               const QString& lastUpdated);

// A row that no longer exists is reported like a failure.
inline constexpr char16_t kPatientRowGone[] =
    u"The patient could not be saved: it is no longer in the database (it may have been deleted "
    u"on another workstation).";

// True when exactly the named row was written.
bool UpdatePatientRecord(AddinContext& ctx, const QString& connectionString,
                         const QString& patientId, const QStringList& texts);

}  // namespace orlo::patients
