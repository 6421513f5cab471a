#pragma once
// PatientItemHandlers: what the add-in does when the tracked contact item
// (the last contact opened in an item window) raises its events: Open
// refreshes the form from the shared database, Write saves the patient to
// it, BeforeDelete and Close switch the patient save flag.

namespace orlo {
struct AddinContext;
}
namespace orlo::host {
class Item;
}

namespace orlo::patients {

class PatientItemHandlers {
public:
    explicit PatientItemHandlers(AddinContext& context) : m_ctx(context) {}

    void Open(host::Item& item);
    void Write(host::Item& item);
    void BeforeDelete(host::Item& item);
    void Close(host::Item& item);

private:
    AddinContext& m_ctx;
};

}  // namespace orlo::patients
