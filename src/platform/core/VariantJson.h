#pragma once
// Values as JSON, both ways: what `orlo store dump` prints and what the
// desk's automation channel reads and writes. Texts, integers, finite
// doubles, Booleans and Null are themselves; the kinds JSON lacks are
// tagged objects: {"date":"2026-03-05T14:30:00"} (ISO 8601, a wall-clock
// time without a zone), {"empty":true} and {"double":"nan"|"inf"|"-inf"}.

#include <QJsonValue>

#include "platform/core/Result.h"
#include "platform/core/Variant.h"

namespace orlo {

QJsonValue variantToJson(const Variant& value);
// Reads back what variantToJson writes; whole numbers become integers. A
// JSON value that names no Variant (an array, an object without a known
// tag, a date that does not parse) is a type mismatch (error 13).
Result<Variant> jsonToVariant(const QJsonValue& value);

}  // namespace orlo
