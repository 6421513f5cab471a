#include "host/forms/ListColumn.h"

#include "platform/core/Locale.h"

namespace orlo::host {

QString ListColumn::text(const PropertyMap& values, const Locale& locale) const {
    return text(
        [&](qsizetype i) -> const Variant* {
            const auto it = values.find(properties[i]);
            return it == values.end() ? nullptr : &it->second;
        },
        locale);
}

QString ListColumn::text(const std::function<const Variant*(qsizetype)>& valueAt,
                         const Locale& locale) const {
    const auto valueText = [&](qsizetype i) {
        const Variant* v = valueAt(i);
        return v == nullptr ? QString() : v->text(locale).trimmed();
    };
    if (join == Join::Name) {
        QStringList parts;
        for (qsizetype i = 0; i < properties.size(); ++i) {
            if (const QString t = valueText(i); !t.isEmpty()) {
                parts << t;
            }
        }
        return parts.join(QStringLiteral(", "));
    }
    for (qsizetype i = 0; i < properties.size(); ++i) {
        if (const QString t = valueText(i); !t.isEmpty()) {
            return t;
        }
    }
    return {};
}

QStringList propertiesOf(const std::vector<ListColumn>& columns) {
    QStringList all;
    for (const ListColumn& c : columns) {
        for (const QString& p : c.properties) {
            if (!all.contains(p)) {
                all << p;
            }
        }
    }
    return all;
}

}  // namespace orlo::host
