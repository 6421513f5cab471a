#pragma once
// Moving values between SQLite and the variant a field shows: what a column
// stores for an assigned value (dates canonically, numbers as numbers, text
// as text) and binding and reading those stored values. Internal.

#include <QString>

#include "platform/core/Result.h"
#include "platform/core/Variant.h"
#include "platform/sqlite/Statement.h"

#include <optional>

namespace orlo {
class Locale;
}

namespace orlo::data::detail {

enum class Affinity { None, Integer, Real, Numeric, Text };

// SQLite's affinity rules applied to a declared type ("" for expressions).
Affinity affinityOf(const QString& declType);

// Binds a stored value (Null, Integer, Double or Text).
void bindStored(sqlite::Statement& stmt, int index, const Variant& stored);

// A stored value as a server parameter's text (nullopt for Null).
std::optional<QString> serverText(const Variant& stored);

// A server row's address ("(block,offset)") packed into a rowid, and back.
qint64 rowidOfCtid(const QString& ctid);
QString ctidOfRowid(qint64 rowid);

// What a column stores when `value` is assigned to it. Empty and Null store
// Null; a date column takes a date or a date text (type mismatch otherwise);
// a numeric column a number or numeric text; a text column any value's text.
Result<Variant> toStored(const Variant& value, bool isDate, Affinity affinity,
                         const Locale& locale);

}  // namespace orlo::data::detail
