#include "records/FieldMaps.h"

#include <cassert>
#include <string_view>

#include "records/FieldPositions.h"

namespace orlo::records {

namespace {

constexpr std::array<PatientField, kPatientValueCount> kPatient = {{
    {1, 0, u"PT_ID", u"PatientID", u"Patient ID"},
    {2, 1, u"LAST NAME", u"Last Name", u"LastNameTextBox"},
    {3, 2, u"FIRST NAME", u"First Name", u"FirstNameTextBox"},
    {4, 4, u"DOB", u"DOB", u"DateOfBirth"},
    {5, 3, u"MID_IN", u"Middle Name", u"MiddleNameTextBox"},
    {6, 5, u"SEX", u"Sex", u"Sex"},
    {7, 6, u"DIABETICYN", u"DiabeticYN", u"DiabeticYN"},
    {8, 7, u"MARITAL_STATUS", u"MaritalStatus", u"MaritalStatus"},
    {9, 8, u"ALLERGICREACTIONSTXT", u"txtboxAllergicReactions", u"txtboxAllergicReactions"},
    {10, 9, u"NI_NO", u"NI/ID", u"NI - ID Number"},
    {11, 10, u"INSUR_NO", u"InsuranceNumber", u"InsuranceNO"},
    {12, 11, u"HOUSENO", u"HouseNumber", u"House Number"},
    {13, 12, u"STREET1", u"Street1", u"Street 1"},
    {14, 13, u"STREET2", u"Street2", u"Street 2"},
    {15, 14, u"CITY", u"City1", u"CityBox"},
    {16, 15, u"STATE", u"StateProvince", u"State/Province"},
    {17, 16, u"ZIP_CODE", u"ZipPostal", u"Zip/Postal Code"},
    {18, 17, u"WORK_TEL", u"WorkTel", u"Phone1"},
    {19, 18, u"HOME_TEL", u"HomeTel", u"Phone2"},
    {20, 19, u"MOBILE", u"Mobile1", u"Phone3"},
    {21, 20, u"BUS_FAX", u"WorkFax", u"Phone4"},
    {22, 21, u"EMAIL1", u"Email1", u"EmailBox"},
    {23, 22, u"GEN_POLICY_NO", u"PolicyNumber", u"PolicyNumber"},
    {24, 23, u"DOCTOR", u"Doctor1", u"Doctor"},
    {25, 24, u"REFERREDBY", u"ReferredBy", u"Referred By"},
    {26, 25, u"ECONTACT", u"Ename", u"EmergencyContactName"},
    {27, 26, u"ECONTACT_TEL", u"Ephone", u"EmergencyContactPhone"},
    {28, 27, u"ECONRELATION", u"EType", u"EmergencyContactRelation"},
    {29, 28, u"CTGNOTE", u"Gnote", u"GeneralNotes"},
    {30, 29, u"CLINICAL_HEIGHT", u"HeightFT", nullptr},
    {31, 30, u"CLINICAL_INCHES", u"Inches", nullptr},
    {32, 31, u"CLINICAL_WEIGHT", u"WeightText", nullptr},
    {33, 32, u"CLINICAL_BLOOD", u"BloodType", nullptr},
    {34, 33, u"CLINICAL_SMOKEYESNO", u"SmokeYesNo", nullptr},
    {35, 34, u"CLINICAL_SEXACTIVE", u"SexActive", nullptr},
    {36, 35, u"CLINICAL_MED1", u"MED1", nullptr},
    {37, 36, u"CLINICAL_MED2", u"MED2", nullptr},
    {38, 37, u"CLINICAL_MED3", u"MED3", nullptr},
    {39, 38, u"CLINICAL_MED4", u"MED4", nullptr},
    {40, 39, u"CLINICAL_ALLERGIES1", u"ALLERGIES", nullptr},
    {41, 40, u"CLINICAL_ALLERGIES2", u"FoodAllergies", nullptr},
    {42, 41, u"CLINICAL_DIAGNOSIS", u"CLDiagnosis", nullptr},
    {43, 42, u"CLINICAL_SURGHX", u"SurgHX", nullptr},
    {44, 43, u"CLINICAL_FAMHX", u"FamilyHX", nullptr},
    {45, 44, u"CLINICAL_MEDHX", u"MedicalHX", nullptr},
    {46, 45, u"NOTES_NOTES1", u"NotesPage1", nullptr},
    {47, 46, u"NOTES_NOTES2", u"NotesPage2", nullptr},
    {48, 47, u"CREATED", u"Created", nullptr},
    {49, 48, u"LAST_UPDATED", nullptr, nullptr},
    {50, 49, u"DELETE_FLAG", u"DeleteFlag", nullptr},
}};

constexpr std::array<ScheduleField, kScheduleValueCount + 1> kSchedule = {{
    {0, u"SCHEDULE_ID", u"ScheduleID", nullptr},
    {1, u"START_TIME", u"Start", nullptr},
    {2, u"END_TIME", u"End", nullptr},
    {3, u"LAST_NAME", u"LNAME", nullptr},
    {4, u"FIRST_NAME", u"FNAME", nullptr},
    {5, u"D_O_B", u"schDOBMASK", nullptr},
    {6, u"TEL1", u"TELNUMBER", nullptr},
    {7, u"REASON", u"REASON", nullptr},
    {8, u"STATUS", u"Status1", nullptr},
    {9, u"PSCOMMENTS", u"PScomments", nullptr},
    {10, u"RECALLPERIOD", u"RecallMonths", nullptr},
    {11, u"RECALLDUEDATE", u"RecallDBFormattedMASK", nullptr},
    {12, u"CREATED_ON", u"Created", nullptr},
    {13, u"UPDATED_ON", u"Modified", nullptr},
    {14, u"PT_ID", u"sPTID", nullptr},
    {15, u"EXMHTFT", u"ExmHTFT", nullptr},
    {16, u"EXMHTIN", u"ExmHTIN", nullptr},
    {17, u"EXMWEIGHT", u"ExmWeight", nullptr},
    {18, u"WEIGHTTYPE", u"WeightType", nullptr},
    {19, u"EXMSTANDBP", u"ExmStandBP", nullptr},
    {20, u"EXMSITBP", u"ExmSitBP", nullptr},
    {21, u"EXMHRTRATE", u"ExmHrtRate", nullptr},
    {22, u"EXMTEMP", u"ExmTemp", nullptr},
    {23, u"HISTOTHER", u"HistOther", nullptr},
    {24, u"EXMDIAG", u"ExmDiag", nullptr},
    {25, u"EXMTREATMENT", u"ExmTreatment", nullptr},
    {26, u"EXMRECOMMEND", u"ExmRecommend", nullptr},
    {27, u"EXMCONCLSN", u"ExmConclsn", nullptr},
    {28, u"RXGIVEN", u"RXgiven", nullptr},
    {29, u"RXADVICE", u"RXadvice", nullptr},
    {30, u"CHRINSURANCE1", u"ChrInsurance1", u"ChrInsurance1"},
    {31, u"CHRINSURANCE2", u"ChrInsurance2", u"ChrInsurance2"},
    {32, u"CHRPROVIDER", u"ChrProvider", u"ChrProvider"},
    {33, u"CHROTHER", u"ChrOther", u"ChrOther"},
    {34, u"CHRCPTCODE1", u"ChrCPTcode1", u"ChrCPTcode1"},
    {35, u"CHRCPTCODE2", u"ChrCPTcode2", u"ChrCPTcode2"},
    {36, u"CHRCPTCODE3", u"ChrCPTcode3", u"ChrCPTcode3"},
    {37, u"CHRDESC1", u"ChrDesc1", u"ChrDesc1"},
    {38, u"CHRDESC2", u"ChrDesc2", u"ChrDesc2"},
    {39, u"CHRDESC3", u"ChrDesc3", u"ChrDesc3"},
    {40, u"CHRAMT1", u"ChrAmt1", u"ChrAmt1"},
    {41, u"CHRAMT2", u"ChrAmt2", u"ChrAmt2"},
    {42, u"CHRAMT3", u"ChrAmt3", u"ChrAmt3"},
    {43, u"CHRPATIENT1", u"ChrPatient1", u"ChrPatient1"},
    {44, u"CHRPATIENT2", u"ChrPatient2", u"ChrPatient2"},
    {45, u"CHRPATIENT3", u"ChrPatient3", u"ChrPatient3"},
    {46, u"CHRINSCLAIM1", u"ChrInsClaim1", u"ChrInsClaim1"},
    {47, u"CHRINSCLAIM2", u"ChrInsClaim2", u"ChrInsClaim2"},
    {48, u"CHRINSCLAIM3", u"ChrInsClaim3", u"ChrInsClaim3"},
    {49, u"TOTALCOST", u"TotalCost", u"TotalCost"},
    {50, u"CLAIMTOTAL", u"ClaimTotal", u"ClaimTotal"},
    {51, u"DEPOSIT1", u"Deposit1", u"Deposit1"},
    {52, u"BALANCE1", u"Balance1", u"Balance1"},
    {53, u"RECEIPTNO", u"ReceiptNO", u"ReceiptNO"},
    {54, u"NOTEPAGE1", u"NOTEPAGE1", nullptr},
    {55, u"NOTEPAGE2", u"NOTEPAGE2", nullptr},
}};

// Each named position names the column it stands for.
constexpr bool patientAt(int position, std::u16string_view column) {
    return kPatient[std::size_t(position - 1)].columnName == column;
}
constexpr bool appointmentAt(int position, std::u16string_view column) {
    return kSchedule[std::size_t(position)].columnName == column;
}
static_assert(patientAt(patient::kPatientId, u"PT_ID") &&
              patientAt(patient::kLastName, u"LAST NAME") &&
              patientAt(patient::kFirstName, u"FIRST NAME") && patientAt(patient::kDob, u"DOB") &&
              patientAt(patient::kCity, u"CITY") && patientAt(patient::kWorkTel, u"WORK_TEL") &&
              patientAt(patient::kHomeTel, u"HOME_TEL") && patientAt(patient::kMobile, u"MOBILE") &&
              patientAt(patient::kGeneralNote, u"CTGNOTE") &&
              patientAt(patient::kFirstClinical, u"CLINICAL_HEIGHT") &&
              patientAt(patient::kNotes2, u"NOTES_NOTES2") &&
              patientAt(patient::kCreated, u"CREATED") &&
              patientAt(patient::kLastUpdated, u"LAST_UPDATED") &&
              patientAt(patient::kDeleteFlag, u"DELETE_FLAG"));
static_assert(appointmentAt(appointment::kScheduleId, u"SCHEDULE_ID") &&
              appointmentAt(appointment::kStart, u"START_TIME") &&
              appointmentAt(appointment::kEnd, u"END_TIME") &&
              appointmentAt(appointment::kLastName, u"LAST_NAME") &&
              appointmentAt(appointment::kFirstName, u"FIRST_NAME") &&
              appointmentAt(appointment::kReason, u"REASON") &&
              appointmentAt(appointment::kStatus, u"STATUS") &&
              appointmentAt(appointment::kRecallPeriod, u"RECALLPERIOD") &&
              appointmentAt(appointment::kRecallDue, u"RECALLDUEDATE") &&
              appointmentAt(appointment::kCreated, u"CREATED_ON") &&
              appointmentAt(appointment::kModified, u"UPDATED_ON") &&
              appointmentAt(appointment::kPatientKey, u"PT_ID") &&
              appointmentAt(appointment::kFirstExam, u"EXMHTFT") &&
              appointmentAt(appointment::kLastExam, u"RXADVICE") &&
              appointmentAt(appointment::kFirstCharge, u"CHRINSURANCE1") &&
              appointmentAt(appointment::kLastCharge, u"RECEIPTNO"));

}  // namespace

const std::array<PatientField, kPatientValueCount>& patientFields() {
    return kPatient;
}

const std::array<ScheduleField, kScheduleValueCount + 1>& scheduleFields() {
    return kSchedule;
}

const PatientField& patientField(int position) {
    assert(position >= 1 && position <= kPatientValueCount);
    return kPatient[static_cast<std::size_t>(position - 1)];
}

QString patientProperty(int position) {
    return str(patientField(position).property);
}

QString scheduleProperty(int position) {
    return str(scheduleField(position).property);
}

const ScheduleField& scheduleField(int position) {
    assert(position >= 0 && position <= kScheduleValueCount);
    return kSchedule[static_cast<std::size_t>(position)];
}

const PatientField& patientFieldAtColumn(int column) {
    for (const PatientField& f : kPatient) {
        if (f.column == column) {
            return f;
        }
    }
    assert(false && "no patient value at that column");
    return kPatient[0];
}

std::optional<int> patientPositionOfProperty(QStringView property) {
    for (const PatientField& f : kPatient) {
        if (f.property != nullptr && QStringView(f.property) == property) {
            return f.position;
        }
    }
    return std::nullopt;
}

std::optional<int> schedulePositionOfProperty(QStringView property) {
    for (const ScheduleField& f : kSchedule) {
        if (QStringView(f.property) == property) {
            return f.position;
        }
    }
    return std::nullopt;
}

}  // namespace orlo::records
