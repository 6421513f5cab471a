#pragma once
// PatientItemHandlers: what the add-in does when the tracked contact item
// (the last contact opened in an item window) raises its events: Open
// refreshes the form from the shared database and offers to remove an item
// whose row is gone, Write saves the patient to it (insert or update, then
// the peer notice), BeforeDelete and Close switch the patient save flag.
//
// BeforeDelete switches the save off for the length of one deletion, so
// that a save raised while the contact is being deleted does not write it
// back; the save is switched on again as soon as the deletion is over,
// however it ended (DeletionEnded, or the next handler that runs for
// another item or for the deleted one's window).
//
// Every handler traps its own errors and returns normally.

#include <QString>
#include <QStringList>
#include <memory>

namespace orlo {
struct AddinContext;
}
namespace orlo::host {
class Item;
}

namespace orlo::patients {

inline constexpr char16_t kPatientSaveErrorsTitle[] = u"Patient Save Errors";
inline constexpr char16_t kPatientExistsErrorTitle[] = u"Patient DB Exists Error";
inline constexpr char16_t kPatientOpenErrorsTitle[] = u"Patient Open Errors";
// "\r" is a lone carriage return.
inline constexpr char16_t kPatientDeletedText[] =
    u"This patient has been deleted from the database.\r\r"
    u"You can delete this patient from your Outlook folders by clicking 'Yes'.\r"
    u"However, connected PC's will not be able to view/modify this patient.\r"
    u"To recreate this patient, you have to recreate it from scratch.\r\r"
    u"Do you want to Delete this patient from your Outlook Folders?";
// The recordset a new row is added through: the table's columns and no
// rows. Opening the bare table "PATIENTS" would fetch every patient first
// (the data layer reads a recordset whole), which at clinic size makes one
// save take most of a second.
inline constexpr char16_t kNewPatientRowSource[] = u"Select * from PATIENTS WHERE PT_ID IS NULL";
inline constexpr char16_t kSelectPatient[] = u"Select * from PATIENTS WHERE PT_ID = ";
inline constexpr char16_t kDuplicateCheckSql[] =
    u"Select [PT_ID],[LAST NAME],[FIRST NAME],[DOB] from PATIENTS WHERE [LAST NAME] = ";
inline constexpr char16_t kDuplicateCheckFirst[] = u" AND [FIRST NAME] = ";
inline constexpr char16_t kDuplicateCheckDob[] = u" AND [DOB] = ";
inline constexpr char16_t kDeleteFlagNo[] = u"NO";

// The duplicate check's query for the three texts.
QString duplicateCheckQuery(const QString& lastName, const QString& firstName, const QString& dob);

class PatientItemHandlers {
public:
    explicit PatientItemHandlers(AddinContext& context) : m_ctx(context) {}

    void Open(host::Item& item);
    void Write(host::Item& item);
    void BeforeDelete(host::Item& item);
    void Close(host::Item& item);
    // A deletion under way is over (its item's window closed, or the code
    // that deleted it got control back): the save is switched on again.
    void DeletionEnded();

    // Looks for a row with the three values; sets PatientFound and
    // FoundPatientID (cleared first, so a failed check never leaves the
    // answer of an earlier save behind). False when the check failed (it
    // has reported why): the save then ends.
    bool PatientDuplicateCheck(const QString& connectionString, const QString& lastName,
                               const QString& firstName, const QString& dob);

    bool PatientFound = false;
    QString FoundPatientID;

private:
    // Both return whether the patient reached the database.
    bool insertPatient(host::Item& item, QStringList values);
    bool updatePatient(host::Item& item, QStringList values, const QString& modified);

    AddinContext& m_ctx;
    // The contact whose deletion switched the save off, while that lasts.
    std::weak_ptr<host::Item> m_deleting;
    bool m_deletionUnderWay = false;
};

}  // namespace orlo::patients
