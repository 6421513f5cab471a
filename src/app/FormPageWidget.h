#pragma once
// FormPageWidget: one page of an item's custom form as widgets, two ways
// bound to the host's form controls. A text box becomes a line edit (a
// notes box a text edit); finishing an edit writes the control's Value,
// which writes the bound property and raises the item's
// CustomPropertyChange. A label shows its caption in its foreground colour.
// refresh() reads every control back, so what the add-in or a form rule
// changed in the model shows on the page; the inspector window calls it
// when the item's properties change, and a control's own Change (a label's
// caption or colour) refreshes that control.

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "host/events/Subscription.h"

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

class FormPageWidget : public QWidget {
public:
    FormPageWidget(std::shared_ptr<host::FormPage> page, const Locale& locale,
                   QWidget* parent = nullptr);

    // Reads every control of the page back into its widget.
    void refresh();
    // Writes every edited widget to its control (before a save).
    void commit();

    const std::shared_ptr<host::FormPage>& page() const { return m_page; }
    // The widget showing a control (QLineEdit, QPlainTextEdit or QLabel).
    QWidget* editorOf(const QString& controlName) const;

private:
    struct Binding {
        std::shared_ptr<host::FormControl> control;
        QLineEdit* line = nullptr;
        QPlainTextEdit* text = nullptr;
        QLabel* label = nullptr;
        QLabel* caption = nullptr;
    };

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
