#include "host/forms/ListColumn.h"

#include "platform/core/Locale.h"

namespace orlo::host {

namespace {

QString valueText(const PropertyMap& values, const QString& name, const Locale& locale) {
    const auto it = values.find(name);
    return it == values.end() ? QString() : it->second.text(locale).trimmed();
}

}  // namespace

QString ListColumn::text(const PropertyMap& values, const Locale& locale) const {
    if (join == Join::Name) {
        QStringList parts;
        for (const QString& p : properties) {
            if (const QString t = valueText(values, p, locale); !t.isEmpty()) {
                parts << t;
            }
        }
        return parts.join(QStringLiteral(", "));
    }
    for (const QString& p : properties) {
        if (const QString t = valueText(values, p, locale); !t.isEmpty()) {
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
