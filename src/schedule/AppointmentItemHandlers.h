#pragma once
// AppointmentItemHandlers: what the add-in does when the tracked appointment
// item (the last appointment opened in an item window) raises its events:
// Open refreshes the form from the shared database and offers to remove an
// item whose row is gone, Write saves the visit to it (insert or update,
// then the peer notice), CustomPropertyChange computes the recall due date
// and colours the reason and status labels.
//
// Open and Write trap their own errors and return normally; a failure in
// CustomPropertyChange ends it without further effect.

#include <QString>
#include <QStringList>

#include "platform/core/Result.h"

namespace orlo {
struct AddinContext;
}
namespace orlo::host {
class Item;
}

namespace orlo::schedule {

inline constexpr char16_t kAppointmentSaveErrorsTitle[] = u"Appointment Save Errors";
inline constexpr char16_t kAppointmentOpenErrorsTitle[] = u"Appointment Open Errors";
// "\r" is a lone carriage return.
inline constexpr char16_t kAppointmentDeletedText[] =
    u"This appointment has been deleted from the database.\r\r"
    u"You can delete this appointment from your Outlook folders by clicking 'Yes'.\r"
    u"However, connected PC's will not be able to view/modify this patient.\r"
    u"To recreate this appointment, you have to recreate it from scratch.\r\r"
    u"Do you want to Delete this appointment from your Outlook Folders?";
// The recordset a new row is added through: the table's columns and no
// rows. Opening the bare table "SCHEDULED" would fetch every appointment
// first (the data layer reads a recordset whole): seconds per save at
// clinic size.
inline constexpr char16_t kNewAppointmentRowSource[] =
    u"Select * from SCHEDULED WHERE SCHEDULE_ID IS NULL";
inline constexpr char16_t kSelectAppointment[] = u"Select * from SCHEDULED WHERE SCHEDULE_ID = ";
// A visit whose start or end is no date and time, or whose recall due date is
// neither a date nor none, is not written: the box names the field.
inline constexpr char16_t kVisitTimeMissingText[] =
    u"The appointment was not saved to the database: \"%1\" must hold the date and time of the "
    u"visit.";
inline constexpr char16_t kRecallDueNotADateText[] =
    u"The appointment was not saved to the database: \"%1\" must hold a date, or \"None\" for no "
    u"recall.";

inline constexpr char16_t kVisitEndsBeforeStartText[] =
    u"The appointment was not saved to the database: its \"End\" is before its \"Start\".";
// Choosing a recall period whose due date would fall after the year 9999.
inline constexpr char16_t kRecallBeyondCalendarText[] =
    u"No recall due date was set: %1 months after the start of this appointment is after the "
    u"year 9999.";

class AppointmentItemHandlers {
public:
    explicit AppointmentItemHandlers(AddinContext& context) : m_ctx(context) {}

    void Open(host::Item& item);
    void Write(host::Item& item);
    void CustomPropertyChange(host::Item& item, const QString& name);

private:
    // The values the row's date columns take, checked before anything is
    // written.
    Status checkDates(const QStringList& values) const;
    // Both return whether the appointment reached the database.
    bool insertAppointment(host::Item& item, QStringList values);
    bool updateAppointment(const QString& scheduleId, QStringList values);
    void colourLabel(host::Item& item, const QString& property, const QString& label);

    AddinContext& m_ctx;
};

}  // namespace orlo::schedule
