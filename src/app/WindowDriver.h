#pragma once
// WindowDriver: what a script does with the named controls of an add-in's
// window, the way a user would: read them, type into a text box, choose in
// a combo box, click a button, select or double-click a row of a list,
// click a column header, and read a list's rows. Controls are named by
// their object names ("Text1", "cmdEdit", "lvwTransactions").
//
//   controls     -> {"caption", "controls": [{name, kind, text, enabled, ...}]}
//   setControl   control, value: a text box's text (as typed), a combo
//                box's item chosen by its text
//   clickControl control: a button (an error when it is disabled)
//   selectRow    control, row (0-based, list order) or text (first cell),
//                doubleClick?: the row clicked or double-clicked
//   clickHeader  control, column: a list's column header clicked
//   rows         control, offset?, limit? (100): {"columns", "rows",
//                "count", "selected"}

#include <QJsonObject>
#include <QString>

#include "platform/core/Result.h"

class QWidget;

namespace orlo::desk {

Result<QJsonObject> driveWindow(QWidget& window, const QString& command, const QJsonObject& c);

}  // namespace orlo::desk
