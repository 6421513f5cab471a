#pragma once
// FormPageWidget: one page of an item's custom form as widgets, two ways
// bound to the host's form controls. Controls are grouped in the sections
// their look names, the sections laid out in two columns that share the
// window's width; each control has its caption in words and the input its
// look asks for: a text box, a notes box, a drop-down list that also takes
// free typing, or a date box with a calendar. Whatever the input, finishing
// an edit writes the control's Value as the text the user typed or picked
// (an empty input an empty text), which writes the bound property and
// raises the item's CustomPropertyChange. A label shows its caption in its
// foreground colour; a label that captions a control sits beside it.
// refresh() reads every control back, so what the add-in or a form rule
// changed in the model shows on the page; the inspector window calls it
// when the item's properties change, and a control's own Change (a label's
// caption or colour) refreshes that control.

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "host/events/Subscription.h"
#include "host/forms/ControlLook.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace orlo {
class Locale;
}

namespace orlo::host {
class FormControl;
class FormPage;
}  // namespace orlo::host

namespace orlo::desk {

class DateField;

class FormPageWidget : public QWidget {
public:
    FormPageWidget(std::shared_ptr<host::FormPage> page, const Locale& locale,
                   QWidget* parent = nullptr);

    // Reads every control of the page back into its widget.
    void refresh();
    // Writes every edited widget to its control (before a save).
    void commit();

    const std::shared_ptr<host::FormPage>& page() const { return m_page; }
    // The widget showing a control: a QLineEdit (also the box of a date
    // field), QPlainTextEdit, QComboBox or QLabel.
    QWidget* editorOf(const QString& controlName) const;
    // The date field of a date control, or null.
    DateField* dateFieldOf(const QString& controlName) const;

private:
    struct Binding {
        std::shared_ptr<host::FormControl> control;
        host::ControlLook look;
        QLineEdit* line = nullptr;
        QPlainTextEdit* text = nullptr;
        QComboBox* combo = nullptr;
        DateField* date = nullptr;
        QLabel* label = nullptr;
        QLabel* caption = nullptr;
    };

    void build(QGridLayout* columns);
    QWidget* makeEditor(Binding& b, QWidget* parent);
    void connectBinding(std::size_t i);
    void write(Binding& binding);
    void showControl(Binding& binding);
    QString modelText(const Binding& binding) const;
    static QString widgetText(const Binding& binding);

    std::shared_ptr<host::FormPage> m_page;
    const Locale& m_locale;
    std::vector<Binding> m_bindings;
    std::vector<host::Subscription> m_subscriptions;
};

}  // namespace orlo::desk
