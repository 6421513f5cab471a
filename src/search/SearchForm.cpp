#include "search/SearchForm.h"

#include "common/AddinContext.h"
#include "platform/data/Recordset.h"
#include "platform/ui/HelpService.h"
#include "search/SearchMessages.h"

namespace orlo::search {

QStringList textList(std::initializer_list<const char16_t*> texts) {
    QStringList out;
    for (const char16_t* t : texts) {
        out << QString::fromUtf16(t);
    }
    return out;
}

SearchForm::SearchForm(SearchServices services, QStringList captions, QString caption)
    : m_s(services),
      m_list(std::move(captions)),
      m_caption(std::move(caption)),
      m_helpErrorTitle(QString::fromUtf16(kSoftwareErrorTitle)) {}

void SearchForm::setSelectedRow(int row) {
    m_selected = row >= 0 && row < m_list.rowCount() ? row : -1;
}

void SearchForm::lvwTransactions_ColumnClick(int column) {
    finishFill();
    const int selected = m_list.loadRowOf(m_selected);
    m_list.columnClicked(column);
    m_selected = selected < 0 ? -1 : m_list.listRowOf(selected);
}

void SearchForm::cmdHelp_Click() {
    if (Status s = m_s.help.showTopic(kSearchHelpContext); !s) {
        showErrorBox(m_s.ctx.messageBoxes, m_helpErrorTitle, s.error());
    }
}

void SearchForm::Form_Unload() {
    m_filling = nullptr;
    m_lease.CloseSearchData();
}

void SearchForm::setFillSteps(int first, int step) {
    m_firstRows = std::max(first, 0);
    m_stepRows = std::max(step, 1);
}

void SearchForm::startFill(data::Recordset& recordset, const QStringList& fields) {
    m_filling = nullptr;
    m_selected = -1;
    const bool inSteps = m_firstRows > 0 && m_list.sortColumn() < 0;
    ListViewRows rows = m_list.emptyRows();
    const Result<int> added =
        appendRecords(recordset, fields, m_s.ctx.locale, rows, inSteps ? m_firstRows : -1);
    m_list.setRows(std::move(rows));
    if (inSteps && added && !recordset.eof()) {
        m_filling = &recordset;
        m_fillFields = fields;
    }
}

void SearchForm::loadMore() {
    if (m_filling == nullptr) {
        return;
    }
    ListViewRows rows = m_list.emptyRows();
    const Result<int> added = appendRecords(*m_filling, m_fillFields, m_s.ctx.locale, rows,
                                            m_stepRows > 0 ? m_stepRows : -1);
    m_list.appendRows(rows);
    if (!added || m_filling->eof()) {
        m_filling = nullptr;
    }
}

void SearchForm::finishFill() {
    const int step = m_stepRows;
    m_stepRows = 0;  // the rest at once
    loadMore();
    m_stepRows = step;
}

void SearchForm::showSingleRow(const QStringList& cells) {
    m_filling = nullptr;
    m_selected = -1;
    ListViewRows rows = m_list.emptyRows();
    rows.appendRow(cells);
    m_list.setRows(std::move(rows));
}

Result<QString> SearchForm::selectedText(int column, const QString& what) const {
    Q_ASSERT(m_filling == nullptr);
    if (m_selected < 0 || m_selected >= m_list.rowCount()) {
        return noSelectionError(what);
    }
    return m_list.text(m_selected, column).toString();
}

Status SearchForm::walkTo(data::Recordset& recordset, const QString& keyField, const QString& key,
                          const Locale& locale) {
    if (Status s = recordset.moveFirst(); !s) {
        return s;
    }
    while (!recordset.eof()) {
        const Result<Variant> v = recordset.field(keyField);
        if (!v) {
            return v.error();
        }
        if (v->text(locale) == key) {
            return okStatus();
        }
        if (Status s = recordset.moveNext(); !s) {
            return s;
        }
    }
    return noCurrentRecordError();
}

}  // namespace orlo::search
