#pragma once
// ListColumn: one column of a folder's item list, as a form definition
// names it: a header and the properties it reads, joined into one text.
// The same rule names an item window by its item ("Okafor, Grace").

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "host/store/StoreFile.h"

namespace orlo {
class Locale;
}

namespace orlo::host {

struct ListColumn {
    enum class Join {
        FirstNonBlank,  // the first property that has a value
        Name,           // "Last, First": the properties that have a value
    };
    QString header;
    QStringList properties;
    Join join = Join::FirstNonBlank;

    QString text(const PropertyMap& values, const Locale& locale) const;
    // The same with the value of the column's i-th property given by
    // valueAt(i), nullptr where the item has none (a row read by position).
    QString text(const std::function<const Variant*(qsizetype)>& valueAt,
                 const Locale& locale) const;
};

// Every property the columns read, without repeats.
QStringList propertiesOf(const std::vector<ListColumn>& columns);

}  // namespace orlo::host
