#pragma once
// Report: one report object as the designer runtime has it: its definition
// (bands, labels, text boxes), which the code that loads it may still
// change (a caption filled at run time), and its data source.

#include <memory>

#include "platform/report/ReportData.h"
#include "platform/report/ReportDefinition.h"

namespace orlo::report {

class Report {
public:
    explicit Report(ReportDefinition definition) : m_definition(std::move(definition)) {}

    ReportDefinition& definition() { return m_definition; }
    const ReportDefinition& definition() const { return m_definition; }

    // DataSource: the report holds it for as long as it lives.
    void setDataSource(std::shared_ptr<ReportData> data) { m_data = std::move(data); }
    const std::shared_ptr<ReportData>& dataSource() const { return m_data; }

private:
    ReportDefinition m_definition;
    std::shared_ptr<ReportData> m_data;
};

}  // namespace orlo::report
