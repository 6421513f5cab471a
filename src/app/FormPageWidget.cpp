#include "app/FormPageWidget.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>

#include "host/forms/FormControl.h"
#include "host/forms/FormPage.h"
#include "platform/core/Locale.h"

namespace orlo::desk {

namespace {

// Controls that hold running text get a text edit.
bool isNotesBox(const QString& name) {
    static const QRegularExpression kNotes(QStringLiteral("note|comment|allerg"),
                                           QRegularExpression::CaseInsensitiveOption);
    return kNotes.match(name).hasMatch();
}

constexpr int kPairsPerRow = 2;

// A control's caption for the page: what the add-in set, or else its name
// made readable ("LastNameTextBox" -> "Last Name", "txtboxAllergicReactions"
// -> "Allergic Reactions").
QString displayCaption(const host::FormControl& control) {
    QString caption = control.Caption();
    if (caption != control.Name()) {
        return caption;
    }
    static const QRegularExpression kBoxWords(QStringLiteral("^txtbox|TextBox$|Box$"));
    static const QRegularExpression kCamel(QStringLiteral("([a-z])([A-Z])"));
    caption.remove(kBoxWords);
    caption.replace(kCamel, QStringLiteral("\\1 \\2"));
    return caption.isEmpty() ? control.Name() : caption;
}

// Writes a text edit's content when it loses the focus.
class FocusOutWriter : public QObject {
public:
    FocusOutWriter(QObject* parent, std::function<void()> write)
        : QObject(parent), m_write(std::move(write)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            m_write();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_write;
};

}  // namespace

FormPageWidget::FormPageWidget(std::shared_ptr<host::FormPage> page, const Locale& locale,
                               QWidget* parent)
    : QWidget(parent), m_page(std::move(page)), m_locale(locale) {
    setObjectName(m_page->Name());
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    int slot = 0;
    m_bindings.reserve(m_page->controls().size());
    for (const auto& control : m_page->controls()) {
        Binding b;
        b.control = control;
        const int row = slot / kPairsPerRow;
        const int column = (slot % kPairsPerRow) * 2;
        if (control->kind() == host::ControlKind::Label) {
            b.label = new QLabel(this);
            b.label->setObjectName(control->Name());
            b.label->setWordWrap(true);
            grid->addWidget(b.label, row, column, 1, 2);
            ++slot;
        } else if (isNotesBox(control->Name())) {
            // A notes box takes a whole row.
            if (slot % kPairsPerRow != 0) {
                ++slot;
            }
            const int r = slot / kPairsPerRow;
            b.caption = new QLabel(displayCaption(*control), this);
            b.text = new QPlainTextEdit(this);
            b.text->setObjectName(control->Name());
            b.text->setFixedHeight(60);
            grid->addWidget(b.caption, r, 0, Qt::AlignTop);
            grid->addWidget(b.text, r, 1, 1, kPairsPerRow * 2 - 1);
            slot += kPairsPerRow;
        } else {
            b.caption = new QLabel(displayCaption(*control), this);
            b.line = new QLineEdit(this);
            b.line->setObjectName(control->Name());
            grid->addWidget(b.caption, row, column);
            grid->addWidget(b.line, row, column + 1);
            ++slot;
        }
        m_bindings.push_back(b);
    }
    grid->setRowStretch(slot / kPairsPerRow + 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    for (std::size_t i = 0; i < m_bindings.size(); ++i) {
        Binding& b = m_bindings[i];
        if (b.line != nullptr) {
            connect(b.line, &QLineEdit::editingFinished, this, [this, i] { write(m_bindings[i]); });
        } else if (b.text != nullptr) {
            b.text->installEventFilter(
                new FocusOutWriter(b.text, [this, i] { write(m_bindings[i]); }));
        }
        m_subscriptions.push_back(
            b.control->events.Change.connect([this, i] { showControl(m_bindings[i]); }));
    }
    refresh();
}

QString FormPageWidget::modelText(const Binding& binding) const {
    const Result<Variant> value = binding.control->Value();
    return value ? value.value().text(m_locale) : QString();
}

QString FormPageWidget::widgetText(const Binding& binding) {
    if (binding.line != nullptr) {
        return binding.line->text();
    }
    if (binding.text != nullptr) {
        return binding.text->toPlainText();
    }
    return {};
}

void FormPageWidget::write(Binding& binding) {
    const QString text = widgetText(binding);
    if (text == modelText(binding)) {
        return;  // nothing edited: no change event for the add-in
    }
    const Status s = binding.control->setValue(Variant(text));
    if (!s) {
        // The model refused (a date field given no date): show what it holds.
        refresh();
    }
}

void FormPageWidget::commit() {
    for (Binding& b : m_bindings) {
        if (b.line != nullptr || b.text != nullptr) {
            write(b);
        }
    }
}

void FormPageWidget::refresh() {
    for (Binding& b : m_bindings) {
        showControl(b);
    }
}

void FormPageWidget::showControl(Binding& b) {
    const host::Rgb c = b.control->ForeColor();
    const QString colour = QColor(c.red, c.green, c.blue).name();
    if (b.label != nullptr) {
        const QString value = modelText(b);
        b.label->setText(value.isEmpty() ? b.control->Caption() : value);
        b.label->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(colour));
        return;
    }
    b.caption->setText(displayCaption(*b.control));
    const QString text = modelText(b);
    if (b.line != nullptr && b.line->text() != text) {
        const QSignalBlocker block(b.line);
        b.line->setText(text);
        b.line->setCursorPosition(0);
    } else if (b.text != nullptr && b.text->toPlainText() != text) {
        const QSignalBlocker block(b.text);
        b.text->setPlainText(text);
    }
}

QWidget* FormPageWidget::editorOf(const QString& controlName) const {
    for (const Binding& b : m_bindings) {
        if (b.control->Name().compare(controlName, Qt::CaseInsensitive) == 0) {
            if (b.line != nullptr) {
                return b.line;
            }
            if (b.text != nullptr) {
                return b.text;
            }
            return b.label;
        }
    }
    return nullptr;
}

}  // namespace orlo::desk
