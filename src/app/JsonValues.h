#pragma once
// Values of the automation channel as JSON: item property values, message
// box answers and the boxes shown. A property value is a JSON text, number,
// Boolean or null, or {"date":"2026-03-05T14:30:00"} for a date (what
// `orlo store dump` prints, read back the same way).

#include <QJsonObject>
#include <QJsonValue>

#include "platform/core/Result.h"
#include "platform/core/Variant.h"
#include "platform/ui/MessageBox.h"

namespace orlo::desk {

Result<Variant> jsonToVariant(const QJsonValue& value);
QJsonValue variantToJson(const Variant& value);
// "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No" (any case) or the
// answer's number (1..7).
Result<MsgAnswer> answerFromJson(const QJsonValue& value);
// {"title":..., "text":..., "icon":"critical"|..., "buttons":"YesNo"|...}
QJsonObject messageBoxToJson(const MessageBoxRequest& box);

}  // namespace orlo::desk
