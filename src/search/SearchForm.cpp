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
    const int selected = m_list.loadRowOf(m_selected);
    m_list.columnClicked(column);
    m_selected = selected < 0 ? -1 : m_list.listRowOf(selected);
}

void SearchForm::cmdHelp_Click() {
    if (Status s = m_s.help.showTopic(kSearchHelpContext); !s) {
        showErrorBox(m_s.ctx.messageBoxes, m_helpErrorTitle, s.error());
    }
}

Status SearchForm::fill(data::Recordset& recordset, const QStringList& fields) {
    ListViewRows rows = m_list.emptyRows();
    const Status s = appendRecords(recordset, fields, m_s.ctx.locale, rows);
    m_list.setRows(std::move(rows));
    m_selected = -1;
    return s;
}

Result<QString> SearchForm::selectedText(int column, const QString& what) const {
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
