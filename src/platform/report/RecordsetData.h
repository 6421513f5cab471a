#pragma once
// RecordsetData: a recordset as a report's data source. The report keeps
// the recordset (and with it the connection's session) alive for as long as
// it is shown, reads values through the recordset's own cursor, and shows
// each value as its text in the workstation's locale (dates as general
// dates, Null as nothing). The rows are those the recordset has read so
// far: a static cursor opens with its first rows and reads on when asked.

#include <memory>
#include <vector>

#include "platform/core/Locale.h"
#include "platform/report/ReportData.h"

namespace orlo::data {
class Recordset;
}

namespace orlo::report {

class RecordsetData final : public ReportData {
public:
    RecordsetData(std::shared_ptr<data::Recordset> recordset, Locale locale);

    qint64 rowCount() const override;
    std::optional<int> fieldIndex(const QString& name) const override;
    QString text(qint64 row, int field) override;
    bool complete() const override;
    Status fetchMore(qint64 rows) override;

    const std::shared_ptr<data::Recordset>& recordset() const { return m_recordset; }

private:
    // Brings the cursor to `row` the shortest way: from the current row, the
    // first or (once every row is read) the last.
    bool seek(qint64 row);

    std::shared_ptr<data::Recordset> m_recordset;
    Locale m_locale;
    bool m_usable = false;  // open, and on its first row
    qint64 m_pos = 0;
    std::vector<QString> m_names;
};

}  // namespace orlo::report
