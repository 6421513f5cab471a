#include "search/ListViewRows.h"

#include "platform/core/Locale.h"
#include "platform/data/Recordset.h"

namespace orlo::search {

namespace {
constexpr int kBlankCell = -2;
}

void ListViewRows::appendCell(QStringView text) {
    m_text.append(text);
    m_ends.push_back(std::uint32_t(m_text.size()));
}

void ListViewRows::appendRow(const QStringList& cells) {
    for (int c = 0; c < m_columns; ++c) {
        appendCell(c < cells.size() ? QStringView(cells[c]) : QStringView());
    }
}

QStringView ListViewRows::cell(int row, int column) const {
    const std::size_t i = std::size_t(row) * std::size_t(m_columns) + std::size_t(column);
    const std::uint32_t begin = i == 0 ? 0 : m_ends[i - 1];
    return QStringView(m_text).mid(begin, m_ends[i] - begin);
}

void ListViewRows::clear() {
    m_text.clear();
    m_ends.clear();
}

void ListViewRows::append(const ListViewRows& more) {
    Q_ASSERT(more.m_columns == m_columns);
    const auto base = std::uint32_t(m_text.size());
    m_text.append(more.m_text);
    m_ends.reserve(m_ends.size() + more.m_ends.size());
    for (const std::uint32_t end : more.m_ends) {
        m_ends.push_back(base + end);
    }
}

Result<int> appendRecords(data::Recordset& recordset, const QStringList& fields,
                          const Locale& locale, ListViewRows& rows, int maxRows) {
    Q_ASSERT(fields.size() == rows.columnCount());
    // Field positions once, not a lookup by name per cell; a name found only
    // by the recordset's own rules ("TABLE.COLUMN") is looked up by name.
    std::vector<int> positions;
    for (const QString& name : fields) {
        if (name.isEmpty()) {
            positions.push_back(kBlankCell);
            continue;
        }
        int found = -1;
        for (int i = 0; i < recordset.fieldCount() && found < 0; ++i) {
            const Result<QString> n = recordset.fieldName(i);
            if (n && n->compare(name, Qt::CaseInsensitive) == 0) {
                found = i;
            }
        }
        if (found < 0 && !recordset.eof()) {
            if (const Result<Variant> missing = recordset.field(name); !missing) {
                return missing.error();
            }
        }
        positions.push_back(found);
    }
    // A list ordered by a date shows the same date row after row: its text
    // is made once.
    struct LastDate {
        QDateTime value;
        QString text;
    };
    std::vector<LastDate> lastDates(positions.size());
    int added = 0;
    while (!recordset.eof() && (maxRows < 0 || added < maxRows)) {
        for (std::size_t c = 0; c < positions.size(); ++c) {
            const int p = positions[c];
            if (p == kBlankCell) {
                rows.appendCell(QStringView());
                continue;
            }
            const Result<Variant> v =
                p >= 0 ? recordset.field(p) : recordset.field(fields[qsizetype(c)]);
            if (!v) {
                rows.appendCell(QStringView());
            } else if (const QDateTime* date = v->asDate()) {
                LastDate& last = lastDates[c];
                if (last.text.isNull() || last.value != *date) {
                    last = {*date, v->text(locale)};
                }
                rows.appendCell(last.text);
            } else {
                rows.appendCell(v->text(locale));
            }
        }
        ++added;
        if (Status s = recordset.moveNext(); !s) {
            return s.error();
        }
    }
    return added;
}

}  // namespace orlo::search
