#include "search/PatientFinder.h"

#include "common/AddinContext.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Recordset.h"
#include "platform/ui/MessageBox.h"
#include "search/SearchItems.h"
#include "search/SearchMessages.h"

namespace orlo::search {

namespace {

struct SearchChoice {
    const char16_t* choice;
    const char16_t* column;
};

constexpr SearchChoice kSearchChoices[] = {
    {u"Last Name", u"[LAST NAME]"},
    {u"First Name", u"[FIRST NAME]"},
    {u"Date of Birth", u"[DOB]"},
    {u"Insurance Number", u"[INSUR_NO]"},
    {u"City", u"[CITY]"},
    {u"State/Province", u"[STATE]"},
    {u"Zip/Postal Code", u"[ZIP_CODE]"},
    {u"Home Telephone", u"[HOME_TEL]"},
    {u"Work Telephone", u"[WORK_TEL]"},
    {u"Doctor", u"[DOCTOR]"},
};

Error closedError() {
    return makeError(err::kOperationNotAllowed,
                     QStringLiteral("Operation is not allowed when the object is closed."),
                     QStringLiteral("Orlo"));
}

}  // namespace

QStringList patientListCaptions() {
    return textList({u"Patient ID", u"Last Name", u"First Name", u"Middle Initial",
                     u"Date of Birth", u"Sex", u"NI Number", u"Insurance Number", u"House Number",
                     u"Street 1", u"Street 2", u"City", u"State", u"Zip/Postal Code",
                     u"Work Telephone", u"Home Telephone", u"Mobile", u"Doctor", u"PTID"});
}

QStringList patientListFields() {
    return textList({u"PT_ID", u"LAST NAME", u"FIRST NAME", u"MID_IN", u"DOB", u"SEX", u"NI_NO",
                     u"INSUR_NO", u"HOUSENO", u"STREET1", u"STREET2", u"CITY", u"State",
                     u"ZIP_CODE", u"WORK_TEL", u"HOME_TEL", u"MOBILE", u"DOCTOR", u"PT_ID"});
}

QStringList searchByChoices() {
    QStringList out;
    for (const SearchChoice& c : kSearchChoices) {
        out << QString::fromUtf16(c.choice);
    }
    return out;
}

QString searchByColumn(const QString& choice) {
    for (const SearchChoice& c : kSearchChoices) {
        if (choice == QStringView(c.choice)) {
            return QString::fromUtf16(c.column);
        }
    }
    return {};
}

PatientFinder::PatientFinder(SearchServices services, Kind kind)
    : SearchForm(services, patientListCaptions(),
                 QString::fromUtf16(kind == Kind::Finder ? kPatientSearchCaption
                                                         : kPatientSelectorCaption)),
      m_kind(kind),
      m_searchBy(QString::fromUtf16(kSearchChoices[0].choice)) {}

bool PatientFinder::Form_Load() {
    m_lease = m_s.data.OpenSearchData(SearchNeeds{.patientList = true});
    if (!m_lease.isOpen()) {
        return false;
    }
    // The recordset stands on its first record after opening.
    startFill(*patients(), patientListFields());
    return true;
}

QString PatientFinder::filter() const {
    return patients() ? patients()->filter() : QString();
}

void PatientFinder::Text1_Change(const QString& text) {
    m_searchText = text;
    finishFill();
    if (m_list.rowCount() == 0) {
        return;
    }
    if (const std::optional<int> row = m_list.findRow(text)) {
        m_selected = *row;
    }
}

void PatientFinder::reload(ErrorTrap& trap) {
    data::Recordset* rs = patients();
    if (rs == nullptr) {
        return;
    }
    if (!rs->bof()) {
        trap.step([&] { return rs->moveFirst(); });
    }
    startFill(*rs, patientListFields());
}

void PatientFinder::Search1_Click() {
    ErrorTrap trap = ErrorTrap::resumeNext();
    data::Recordset* rs = patients();
    if (m_searchText.isEmpty()) {
        m_s.ctx.messageBoxes.show(QString::fromUtf16(kEmptySearchText), MsgButtons::OK,
                                  MsgIcon::Exclamation, QString::fromUtf16(kOrloSoftwareTitle));
        return;
    }
    const QString column = searchByColumn(m_searchBy);
    if (rs == nullptr || column.isEmpty()) {
        return;
    }
    // The filter applies to the whole query, also after a search that found
    // nothing, and runs it again at once; a text the filter cannot take
    // leaves the previous filter in force.
    trap.step([&] {
        return rs->setFilter(column + QStringLiteral(" LIKE *") + m_searchText +
                             QStringLiteral("*"));
    });
    reload(trap);
}

void PatientFinder::cmdRefresh_Click() {
    ErrorTrap trap = ErrorTrap::resumeNext();
    if (data::Recordset* rs = patients()) {
        // Clearing the filter reads every patient again.
        trap.step([&] { return rs->clearFilter(); });
        reload(trap);
    }
}

void PatientFinder::cmdAdd_Click() {
    if (Status s = addPatientContact(m_s.ctx); !s) {
        showErrorBox(m_s.ctx.messageBoxes, genericErrorTitle(), s.error());
    }
}

Status PatientFinder::walkToSelected() {
    finishFill();
    data::Recordset* rs = patients();
    if (rs == nullptr) {
        return closedError();
    }
    if (Status s = rs->moveFirst(); !s) {
        return s;
    }
    if (rs->eof()) {
        return noCurrentRecordError();
    }
    const Result<QString> id = selectedText(kPatientIdColumn, QStringLiteral("patient"));
    if (!id) {
        return id.error();
    }
    return walkTo(*rs, QStringLiteral("PT_ID"), *id, m_s.ctx.locale);
}

QString PatientFinder::genericErrorTitle() const {
    return QString::fromUtf16(m_kind == Kind::Finder ? kSofwareErrorTitle : kSoftwareErrorTitle);
}

void PatientFinder::cmdEdit_Click() {
    Status s = walkToSelected();
    if (s) {
        const Result<Variant> id = patients()->field(QStringLiteral("PT_ID"));
        s = id ? FindaContact(m_s.ctx, id->text(m_s.ctx.locale)) : Status(id.error());
    }
    if (!s) {
        showButtonError(m_s.ctx.messageBoxes, s.error(), NamedErrors{}, genericErrorTitle());
    }
}

void PatientFinder::cmdDelete_Click() {
    const MsgAnswer answer =
        m_s.ctx.messageBoxes.show(QString::fromUtf16(kConfirmDeleteText), MsgButtons::YesNo,
                                  MsgIcon::Exclamation, QString::fromUtf16(kConfirmDeleteTitle));
    if (answer != MsgAnswer::Yes) {
        return;
    }
    Status s = walkToSelected();
    if (s) {
        // The patient's row goes from the shared database; the contact and
        // the other workstations are not touched.
        s = patients()->deleteCurrent();
    }
    if (!s) {
        showButtonError(m_s.ctx.messageBoxes, s.error(),
                        NamedErrors{.noRecords = true, .appointments = true, .shutdown = true},
                        QString::fromUtf16(kSoftwareErrorTitle));
        return;
    }
    cmdRefresh_Click();
    m_s.ctx.messageBoxes.show(QString::fromUtf16(kDeletedText), MsgButtons::OK,
                              MsgIcon::Information, QString::fromUtf16(kOrloSoftwareTitle));
}

}  // namespace orlo::search
