#pragma once
// What the patient and appointment handlers share: reading an item value as
// text under the handlers' error trap, opening a connection the way every
// item handler does, keys that may stand unquoted in SQL, controls reached
// through the item's inspector, and the error path of a routine that owns a
// connection.

#include <QString>
#include <QStringView>
#include <memory>
#include <optional>
#include <vector>

#include "platform/core/ErrorTrap.h"
#include "platform/core/ProviderError.h"
#include "platform/core/Result.h"
#include "platform/core/Variant.h"

namespace orlo::data {
class Connection;
class Recordset;
}  // namespace orlo::data
namespace orlo::host {
class Item;
class FormControl;
}  // namespace orlo::host

namespace orlo {

struct AddinContext;

// The title of the Open handlers' offer to delete an item whose row is gone.
inline constexpr char16_t kDeleteConfirmationTitle[] = u"Orlo Software - Delete Confirmation";

// The error numbers every item handler passes over: 5 and 40006.
ErrorTrap itemHandlerTrap();

// The value of a user property or built-in field as text (Null and Empty
// give ""); a failure goes to the trap and gives "".
QString propertyText(const host::Item& item, const QString& name, const AddinContext& ctx,
                     ErrorTrap& trap);

// Provider "Microsoft.JET.OLEDB.4.0", the bare database path, no user.
Status openJetConnection(data::Connection& conn, const QString& connectionString);

// A database key as the item holds it: only then may it stand unquoted
// after "= " in SQL. Anything else fails with type mismatch, so that a
// damaged or forged key never becomes part of a statement.
Status checkKeyText(QStringView key);

// page/control of the item's form, through its inspector.
Result<std::shared_ptr<host::FormControl>> inspectorControl(host::Item& item, const QString& page,
                                                            const QString& control);
Status setControlValue(host::Item& item, const QString& page, const QString& control,
                       const Variant& value);

// The Open handlers' read of an item's row: opens `select` + `key` on a new
// connection (keyset, optimistic). When the row is gone the data is closed
// and the user is asked, under "Orlo Software - Delete Confirmation", whether
// to delete the item (`deletedText`; Yes deletes it) and nothing comes back.
// Otherwise the row's table (column, row) comes back with the data closed.
// Failures go to the trap; `rs` and `conn` stay with the caller for its
// error path.
std::optional<std::vector<std::vector<Variant>>> readItemRowOrOfferDelete(
    AddinContext& ctx, ErrorTrap& trap, host::Item& item, data::Connection& conn,
    data::Recordset& rs, const QString& select, const QString& key, const QString& deletedText);

// The error path: the recordset and connection closed if open (a row not
// committed is dropped, so no lock outlasts the routine), then the critical
// box under `title` and the provider errors in the error log (a log that
// cannot be written is passed over: the user has seen the box).
void reportHandlerError(AddinContext& ctx, const Error& error, const QString& title,
                        const ProviderErrors& connectionErrors, data::Recordset* rs,
                        data::Connection* conn);

// The same without icon and title, as the update routines report.
void reportUpdateError(AddinContext& ctx, const Error& error,
                       const ProviderErrors& connectionErrors);

// The one log entry of an error that did not come from the provider (the
// update that found its row gone), in the provider entry's form.
ProviderErrors asProviderErrors(const Error& error);

}  // namespace orlo
