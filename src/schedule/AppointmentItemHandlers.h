#pragma once
// AppointmentItemHandlers: what the add-in does when the tracked appointment
// item (the last appointment opened in an item window) raises its events:
// Open refreshes the form from the shared database, Write saves the visit to
// it, CustomPropertyChange computes the recall due date and colours labels.

#include <QString>

namespace orlo {
struct AddinContext;
}
namespace orlo::host {
class Item;
}

namespace orlo::schedule {

class AppointmentItemHandlers {
public:
    explicit AppointmentItemHandlers(AddinContext& context) : m_ctx(context) {}

    void Open(host::Item& item);
    void Write(host::Item& item);
    void CustomPropertyChange(host::Item& item, const QString& name);

private:
    AddinContext& m_ctx;
};

}  // namespace orlo::schedule
