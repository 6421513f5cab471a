#include "platform/report/RecordsetData.h"

#include <cstdlib>

#include "platform/data/Recordset.h"

namespace orlo::report {

RecordsetData::RecordsetData(std::shared_ptr<data::Recordset> recordset, Locale locale)
    : m_recordset(std::move(recordset)), m_locale(std::move(locale)) {
    if (!m_recordset || m_recordset->state() != data::kStateOpen) {
        return;
    }
    for (int i = 0; i < m_recordset->fieldCount(); ++i) {
        m_names.push_back(m_recordset->fieldName(i).valueOr(QString()));
    }
    m_usable = m_recordset->eof() || m_recordset->moveFirst().ok();
}

qint64 RecordsetData::rowCount() const {
    return m_usable ? m_recordset->fetchedCount() : 0;
}

bool RecordsetData::complete() const {
    return !m_usable || m_recordset->fetchComplete();
}

Status RecordsetData::fetchMore(qint64 rows) {
    return m_usable ? m_recordset->fetchMore(rows) : Status{};
}

std::optional<int> RecordsetData::fieldIndex(const QString& name) const {
    // The recordset decides whether the name is one of its fields (a
    // "TABLE.COLUMN" name also finds a column of that table that occurs
    // once, under its own name); the position is then the name's, or the
    // bare column's.
    if (!m_recordset || !m_recordset->field(name).ok()) {
        return std::nullopt;
    }
    const QString bare = name.mid(name.lastIndexOf(QLatin1Char('.')) + 1);
    std::optional<int> bareAt;
    for (int i = 0; i < int(m_names.size()); ++i) {
        if (m_names[std::size_t(i)].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
        if (m_names[std::size_t(i)].compare(bare, Qt::CaseInsensitive) == 0) {
            bareAt = i;
        }
    }
    return bareAt;
}

bool RecordsetData::seek(qint64 row) {
    if (row == m_pos) {
        return true;
    }
    const qint64 fromHere = m_pos < 0 ? row + 1 : std::abs(row - m_pos);
    bool ok = true;
    if (row < fromHere) {
        ok = m_recordset->moveFirst().ok();
        m_pos = 0;
    } else if (const qint64 rows = rowCount();
               m_recordset->fetchComplete() && rows - 1 - row < fromHere) {
        ok = m_recordset->moveLast().ok();
        m_pos = rows - 1;
    }
    while (ok && m_pos < row) {
        ok = m_recordset->moveNext().ok();
        ++m_pos;
    }
    while (ok && m_pos > row) {
        ok = m_recordset->movePrevious().ok();
        --m_pos;
    }
    if (!ok) {
        m_pos = -1;  // somewhere unknown: the next read starts from the first row
    }
    return ok;
}

QString RecordsetData::text(qint64 row, int field) {
    if (row < 0 || row >= rowCount() || !seek(row)) {
        return {};
    }
    const Result<Variant> value = m_recordset->field(field);
    return value.ok() ? value->text(m_locale) : QString();
}

}  // namespace orlo::report
