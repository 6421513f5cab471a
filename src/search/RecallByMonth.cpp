#include "search/RecallByMonth.h"

#include "common/AddinContext.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Recordset.h"
#include "reports/ReportLoader.h"
#include "reports/ReportSql.h"

namespace orlo::search {

namespace {

// The list's cells: "Middle Initial" has no field in the recall queries
// and stays empty.
const QStringList& recallFields() {
    static const QStringList fields =
        textList({u"PT_ID", u"FLD1", u"FLD2", u"FLD3", u"", u"FLD4", u"FLD5", u"FLD6", u"FLD7",
                  u"FLD8", u"FLD9", u"FLD10", u"FLD11", u"FLD12"});
    return fields;
}

}  // namespace

QStringList recallListCaptions() {
    return textList({u"Patient ID", u"Recall Due Date", u"Last Name", u"First Name",
                     u"Middle Initial", u"Date of Birth", u"House Number", u"Street 1", u"Street 2",
                     u"City", u"State", u"Zip/Postal Code", u"Work Telephone", u"Home Telephone"});
}

QStringList monthNames() {
    return textList({u"January", u"February", u"March", u"April", u"May", u"June", u"July",
                     u"August", u"September", u"October", u"November", u"December"});
}

RecallByMonth::RecallByMonth(SearchServices services, PrintMonth print)
    : SearchForm(services, recallListCaptions(), QString::fromUtf16(kRecallByMonthCaption)),
      m_print(std::move(print)) {
    m_helpErrorTitle = QStringLiteral("Orlo Sofware Error");
}

void RecallByMonth::Form_Load() {
    const int thisYear = m_s.ctx.clock.today().year();
    m_yearText = QString::number(thisYear);
    for (int y = thisYear; y <= kLastRecallYear; ++y) {
        m_years << QString::number(y);
    }
    m_lease = m_s.data.OpenSearchData(SearchNeeds{.recallList = true});
    if (const auto& recalls = m_lease.set().RecallListRecordset) {
        LoadListView(*recalls);
    }
    m_reportYear = m_yearText;
}

void RecallByMonth::LoadListView(data::Recordset& recordset) {
    if (recordset.eof()) {
        showSingleRow({QString::fromUtf16(kNoRecordsItem)});
    } else {
        startFill(recordset, recallFields());
    }
}

void RecallByMonth::cmbYears_Click(const QString& year) {
    m_yearText = year;
    m_reportYear = year;
    // The list and the printed title always name the same month: a month
    // chosen before is looked up again in the new year.
    if (!m_reportMonth.isEmpty()) {
        lstMonths_Click(m_reportMonth);
    }
}

Status RecallByMonth::RecallMonthQuery(const QString& year, const QString& month) {
    // Only numbers go into the statement.
    const auto* connection = m_lease.set().SearchConnection.get();
    if (!reports::isPlainId(year) || !reports::isPlainId(month) || connection == nullptr) {
        return makeError(err::kInvalidProcedureCall,
                         QStringLiteral("No month of a year to look up."), QStringLiteral("Orlo"));
    }
    auto rs = std::make_shared<data::Recordset>();
    if (Status s = rs->open(reports::recallMonthSql(year, month), *m_lease.set().SearchConnection,
                            data::kOpenKeyset, data::kLockOptimistic, data::kCmdUnspecified);
        !s) {
        return s;
    }
    m_month = std::move(rs);
    return okStatus();
}

void RecallByMonth::lstMonths_Click(const QString& month) {
    const qsizetype number = monthNames().indexOf(month);
    if (number < 0) {
        return;
    }
    // Errors are ignored: a month that cannot be read leaves the list as
    // it was.
    finishFill();
    if (!RecallMonthQuery(m_yearText, QString::number(number + 1))) {
        return;
    }
    LoadListView(*m_month);
    m_printEnabled = true;
    m_reportMonth = month;
}

void RecallByMonth::cmdPrint_Click() {
    finishFill();  // the report reads the same rows
    if (m_printEnabled && m_month && m_print) {
        m_print(m_reportMonth, m_reportYear, m_month);
    }
}

void RecallByMonth::cmdRefresh_Click() {
    const auto& recalls = m_lease.set().RecallListRecordset;
    if (!recalls) {
        return;
    }
    ErrorTrap trap = ErrorTrap::resumeNext();
    trap.step([&] { return recalls->clearFilter(); });
    LoadListView(*recalls);
}

}  // namespace orlo::search
