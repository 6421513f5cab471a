#include "host/forms/FormLooks.h"

#include <QHash>

#include "records/FieldMaps.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::host {

namespace {

using K = InputKind;

struct LookRow {
    const char16_t* control;
    const char16_t* caption;
    const char16_t* section;
    InputKind input = K::Text;
    bool readOnly = false;
};

const QStringList& sexes() {
    static const QStringList k{u"M"_s, u"F"_s};
    return k;
}
const QStringList& yesNo() {
    static const QStringList k{u"YES"_s, u"NO"_s};
    return k;
}
const QStringList& maritalStatuses() {
    static const QStringList k{u"Single"_s,   u"Married"_s,   u"Partner"_s,
                               u"Divorced"_s, u"Separated"_s, u"Widowed"_s};
    return k;
}
// The statuses the reports read ("CANCELLED" and "NO SHOW" select the
// no-show list) and the ones the clinic books and closes visits with.
const QStringList& visitStatuses() {
    static const QStringList k{u"BOOKED"_s,    u"CONFIRMED"_s, u"ATTENDED"_s,
                               u"COMPLETED"_s, u"CANCELLED"_s, u"NO SHOW"_s};
    return k;
}
// The recall periods in months that give a due date, and "None".
const QStringList& recallPeriods() {
    static const QStringList k{u"None"_s, u"3"_s, u"6"_s, u"12"_s, u"18"_s, u"24"_s};
    return k;
}
const QStringList& weightUnits() {
    static const QStringList k{u"kg"_s, u"lb"_s, u"st"_s};
    return k;
}

constexpr char16_t kIdentity[] = u"Identity";
constexpr char16_t kAddress[] = u"Address";
constexpr char16_t kContacts[] = u"Contacts";
constexpr char16_t kClinical[] = u"Clinical";
constexpr char16_t kNotes[] = u"Notes";
constexpr char16_t kAppointment[] = u"Appointment";
constexpr char16_t kPatient[] = u"Patient";
constexpr char16_t kRecall[] = u"Recall";
constexpr char16_t kExamination[] = u"Examination";
constexpr char16_t kInsurance[] = u"Insurance";
constexpr char16_t kLine1[] = u"Charge 1";
constexpr char16_t kLine2[] = u"Charge 2";
constexpr char16_t kLine3[] = u"Charge 3";
constexpr char16_t kTotals[] = u"Totals";

const LookRow kPatientLooks[] = {
    {u"Patient ID", u"Patient no.", kIdentity, K::Text, true},
    {u"LastNameTextBox", u"Last name", kIdentity},
    {u"FirstNameTextBox", u"First name", kIdentity},
    {u"MiddleNameTextBox", u"Middle name", kIdentity},
    {u"DateOfBirth", u"Date of birth", kIdentity, K::Date},
    {u"Sex", u"Sex", kIdentity, K::Choice},
    {u"MaritalStatus", u"Marital status", kIdentity, K::Choice},
    {u"NI - ID Number", u"NI / ID number", kIdentity},
    {u"InsuranceNO", u"Insurance no.", kIdentity},
    {u"PolicyNumber", u"Policy no.", kIdentity},
    {u"House Number", u"House no.", kAddress},
    {u"Street 1", u"Street", kAddress},
    {u"Street 2", u"Street (second line)", kAddress},
    {u"CityBox", u"City", kAddress},
    {u"State/Province", u"County / state", kAddress},
    {u"Zip/Postal Code", u"Postcode", kAddress},
    {u"Phone2", u"Home telephone", kContacts},
    {u"Phone1", u"Work telephone", kContacts},
    {u"Phone3", u"Mobile", kContacts},
    {u"Phone4", u"Work fax", kContacts},
    {u"EmailBox", u"Email", kContacts},
    {u"EmergencyContactName", u"Emergency contact", kContacts},
    {u"EmergencyContactPhone", u"Emergency telephone", kContacts},
    {u"EmergencyContactRelation", u"Relationship", kContacts},
    {u"DiabeticYN", u"Diabetic", kClinical, K::Choice},
    {u"Doctor", u"Doctor", kClinical},
    {u"Referred By", u"Referred by", kClinical},
    {u"txtboxAllergicReactions", u"Allergic reactions", kClinical, K::Notes},
    {u"GeneralNotes", u"Notes", kNotes, K::Notes},
};

const LookRow kAppointmentLooks[] = {
    {u"Start", u"Start", kAppointment, K::DateTime},
    {u"End", u"End", kAppointment, K::DateTime},
    {u"ReasonLabel", u"Reason", kAppointment},
    {u"REASON", u"Reason", kAppointment},
    {u"StatusLabel", u"Status", kAppointment},
    {u"Status1", u"Status", kAppointment, K::Choice},
    {u"PScomments", u"Comments", kAppointment, K::Notes},
    {u"sPTID", u"Patient no.", kPatient, K::Text, true},
    {u"LNAME", u"Last name", kPatient},
    {u"FNAME", u"First name", kPatient},
    {u"schDOBMASK", u"Date of birth", kPatient, K::Date},
    {u"TELNUMBER", u"Telephone", kPatient},
    {u"RecallMonths", u"Recall period (months)", kRecall, K::Choice},
    {u"RecallDBFormattedMASK", u"Recall due", kRecall, K::Text, true},
    {u"ExmHTFT", u"Height (feet)", kExamination},
    {u"ExmHTIN", u"Height (inches)", kExamination},
    {u"ExmWeight", u"Weight", kExamination},
    {u"WeightType", u"Weight unit", kExamination, K::Choice},
    {u"ExmStandBP", u"Blood pressure standing", kExamination},
    {u"ExmSitBP", u"Blood pressure seated", kExamination},
    {u"ExmHrtRate", u"Heart rate", kExamination},
    {u"ExmTemp", u"Temperature", kExamination},
    {u"HistOther", u"Other history", kExamination, K::Notes},
    {u"ExmDiag", u"Diagnosis", kExamination, K::Notes},
    {u"ExmTreatment", u"Treatment", kExamination, K::Notes},
    {u"ExmRecommend", u"Recommendation", kExamination, K::Notes},
    {u"ExmConclsn", u"Conclusion", kExamination, K::Notes},
    {u"RXgiven", u"Prescription given", kExamination},
    {u"RXadvice", u"Prescription advice", kExamination},
    {u"NOTEPAGE1", u"Notes", kNotes, K::Notes},
    {u"NOTEPAGE2", u"More notes", kNotes, K::Notes},
    {u"ChrInsurance1", u"Insurer", kInsurance},
    {u"ChrInsurance2", u"Second insurer", kInsurance},
    {u"ChrProvider", u"Provider", kInsurance},
    {u"ChrOther", u"Other", kInsurance},
    {u"ChrCPTcode1", u"Procedure code", kLine1},
    {u"ChrDesc1", u"Description", kLine1},
    {u"ChrAmt1", u"Amount", kLine1},
    {u"ChrPatient1", u"Patient pays", kLine1},
    {u"ChrInsClaim1", u"Insurance claim", kLine1},
    {u"ChrCPTcode2", u"Procedure code", kLine2},
    {u"ChrDesc2", u"Description", kLine2},
    {u"ChrAmt2", u"Amount", kLine2},
    {u"ChrPatient2", u"Patient pays", kLine2},
    {u"ChrInsClaim2", u"Insurance claim", kLine2},
    {u"ChrCPTcode3", u"Procedure code", kLine3},
    {u"ChrDesc3", u"Description", kLine3},
    {u"ChrAmt3", u"Amount", kLine3},
    {u"ChrPatient3", u"Patient pays", kLine3},
    {u"ChrInsClaim3", u"Insurance claim", kLine3},
    {u"TotalCost", u"Total cost", kTotals},
    {u"ClaimTotal", u"Claim total", kTotals},
    {u"Deposit1", u"Deposit", kTotals},
    {u"Balance1", u"Balance", kTotals},
    {u"ReceiptNO", u"Receipt no.", kTotals},
};

QStringList choicesOf(const QString& control) {
    static const QHash<QString, const QStringList*> k{
        {u"Sex"_s, &sexes()},
        {u"DiabeticYN"_s, &yesNo()},
        {u"MaritalStatus"_s, &maritalStatuses()},
        {u"Status1"_s, &visitStatuses()},
        {u"RecallMonths"_s, &recallPeriods()},
        {u"WeightType"_s, &weightUnits()},
    };
    const auto it = k.find(control);
    return it == k.end() ? QStringList() : **it;
}

template <std::size_t N>
ControlLook lookIn(const LookRow (&rows)[N], const QString& control) {
    for (const LookRow& r : rows) {
        if (QStringView(r.control) == control) {
            ControlLook look;
            look.caption = QString::fromUtf16(r.caption);
            look.section = QString::fromUtf16(r.section);
            look.input = r.input;
            look.readOnly = r.readOnly;
            if (r.input == K::Choice) {
                look.choices = choicesOf(control);
            }
            return look;
        }
    }
    return {};
}

}  // namespace

ControlLook controlLook(const QString& page, const QString& control) {
    if (page == records::str(records::kPatientPage)) {
        return lookIn(kPatientLooks, control);
    }
    if (page != records::str(records::kSchedulerPage) &&
        page != records::str(records::kChargesPage)) {
        return {};
    }
    ControlLook look = lookIn(kAppointmentLooks, control);
    // The two labels are the captions of the reason and the status, whose
    // colour tells the user that a value is still missing.
    if (control == records::str(records::kReasonLabel)) {
        look.captionOf = u"REASON"_s;
    } else if (control == records::str(records::kStatusLabel)) {
        look.captionOf = u"Status1"_s;
    }
    return look;
}

}  // namespace orlo::host
