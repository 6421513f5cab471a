#include "app/ListLayout.h"

#include "host/MAPIFolder.h"
#include "host/StoreSession.h"
#include "platform/core/Locale.h"

namespace orlo::desk {

ListLayout::ListLayout(const host::MAPIFolder* folder, const QStringList& extra) {
    if (folder != nullptr) {
        m_columns = folder->session()->services().forms.listColumns(folder->DefaultMessageClass());
    }
    m_properties = host::propertiesOf(m_columns);
    for (const QString& p : extra) {
        if (!m_properties.contains(p)) {
            m_properties << p;
        }
    }
    m_positions.reserve(m_columns.size());
    for (const host::ListColumn& c : m_columns) {
        std::vector<int> at;
        at.reserve(static_cast<std::size_t>(c.properties.size()));
        for (const QString& p : c.properties) {
            at.push_back(indexOf(p));
        }
        m_positions.push_back(std::move(at));
    }
}

QStringList ListLayout::texts(const std::vector<Variant>& values, const Locale& locale) const {
    QStringList out;
    out.reserve(columnCount());
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        const std::vector<int>& at = m_positions[c];
        out << m_columns[c].text(
            [&](qsizetype i) -> const Variant* {
                const auto k = static_cast<std::size_t>(at[static_cast<std::size_t>(i)]);
                return k < values.size() ? &values[k] : nullptr;
            },
            locale);
    }
    return out;
}

std::vector<Variant> ListLayout::valuesOf(const host::PropertyMap& properties) const {
    std::vector<Variant> values;
    values.reserve(static_cast<std::size_t>(m_properties.size()));
    for (const QString& p : m_properties) {
        const auto it = properties.find(p);
        values.push_back(it == properties.end() ? Variant() : it->second);
    }
    return values;
}

}  // namespace orlo::desk
