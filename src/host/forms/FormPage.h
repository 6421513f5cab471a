#pragma once
// FormPage: one page of an item's form ("General", "Patient Scheduler",
// "Charges") with its controls by name.

#include <QString>
#include <memory>
#include <vector>

#include "host/forms/FormControl.h"
#include "platform/core/Result.h"

namespace orlo::host {

class FormPage {
public:
    FormPage(QString name, std::vector<std::shared_ptr<FormControl>> controls);

    QString Name() const { return m_name; }
    // The control of that name; error 40006 when the page has none.
    Result<std::shared_ptr<FormControl>> Controls(const QString& name) const;
    const std::vector<std::shared_ptr<FormControl>>& controls() const { return m_controls; }

private:
    QString m_name;
    std::vector<std::shared_ptr<FormControl>> m_controls;
};

}  // namespace orlo::host
