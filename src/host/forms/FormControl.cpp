#include "host/forms/FormControl.h"

#include "host/HostErrors.h"
#include "host/Item.h"

namespace orlo::host {

namespace {

Error itemGone() {
    return err::hostError(err::kItemDeleted,
                          QStringLiteral("The item shown by this form is no longer available."));
}

}  // namespace

FormControl::FormControl(QString name, ControlKind kind, QString boundProperty,
                         std::weak_ptr<Item> item)
    : m_name(std::move(name)),
      m_kind(kind),
      m_boundProperty(std::move(boundProperty)),
      m_item(std::move(item)),
      m_caption(m_name) {}

Result<Variant> FormControl::Value() const {
    if (m_boundProperty.isEmpty()) {
        return m_ownValue;
    }
    const auto item = m_item.lock();
    if (!item) {
        return itemGone();
    }
    return item->boundValue(m_boundProperty);
}

Status FormControl::setValue(const Variant& value) {
    if (m_boundProperty.isEmpty()) {
        if (value != m_ownValue) {
            m_ownValue = value;
            events.Change.raise();
        }
        return okStatus();
    }
    const auto item = m_item.lock();
    if (!item) {
        return itemGone();
    }
    return item->setBoundValue(m_boundProperty, value);
}

void FormControl::setForeColor(Rgb colour) {
    if (colour != m_foreColor) {
        m_foreColor = colour;
        events.Change.raise();
    }
}

void FormControl::setCaption(const QString& caption) {
    if (caption != m_caption) {
        m_caption = caption;
        events.Change.raise();
    }
}

}  // namespace orlo::host
