#pragma once
// Menu commands by caption path: ["&Orlo", "Repor&ts...", "Patient &List
// Report"] walks the popups of a command bar down to one control. Captions
// compare with or without their access-key marks and without case, as the
// command bars' own lookup does.

#include <QJsonArray>
#include <QStringList>
#include <memory>

#include "platform/core/Result.h"

namespace orlo::host {
class CommandBar;
class CommandBarControl;
}  // namespace orlo::host

namespace orlo::desk {

Result<std::shared_ptr<host::CommandBarControl>> controlAt(const host::CommandBar& bar,
                                                           const QStringList& captions);
// The bar's controls as JSON: [{"caption":..., "type":"popup"|"button",
// "tag":..., "enabled":..., "visible":..., "controls":[...]}], in order.
QJsonArray describeControls(const host::CommandBar& bar);

}  // namespace orlo::desk
