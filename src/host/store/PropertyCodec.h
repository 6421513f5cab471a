#pragma once
// PropertyCodec: how a Variant lies in the `type` and `value` columns of a
// property row, so that every kind reads back exactly as written:
//   Empty, Null   NULL (told apart by type)
//   Text          TEXT in UTF-8, or, for text that UTF-8 cannot carry (a lone
//                 surrogate), a BLOB of its UTF-16 code units
//   Integer       INTEGER;  Boolean INTEGER 0/1
//   Double        REAL (NaN, which SQLite turns into NULL, as NULL)
//   Date          TEXT in ISO 8601 with milliseconds and the offset

#include "platform/core/Variant.h"
#include "platform/sqlite/Statement.h"

namespace orlo::host {

class PropertyCodec {
public:
    static void bind(sqlite::Statement& stmt, int typeIndex, int valueIndex, const Variant& value);
    static Variant read(const sqlite::Statement& stmt, int typeColumn, int valueColumn);
};

}  // namespace orlo::host
