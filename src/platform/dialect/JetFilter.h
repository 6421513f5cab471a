#pragma once
// Recordset.Filter texts of the dialect turned into a WHERE condition with
// bound parameters. A filter is one condition: a column (bare or in
// brackets), an operator (LIKE, NOT LIKE, =, <>, <, >, <=, >=) and the value,
// which is everything after the operator and is usually not quoted:
//   [LAST NAME] LIKE *O'Brien Smith*  ->  "LAST NAME" LIKE ? ESCAPE '\'
//                                         with the parameter %O'Brien Smith%
// A value in single quotes ('...', quotes doubled inside) or in #...# is
// unquoted first. "" and "0" mean no filter: an empty condition.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

#include "platform/core/Result.h"

namespace orlo::data {

struct FilterClause {
    QString where;           // empty: no filter
    QStringList parameters;  // bound to the ?s of `where`, in order
};

// `isDateColumn` tells whether the filtered column holds dates: LIKE then
// matches the locale's general date text of the value (jet_datetext), and
// the other operators compare with the value coerced into a date.
using FilterDateColumn = std::function<bool(QStringView column)>;

// An unreadable filter is an Error with number kInvalidFilter.
Result<FilterClause> translateFilter(const QString& filter);
Result<FilterClause> translateFilter(const QString& filter, const FilterDateColumn& isDateColumn);

}  // namespace orlo::data
