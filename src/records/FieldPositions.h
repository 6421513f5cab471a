#pragma once
// Named positions of the patient and appointment values that code handles
// one by one (the field tables in FieldMaps.h hold every value). FieldMaps.cpp
// checks each name against its column at compile time.

namespace orlo::records {

namespace patient {
inline constexpr int kPatientId = 1;
inline constexpr int kLastName = 2;
inline constexpr int kFirstName = 3;
inline constexpr int kDob = 4;
inline constexpr int kCity = 15;
inline constexpr int kWorkTel = 18;
inline constexpr int kHomeTel = 19;
inline constexpr int kMobile = 20;
inline constexpr int kGeneralNote = 29;  // the last value with a control on "General"
inline constexpr int kFirstClinical = 30;
inline constexpr int kNotes2 = 47;  // the last value the item stores as text
inline constexpr int kCreated = 48;
inline constexpr int kLastUpdated = 49;
inline constexpr int kDeleteFlag = 50;
}  // namespace patient

namespace appointment {
inline constexpr int kScheduleId = 0;
inline constexpr int kStart = 1;
inline constexpr int kEnd = 2;
inline constexpr int kLastName = 3;
inline constexpr int kFirstName = 4;
inline constexpr int kReason = 7;
inline constexpr int kStatus = 8;
inline constexpr int kRecallPeriod = 10;
inline constexpr int kRecallDue = 11;
inline constexpr int kCreated = 12;
inline constexpr int kModified = 13;
inline constexpr int kPatientKey = 14;
inline constexpr int kFirstExam = 15;
inline constexpr int kLastExam = 29;
inline constexpr int kFirstCharge = 30;
inline constexpr int kLastCharge = 53;
}  // namespace appointment

}  // namespace orlo::records
