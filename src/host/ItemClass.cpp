#include "host/ItemClass.h"

#include <array>
#include <utility>

namespace orlo::host {

int itemClassOf(const QString& messageClass) {
    static constexpr std::array<std::pair<const char16_t*, int>, 8> kBases = {{
        {u"IPM.Appointment", kAppointmentItem},
        {u"IPM.Contact", kContactItem},
        {u"IPM.Document", kDocumentItem},
        {u"IPM.Activity", kJournalItem},
        {u"IPM.Note", kMailItem},
        {u"IPM.Post", kPostItem},
        {u"IPM.Task", kTaskItem},
        {u"IPM.DistList", kDistListItem},
    }};
    for (const auto& [base, cls] : kBases) {
        const QString b = QString::fromUtf16(base);
        // The base itself or a derived class ("IPM.Contact.Patient"), not
        // merely a name that starts alike ("IPM.ContactX").
        if (messageClass.compare(b, Qt::CaseInsensitive) == 0 ||
            (messageClass.startsWith(b, Qt::CaseInsensitive) &&
             messageClass.at(b.size()) == QLatin1Char('.'))) {
            return cls;
        }
    }
    return kMailItem;
}

}  // namespace orlo::host
