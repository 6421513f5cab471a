#pragma once
// ReportData: what a report's detail band reads, row by row (its data
// source). The renderer asks only for the rows of the page it paints, so a
// source may be large: nothing is copied or formatted ahead. A source may
// also still be reading its rows: rowCount() is then the rows read so far,
// and fetchMore() reads on.

#include <QString>
#include <optional>

#include "platform/core/Result.h"

namespace orlo::report {

class ReportData {
public:
    virtual ~ReportData() = default;
    virtual qint64 rowCount() const = 0;
    // The position of a field by name; nothing when the source lacks it.
    virtual std::optional<int> fieldIndex(const QString& name) const = 0;
    // A value as the report shows it. Not const: reading may move a cursor.
    virtual QString text(qint64 row, int field) = 0;
    // Whether every row has been read.
    virtual bool complete() const { return true; }
    // Reads up to `rows` more rows.
    virtual Status fetchMore(qint64 /*rows*/) { return {}; }
};

}  // namespace orlo::report
