#include "search/PatientHistory.h"

#include "common/AddinContext.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Recordset.h"
#include "search/SearchItems.h"
#include "search/SearchMessages.h"

namespace orlo::search {

QStringList patientHistoryCaptions() {
    return textList({u"Schedule ID", u"Start Time", u"End Time", u"Reason", u"Status", u"Comments",
                     u"Created On", u"Last Updated", u"Schedule ID"});
}

QStringList patientHistoryFields() {
    return textList({u"SCHEDULE_ID", u"START_TIME", u"END_TIME", u"REASON", u"Status",
                     u"PSCOMMENTS", u"CREATED_ON", u"UPDATED_ON", u"SCHEDULE_ID"});
}

PatientHistory::PatientHistory(SearchServices services)
    : SearchForm(services, patientHistoryCaptions(), QString::fromUtf16(kPatientHistoryCaption)) {}

bool PatientHistory::Form_Load() {
    m_lease = m_s.data.OpenSearchData(SearchNeeds{.patientHistory = true});
    if (!m_lease.isOpen()) {
        return false;
    }
    load();
    return true;
}

void PatientHistory::load() {
    data::Recordset* rs = history();
    if (rs == nullptr) {
        m_list.setRows(m_list.emptyRows());
        return;
    }
    ErrorTrap trap = ErrorTrap::resumeNext();
    // Every row names the same patient: the caption takes the last one's
    // names, as the appointment stored them.
    if (!rs->eof()) {
        trap.step([&] { return rs->moveLast(); });
        const Result<Variant> last = rs->field(QStringLiteral("LAST_NAME"));
        const Result<Variant> first = rs->field(QStringLiteral("FIRST_NAME"));
        if (last && first) {
            m_caption = QString::fromUtf16(kPatientHistoryCaptionFor) + last->text(m_s.ctx.locale) +
                        QStringLiteral(", ") + first->text(m_s.ctx.locale);
        }
        trap.step([&] { return rs->moveFirst(); });
    }
    startFill(*rs, patientHistoryFields());
}

Status PatientHistory::openSelected() {
    finishFill();
    data::Recordset* rs = history();
    if (rs == nullptr) {
        return noCurrentRecordError();  // no patient, so no appointments
    }
    if (Status s = rs->moveFirst(); !s) {
        return s;
    }
    if (rs->eof()) {
        return noCurrentRecordError();
    }
    const Result<QString> id = selectedText(kScheduleIdColumn, QStringLiteral("appointment"));
    if (!id) {
        return id.error();
    }
    if (Status s = walkTo(*rs, QStringLiteral("SCHEDULE_ID"), *id, m_s.ctx.locale); !s) {
        return s;
    }
    return FindaAppointment(m_s.ctx, *id);
}

void PatientHistory::cmdEdit_Click() {
    if (Status s = openSelected(); !s) {
        showButtonError(m_s.ctx.messageBoxes, s.error(), NamedErrors{},
                        QString::fromUtf16(kSofwareErrorTitle));
    }
}

void PatientHistory::cmdRefresh_Click() {
    if (data::Recordset* rs = history()) {
        ErrorTrap trap = ErrorTrap::resumeNext();
        trap.step([&] { return rs->clearFilter(); });
        load();
    }
}

}  // namespace orlo::search
