#pragma once
// ListLayout: the columns a folder's list shows, as the folder's default
// form names them, and the properties a row of the list reads, in one
// order: the columns' own, then any the list needs besides (a search key).
// A row's values come in that order, from the store's field rows or from
// one loaded item, and give the columns' texts.

#include <QString>
#include <QStringList>
#include <vector>

#include "host/forms/ListColumn.h"
#include "host/store/StoreFile.h"

namespace orlo {
class Locale;
}

namespace orlo::host {
class MAPIFolder;
}

namespace orlo::desk {

class ListLayout {
public:
    ListLayout() = default;
    // The columns of the folder's default form (none without a folder).
    explicit ListLayout(const host::MAPIFolder* folder, const QStringList& extra = {});

    const std::vector<host::ListColumn>& columns() const { return m_columns; }
    int columnCount() const { return static_cast<int>(m_columns.size()); }
    // What a row reads, in the order of its values.
    const QStringList& properties() const { return m_properties; }
    // The position of a property among them, or -1.
    int indexOf(const QString& property) const {
        return static_cast<int>(m_properties.indexOf(property));
    }

    // The columns' texts from a row's values (one per property, in order).
    QStringList texts(const std::vector<Variant>& values, const Locale& locale) const;
    // A loaded item's values in that order (Empty where it has none).
    std::vector<Variant> valuesOf(const host::PropertyMap& properties) const;

private:
    std::vector<host::ListColumn> m_columns;
    QStringList m_properties;
    // For each column, the positions of its properties among m_properties.
    std::vector<std::vector<int>> m_positions;
};

}  // namespace orlo::desk
