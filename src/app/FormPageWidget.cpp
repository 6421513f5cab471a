#include "app/FormPageWidget.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <map>

#include "app/DateField.h"
#include "host/forms/FormControl.h"
#include "host/forms/FormLooks.h"
#include "host/forms/FormPage.h"
#include "platform/core/Locale.h"

namespace orlo::desk {

namespace {

constexpr int kNotesHeight = 64;

// A control's caption for the page: the words its look gives, or else its
// name made readable ("LastNameTextBox" -> "Last Name").
QString displayCaption(const host::FormControl& control, const host::ControlLook& look) {
    if (!look.caption.isEmpty()) {
        return look.caption;
    }
    static const QRegularExpression kBoxWords(QStringLiteral("^txtbox|TextBox$|Box$"));
    static const QRegularExpression kCamel(QStringLiteral("([a-z])([A-Z])"));
    QString caption = control.Name();
    caption.remove(kBoxWords);
    caption.replace(kCamel, QStringLiteral("\\1 \\2"));
    return caption.isEmpty() ? control.Name() : caption;
}

// What a label shows: the value or caption the add-in gave it, or else its
// caption in words.
QString labelText(const host::FormControl& control, const host::ControlLook& look,
                  const QString& value) {
    if (!value.isEmpty()) {
        return value;
    }
    if (control.Caption() != control.Name()) {
        return control.Caption();
    }
    return displayCaption(control, look);
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

struct Section {
    QString title;
    std::vector<std::size_t> bindings;
    bool onlyNotes = true;
};

}  // namespace

FormPageWidget::FormPageWidget(std::shared_ptr<host::FormPage> page, const Locale& locale,
                               QWidget* parent)
    : QWidget(parent), m_page(std::move(page)), m_locale(locale) {
    setObjectName(m_page->Name());
    auto* columns = new QGridLayout(this);
    columns->setHorizontalSpacing(14);
    columns->setVerticalSpacing(10);
    build(columns);
    for (std::size_t i = 0; i < m_bindings.size(); ++i) {
        connectBinding(i);
    }
    refresh();
}

void FormPageWidget::build(QGridLayout* columns) {
    m_bindings.reserve(m_page->controls().size());
    std::map<QString, std::size_t> captionLabels;  // control name -> its label's binding
    std::vector<Section> sections;
    for (const auto& control : m_page->controls()) {
        const std::size_t index = m_bindings.size();
        const host::ControlLook look = host::controlLook(m_page->Name(), control->Name());
        m_bindings.push_back(Binding{control, look});
        if (control->kind() == host::ControlKind::Label && !look.captionOf.isEmpty()) {
            captionLabels.emplace(look.captionOf, index);
            continue;  // placed with the control it captions
        }
        const QString title = look.section;
        auto it = std::find_if(sections.begin(), sections.end(),
                               [&](const Section& s) { return s.title == title; });
        if (it == sections.end()) {
            it = sections.insert(sections.end(), Section{title, {}});
        }
        it->bindings.push_back(index);
        it->onlyNotes = it->onlyNotes && look.input == host::InputKind::Notes;
    }

    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    auto* wide = new QVBoxLayout;
    int leftRows = 0;
    int rightRows = 0;
    for (const Section& section : sections) {
        auto* box = new QGroupBox(section.title, this);
        auto* grid = new QGridLayout(box);
        grid->setColumnStretch(1, 1);
        int row = 0;
        for (const std::size_t index : section.bindings) {
            Binding& b = m_bindings[index];
            if (b.control->kind() == host::ControlKind::Label) {
                b.label = new QLabel(box);
                b.label->setObjectName(b.control->Name());
                b.label->setWordWrap(true);
                grid->addWidget(b.label, row++, 0, 1, 2);
                continue;
            }
            if (const auto label = captionLabels.find(b.control->Name());
                label != captionLabels.end()) {
                Binding& l = m_bindings[label->second];
                l.label = new QLabel(box);
                l.label->setObjectName(l.control->Name());
                b.caption = l.label;
            } else {
                b.caption = new QLabel(displayCaption(*b.control, b.look), box);
            }
            QWidget* editor = makeEditor(b, box);
            b.caption->setBuddy(editor);
            const bool notes = b.text != nullptr;
            grid->addWidget(b.caption, row, 0, notes ? Qt::AlignTop : Qt::Alignment());
            grid->addWidget(editor, row++, 1);
        }
        if (section.onlyNotes) {
            wide->addWidget(box);
        } else if (leftRows <= rightRows) {
            left->addWidget(box);
            leftRows += row;
        } else {
            right->addWidget(box);
            rightRows += row;
        }
    }
    // A label whose control is not on the page stands on its own.
    for (const auto& [control, index] : captionLabels) {
        Binding& l = m_bindings[index];
        if (l.label == nullptr) {
            l.label = new QLabel(this);
            l.label->setObjectName(l.control->Name());
            wide->addWidget(l.label);
        }
    }
    left->addStretch(1);
    right->addStretch(1);
    columns->addLayout(left, 0, 0);
    columns->addLayout(right, 0, 1);
    columns->addLayout(wide, 1, 0, 1, 2);
    columns->setColumnStretch(0, 1);
    columns->setColumnStretch(1, 1);
    columns->setRowStretch(2, 1);
}

QWidget* FormPageWidget::makeEditor(Binding& b, QWidget* parent) {
    const host::ControlLook& look = b.look;
    const QString name = b.control->Name();
    switch (look.input) {
        case host::InputKind::Notes:
            b.text = new QPlainTextEdit(parent);
            b.text->setObjectName(name);
            b.text->setFixedHeight(kNotesHeight);
            b.text->setReadOnly(look.readOnly);
            return b.text;
        case host::InputKind::Choice:
            b.combo = new QComboBox(parent);
            b.combo->setObjectName(name);
            b.combo->setEditable(true);
            b.combo->setInsertPolicy(QComboBox::NoInsert);
            b.combo->addItems(look.choices);
            b.combo->setEnabled(!look.readOnly);
            return b.combo;
        case host::InputKind::Date:
        case host::InputKind::DateTime:
            if (!look.readOnly) {
                b.date =
                    new DateField(name, look.input == host::InputKind::DateTime, m_locale, parent);
                b.line = b.date->edit();
                return b.date;
            }
            break;
        case host::InputKind::Text:
            break;
    }
    b.line = new QLineEdit(parent);
    b.line->setObjectName(name);
    b.line->setReadOnly(look.readOnly);
    return b.line;
}

void FormPageWidget::connectBinding(std::size_t i) {
    Binding& b = m_bindings[i];
    if (b.line != nullptr) {
        connect(b.line, &QLineEdit::editingFinished, this, [this, i] { write(m_bindings[i]); });
    } else if (b.text != nullptr) {
        b.text->installEventFilter(new FocusOutWriter(b.text, [this, i] { write(m_bindings[i]); }));
    } else if (b.combo != nullptr) {
        connect(b.combo->lineEdit(), &QLineEdit::editingFinished, this,
                [this, i] { write(m_bindings[i]); });
        connect(b.combo, &QComboBox::activated, this, [this, i] { write(m_bindings[i]); });
    }
    if (b.date != nullptr) {
        b.date->setOnPicked([this, i] { write(m_bindings[i]); });
    }
    m_subscriptions.push_back(
        b.control->events.Change.connect([this, i] { showControl(m_bindings[i]); }));
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
    if (binding.combo != nullptr) {
        return binding.combo->currentText();
    }
    return {};
}

void FormPageWidget::write(Binding& binding) {
    if (binding.look.readOnly) {
        return;
    }
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
        if (b.line != nullptr || b.text != nullptr || b.combo != nullptr) {
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
    if (b.label != nullptr) {
        const host::Rgb c = b.control->ForeColor();
        b.label->setText(labelText(*b.control, b.look, modelText(b)));
        b.label->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;")
                                   .arg(QColor(c.red, c.green, c.blue).name()));
        return;
    }
    if (b.caption == nullptr) {
        return;
    }
    const QString text = modelText(b);
    if (b.line != nullptr && b.line->text() != text) {
        const QSignalBlocker block(b.line);
        b.line->setText(text);
        b.line->setCursorPosition(0);
    } else if (b.text != nullptr && b.text->toPlainText() != text) {
        const QSignalBlocker block(b.text);
        b.text->setPlainText(text);
    } else if (b.combo != nullptr && b.combo->currentText() != text) {
        const QSignalBlocker block(b.combo);
        b.combo->setCurrentText(text);
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
            if (b.combo != nullptr) {
                return b.combo;
            }
            return b.label;
        }
    }
    return nullptr;
}

DateField* FormPageWidget::dateFieldOf(const QString& controlName) const {
    for (const Binding& b : m_bindings) {
        if (b.control->Name().compare(controlName, Qt::CaseInsensitive) == 0) {
            return b.date;
        }
    }
    return nullptr;
}

}  // namespace orlo::desk
