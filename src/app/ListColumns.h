#pragma once
// ListColumns: what the item list shows for a folder. Patients: name, date
// of birth, telephone; appointments: start, end, patient, reason, status;
// other folders: the message class and when the item was last modified.
// Each column reads one or more user properties (by the names of the
// record layouts) and turns their values into one text.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "host/store/StoreFile.h"

namespace orlo {
class Locale;
}

namespace orlo::desk {

struct ListColumn {
    enum class Join {
        FirstNonBlank,  // the first property that has a value
        Name,           // "Last, First" from two properties
    };
    QString header;
    QStringList properties;
    Join join = Join::FirstNonBlank;

    QString text(const host::PropertyMap& values, const Locale& locale) const;
};

// The columns for a folder whose default form has this message class.
std::vector<ListColumn> listColumnsFor(const QString& defaultMessageClass);
// Every property the columns read, without repeats.
QStringList propertiesOf(const std::vector<ListColumn>& columns);

}  // namespace orlo::desk
