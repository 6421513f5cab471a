#pragma once
// The data every search window works on: the shared database's connection
// with the patient list, the active patient's appointment history and the
// recalls to come, opened by each window as it loads (OpenSearchData) and
// let go as it unloads (CloseSearchData); and the patient of the contact
// open in the active item window (ActivePatientID).
//
// Every OpenSearchData opens a fresh connection and fresh recordsets, so a
// window shows the rows as they are when it opens; it opens the recordsets
// the window shows (the finder does not read every recall to come). A
// window keeps the set it loaded from for as long as it is open: a window
// opened later, or one closed meanwhile, never changes or closes the rows
// under another (the history keeps its own patient, the finder its own
// filter). The set of the last open is held until the last window lets go.

#include <QString>
#include <memory>

#include "platform/core/Result.h"

namespace orlo {
struct AddinContext;
}
namespace orlo::data {
class Connection;
class Recordset;
}  // namespace orlo::data

namespace orlo::search {

inline constexpr char16_t kPatientListSql[] =
    u"SELECT PT_ID, [LAST NAME], [FIRST NAME], MID_IN, DOB, SEX, NI_NO, INSUR_NO, HOUSENO, "
    u"STREET1, STREET2, CITY, State, ZIP_CODE, WORK_TEL, HOME_TEL, MOBILE, DOCTOR FROM PATIENTS "
    u"ORDER BY [LAST NAME]";
// Followed by the id, kPatientHistorySqlMiddle and the id again.
inline constexpr char16_t kPatientHistorySqlHead[] =
    u"SELECT PATIENTS.*, SCHEDULED.* from PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID = ";
inline constexpr char16_t kPatientHistorySqlMiddle[] = u" AND SCHEDULED.PT_ID = ";
inline constexpr char16_t kRecallListSql[] =
    u"SELECT PATIENTS.PT_ID, SCHEDULED.RECALLDUEDATE AS FLD1 , PATIENTS.[LAST NAME] AS FLD2 , "
    u"PATIENTS.[FIRST NAME] AS FLD3 , PATIENTS.DOB AS FLD4 , PATIENTS.HOUSENO AS FLD5 , "
    u"PATIENTS.STREET1 AS FLD6 , PATIENTS.STREET2 AS FLD7 , PATIENTS.CITY AS FLD8 , "
    u"PATIENTS.STATE AS FLD9 , PATIENTS.ZIP_CODE AS FLD10 , PATIENTS.WORK_TEL AS FLD11 , "
    u"PATIENTS.HOME_TEL AS FLD12 FROM PATIENTS, SCHEDULED WHERE PATIENTS.PT_ID=SCHEDULED.PT_ID "
    u"AND SCHEDULED.RECALLDUEDATE>Now() ORDER BY SCHEDULED.RECALLDUEDATE";

// The title of the box that says the database could not be opened; the
// missing-location box of the same routine has the same title.
inline constexpr char16_t kSearchDataErrorTitle[] = u"Software Error";

// What one OpenSearchData opened. The history is null when no patient was
// known (no contact open, one not saved yet, or an id that is not a number).
struct SearchSet {
    std::shared_ptr<data::Connection> SearchConnection;
    std::shared_ptr<data::Recordset> PatientListRecordset;
    std::shared_ptr<data::Recordset> PatientHistoryRecordset;
    std::shared_ptr<data::Recordset> RecallListRecordset;
};

// The recordsets a window shows.
struct SearchNeeds {
    bool patientList = false;
    bool patientHistory = false;
    bool recallList = false;
};

class SearchData;

// What one window holds from its OpenSearchData to its CloseSearchData
// (or its end): the set it loaded from. Empty when the open failed.
class SearchLease {
public:
    SearchLease() = default;
    ~SearchLease() { CloseSearchData(); }
    SearchLease(SearchLease&& other) noexcept;
    SearchLease& operator=(SearchLease&& other) noexcept;
    SearchLease(const SearchLease&) = delete;
    SearchLease& operator=(const SearchLease&) = delete;

    bool isOpen() const { return m_data != nullptr; }
    const SearchSet& set() const { return m_set; }
    // Lets go of the set; the last window to do so closes the shared one.
    void CloseSearchData();

private:
    friend class SearchData;
    SearchLease(SearchData* data, SearchSet set) : m_data(data), m_set(std::move(set)) {}

    SearchData* m_data = nullptr;
    SearchSet m_set;
};

class SearchData {
public:
    explicit SearchData(AddinContext& ctx) : m_ctx(ctx) {}
    ~SearchData();
    SearchData(const SearchData&) = delete;
    SearchData& operator=(const SearchData&) = delete;

    // Reads "defaultDBlocation" afresh; none set: the critical "Software
    // Error" box of the missing database. A database that cannot be opened
    // (a wrong location, a file that is no database) or a list that cannot
    // be read: the error box under the same title and the connection's
    // errors in the error log. Either way the lease comes back empty and
    // nothing stays open.
    SearchLease OpenSearchData(SearchNeeds needs);
    // The "PatientID" of the contact in the active item window; empty when
    // there is none or anything fails.
    QString ActivePatientID() const;

    // How many windows hold a set.
    int holders() const { return m_holders; }
    // The set of the last open, while any window holds one.
    const SearchSet& current() const { return m_current; }

private:
    friend class SearchLease;
    void release();
    Status openSet(const QString& path, SearchNeeds needs, SearchSet& set) const;

    AddinContext& m_ctx;
    SearchSet m_current;
    int m_holders = 0;
};

// The history's statement for a patient id of plain digits.
QString patientHistorySql(const QString& id);

}  // namespace orlo::search
