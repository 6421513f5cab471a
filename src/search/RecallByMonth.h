#pragma once
// RecallByMonth: the monthly recall window (frmRecallbyMonth, "Monthly
// Patient Recall Report"). It opens on every recall to come; the user picks
// a year (this year up to 2050) and then a month, sees that month's recalls
// and prints them as the MontlyRecall report, titled with the month and the
// year chosen last.
//
// The window opens even when the search data cannot be opened (the box
// has said why); its list then stays empty.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "search/SearchForm.h"

namespace orlo::search {

inline constexpr char16_t kRecallByMonthCaption[] = u"Monthly Patient Recall Report";
inline constexpr char16_t kNoRecordsItem[] = u"No Records";
inline constexpr int kLastRecallYear = 2050;

QStringList recallListCaptions();
QStringList monthNames();

class RecallByMonth final : public SearchForm {
public:
    // Shows the MontlyRecall report (modal) over the rows handed in.
    using PrintMonth = std::function<void(const QString& month, const QString& year,
                                          std::shared_ptr<data::Recordset> rows)>;
    RecallByMonth(SearchServices services, PrintMonth print);

    void Form_Load();
    // The years offered, and the year shown in the box.
    const QStringList& years() const { return m_years; }
    const QString& yearText() const { return m_yearText; }

    // A year; with a month chosen, that month of the new year is listed.
    void cmbYears_Click(const QString& year);
    // A month by its name, "January" to "December".
    void lstMonths_Click(const QString& month);
    void cmdPrint_Click();
    void cmdRefresh_Click();
    bool printEnabled() const { return m_printEnabled; }

    // The month's rows over the window's connection: year and month must
    // be plain numbers, or nothing is opened.
    Status RecallMonthQuery(const QString& year, const QString& month);

    const QString& RecallReportYear() const { return m_reportYear; }
    const QString& RecallReportMonth() const { return m_reportMonth; }
    const std::shared_ptr<data::Recordset>& RecallMonthRecordset() const { return m_month; }

private:
    // The list from a recordset's current record on; "No Records" alone
    // when it has none.
    void LoadListView(data::Recordset& recordset);

    PrintMonth m_print;
    QStringList m_years;
    QString m_yearText;
    QString m_reportYear;
    QString m_reportMonth;
    std::shared_ptr<data::Recordset> m_month;
    bool m_printEnabled = false;
};

}  // namespace orlo::search
