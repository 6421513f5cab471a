#pragma once
// FormControl: one named control on a page of an item's form. A bound
// control shows one property of the item: writing its Value writes that
// property (raising the item's CustomPropertyChange) and reading it reads the
// property back. Labels and other unbound controls keep their own value.
// Change tells the window showing the control that its own value, caption
// or colour changed (a bound value changes through the item's events).

#include <QString>
#include <memory>

#include "host/events/Event.h"
#include "platform/core/Result.h"
#include "platform/core/Variant.h"

namespace orlo::host {

class Item;

enum class ControlKind { TextBox, Label };

// A colour as red, green and blue parts (0..255 each).
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

class FormControl {
public:
    struct Events {
        Event<> Change;
    };
    Events events;

    FormControl(QString name, ControlKind kind, QString boundProperty, std::weak_ptr<Item> item);

    QString Name() const { return m_name; }
    ControlKind kind() const { return m_kind; }
    // The item property the control shows; empty for an unbound control.
    QString boundProperty() const { return m_boundProperty; }

    Result<Variant> Value() const;
    Status setValue(const Variant& value);

    Rgb ForeColor() const { return m_foreColor; }
    void setForeColor(Rgb colour);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);

private:
    QString m_name;
    ControlKind m_kind;
    QString m_boundProperty;
    std::weak_ptr<Item> m_item;
    Variant m_ownValue;
    Rgb m_foreColor;
    QString m_caption;
};

}  // namespace orlo::host
