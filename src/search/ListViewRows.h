#pragma once
// ListViewRows: the texts of a report-style list, row by row in the order
// they were added: an item text and its sub-items, all as the user reads
// them. A clinic's patient list is 100,000 rows of 19 texts, so the cells
// live in one text buffer with an end offset per cell rather than as two
// million separate strings.
//
// appendRecords is the fill every search window does: one row per record
// from the recordset's current one to its end, each cell the text of one
// field in the workstation's regional settings (Null as nothing).

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <vector>

#include "platform/core/Result.h"

namespace orlo {
class Locale;
}
namespace orlo::data {
class Recordset;
}

namespace orlo::search {

class ListViewRows {
public:
    explicit ListViewRows(int columns = 0) : m_columns(columns) {}

    int columnCount() const { return m_columns; }
    int rowCount() const { return m_columns == 0 ? 0 : int(m_ends.size()) / m_columns; }
    bool isEmpty() const { return m_ends.empty(); }

    // A row of columnCount() cells; missing cells are empty, extra ones
    // are dropped.
    void appendRow(const QStringList& cells);
    QStringView cell(int row, int column) const;
    // The rows of another list with as many columns, after these.
    void append(const ListViewRows& more);
    void clear();

private:
    friend Result<int> appendRecords(data::Recordset&, const QStringList&, const Locale&,
                                     ListViewRows&, int);
    void appendCell(QStringView text);

    int m_columns = 0;
    QString m_text;
    std::vector<std::uint32_t> m_ends;  // end of each cell in m_text, row by row
};

// One row per record from the current one to the end, or to `maxRows`
// rows (the recordset then stands on the next record); cell i is the field
// named fields[i], or empty for an empty name. The number of rows added; a
// name the recordset lacks fails before any row is added (3265), a move
// that fails keeps the rows added so far.
Result<int> appendRecords(data::Recordset& recordset, const QStringList& fields,
                          const Locale& locale, ListViewRows& rows, int maxRows = -1);

}  // namespace orlo::search
