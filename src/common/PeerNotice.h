#pragma once
// The one-line notice a save hands to the peer mesh: the kind ("P" for a
// patient, "S" for an appointment), the action (1 new row, 2 changed row),
// then the field values, all joined by commas: "P,1,17,Smith,John,...".
// Values are placed unchanged; the mesh owns the line's transport.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace orlo {

struct AddinContext;

inline constexpr char16_t kPatientNotice[] = u"P";
inline constexpr char16_t kScheduleNotice[] = u"S";
inline constexpr int kNoticeNewRow = 1;
inline constexpr int kNoticeChangedRow = 2;

// `values` starts with the key (value 1 of a patient, the schedule id of an
// appointment).
QString peerNoticeLine(QStringView kind, int action, const QStringList& values);

// Hands the line to the mesh, when one is running.
void sendPeerNotice(AddinContext& ctx, const QString& line);

}  // namespace orlo
