#pragma once
// The patient operations of basOutlook: find a patient's contact item in
// "Patients" by its key, create one from the patient field values, or
// overwrite one. They are the only way the add-in itself writes contact
// items (the peer notices and the resync call them), and they clear
// PatientItemSaveEnabled just before their own save so that the contact
// Write handler does not write that save back to the database; the caller
// sets it true again after each call.
//
// The finders and UpdatePatientItem trap nothing: every failure goes back to
// the caller. AddPatientItem fails only while reaching the folder and passes
// over everything after that.

#include <QString>
#include <QStringList>

#include "platform/core/Result.h"

namespace orlo {
struct AddinContext;
}

namespace orlo::patients {

// The patient field values: 50 texts, value n at index n - 1.
using PatientFieldValues = QStringList;

inline constexpr char16_t kPatientIdFilter[] = u"[PatientID] = ";
inline constexpr char16_t kCustomerIdFilter[] = u"[Customer ID] = ";

// Sets `found` to whether an item has "PatientID" = id; nothing else is
// returned but a failure.
Status PatientExists(AddinContext& ctx, const QString& patientId, bool& found);
// Whether an item has "Customer ID" = id.
Result<bool> PatientExistsByCustomerID(AddinContext& ctx, const QString& patientId);

// A new contact: "PatientID", the controls of page "General" (values 2 to
// 29), the user properties of values 30 to 47 and "DeleteFlag"; saved, then
// "Check Names" of the active item window. Values 48 and 49 are not applied.
Status AddPatientItem(AddinContext& ctx, const PatientFieldValues& values);
// Overwrites the user properties of the item with "PatientID" = value 1
// (values 1 to 47 and 50) and saves it; an id with no item fails, and so
// does an item whose last save did not reach the database (it is left as
// typed).
Status UpdatePatientItem(AddinContext& ctx, const PatientFieldValues& values);

}  // namespace orlo::patients
