#pragma once
// PatientSelector: the patient finder opened from an appointment
// (frmSchedulePatientSearch, "Patient Selector..."), with "&Select..." that
// copies the chosen patient into the appointment being edited. The copy is
// not saved: the user sees it on the appointment and saves it there.

#include "search/PatientFinder.h"

namespace orlo::search {

inline constexpr char16_t kSelectorLabel[] =
    u"Select a patient to autofill data into your appointment...";

class PatientSelector final : public PatientFinder {
public:
    explicit PatientSelector(SearchServices services) : PatientFinder(services, Kind::Selector) {}

    // "&Select...": true when the window unloads (the patient was copied,
    // or the copy failed with its own box); false when it stays open after
    // an error box.
    bool cmdSelectPT_Click();

    // The chosen patient's PT_ID, LAST NAME, FIRST NAME, MID_IN, DOB and
    // HOME_TEL as copied (Null as empty text).
    const QStringList& selectedPatient() const { return m_fields; }

private:
    QStringList m_fields;
};

}  // namespace orlo::search
