#pragma once
// The mark of an item whose last save did not reach the shared database.
// The desk keeps such an item as typed; until a later save of the user's
// succeeds, nothing read from the database (the item's Open, a peer's
// notice) may overwrite it, or the typed values would be lost everywhere.
//
// The mark is a user property that no form shows; it is stored with the
// item, so it outlives a restart of the desk.

#include <QString>

#include "platform/core/Result.h"

namespace orlo::host {
class Item;
}

namespace orlo {

struct AddinContext;

inline constexpr char16_t kPendingSaveProperty[] = u"OrloSavePending";
inline constexpr char16_t kPendingSaveValue[] = u"YES";
inline constexpr char16_t kPendingSaveTitle[] = u"Orlo Software - Changes Not Saved";

// Whether the item carries the mark.
bool hasPendingSave(const host::Item& item);
// Sets or clears the mark. Clearing an item that never had it changes
// nothing, so a save that went through leaves no trace on the item.
Status setPendingSave(host::Item& item, bool pending);
// What the Open handlers do for a marked item instead of reading its row:
// tell the user that `what` ("patient", "appointment") has changes the
// shared database does not hold yet.
void reportPendingSaveOnOpen(AddinContext& ctx, const QString& what);
// The failure a fill from the database gives for a marked item; `what`
// names it in the log ("patient 12").
Error pendingSaveRefusal(const QString& what);

}  // namespace orlo
