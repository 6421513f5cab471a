#pragma once
// Message boxes on the automation channel as JSON: the answers a command
// queues and the boxes the desk showed. (Item values as JSON are
// platform/core/VariantJson.h.)

#include <QJsonObject>
#include <QJsonValue>

#include "platform/core/Result.h"
#include "platform/ui/MessageBox.h"

namespace orlo::desk {

// "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No" (any case) or the
// answer's number (1..7).
Result<MsgAnswer> answerFromJson(const QJsonValue& value);
// {"title":..., "text":..., "icon":"critical"|..., "buttons":"YesNo"|...}
QJsonObject messageBoxToJson(const MessageBoxRequest& box);

}  // namespace orlo::desk
