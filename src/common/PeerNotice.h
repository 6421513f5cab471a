#pragma once
// The one-line notice a save hands to the peer mesh: the kind ("P" for a
// patient, "S" for an appointment), the action (1 new row, 2 changed row),
// then the field values, all joined by commas: "P,1,17,Smith,John,...".
//
// A value holding a comma, a double quote, CR or LF travels between double
// quotes with every inner double quote doubled ("Flat 2, High St" becomes
// "\"Flat 2, High St\""); every other value is placed unchanged, so a line
// of plain values is the plain comma-joined text. The mesh owns the line's
// transport (UTF-8, CR LF after each line).

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace orlo {

struct AddinContext;

inline constexpr char16_t kPatientNotice[] = u"P";
inline constexpr char16_t kScheduleNotice[] = u"S";
inline constexpr int kNoticeNewRow = 1;
inline constexpr int kNoticeChangedRow = 2;

// `values` starts with the key (value 1 of a patient, the schedule id of an
// appointment).
QString peerNoticeLine(QStringView kind, int action, const QStringList& values);

// The fields of a received line (kind, action, values...), quote-aware;
// nothing when a quoted value is not closed or is followed by anything
// but a comma.
std::optional<QStringList> splitPeerNotice(QStringView line);

// Hands the line to the mesh, when one is running.
void sendPeerNotice(AddinContext& ctx, const QString& line);

}  // namespace orlo
