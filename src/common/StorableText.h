#pragma once
// Values as they may reach a statement, a peer line and the item store.
// A NUL ends a statement's text early (every later update of the record
// would fail) and other control characters would reach the clinic's
// terminals and files raw, so they are removed; tab, CR and LF stay. A lone
// surrogate has no UTF-8 form and would be stored as "?": it becomes U+FFFD,
// so that the database, the item and the peers hold the same text.

#include <QString>
#include <QStringList>
#include <functional>

namespace orlo::host {
class Item;
}

namespace orlo {

struct AddinContext;

QString storableText(const QString& text);

// Makes values[p - offset] storable for p from `first` to `last`. The
// item's property of each changed value (propertyOf(p)) takes the storable
// text with the same save, and the error log names those properties, never
// their values.
void makeValuesStorable(AddinContext& ctx, host::Item& item, QStringList& values, int first,
                        int last, int offset, const std::function<QString(int)>& propertyOf);

}  // namespace orlo
