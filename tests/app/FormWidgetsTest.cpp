// The form pages as widgets, two ways: an edit writes the control's value
// (and so the item's property, with its change event); a change in the
// model shows on the page; the item window follows the inspector's Close.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "TestDesk.h"
#include "TestSupport.h"
#include "app/DateField.h"
#include "app/FormPageWidget.h"
#include "app/InspectorWindow.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/forms/FormPage.h"
#include "platform/ui/MessageBox.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::desk;
using namespace orlo::desk::test;

namespace {

class FormWidgets : public orlo::test::SeededDeskTest<> {
protected:
    ScriptedMessageBoxes boxes;
};

}  // namespace

TEST_F(FormWidgets, EditsWriteTheBoundPropertiesModelChangesShowAndWindowsFollow) {
    const auto patient = newItem(kPatients);
    FormPageWidget form(*patient->formPage(u"General"_s), locale);
    auto* last = qobject_cast<QLineEdit*>(form.editorOf(u"LastNameTextBox"_s));
    ASSERT_NE(last, nullptr);

    QStringList changed;
    auto sub =
        patient->events.CustomPropertyChange.connect([&](const QString& name) { changed << name; });
    last->setText(u"MacDonald"_s);
    Q_EMIT last->editingFinished();
    EXPECT_EQ(text(patient, u"Last Name"_s), u"MacDonald"_s);
    EXPECT_EQ(changed, QStringList{u"Last Name"_s});
    // Finishing again without an edit raises nothing.
    Q_EMIT last->editingFinished();
    EXPECT_EQ(changed.size(), 1);

    // "Patient ID" shows the built-in "Customer ID", which the save rule keeps.
    ASSERT_TRUE(patient->setUserProperty(u"PatientID"_s, Variant(u"31"_s)).ok());
    ASSERT_TRUE(patient->Save().ok());
    form.refresh();
    EXPECT_EQ(qobject_cast<QLineEdit*>(form.editorOf(u"Patient ID"_s))->text(), u"31"_s);
    ASSERT_TRUE(patient->setUserProperty(u"Last Name"_s, Variant(u"Evans"_s)).ok());
    form.refresh();
    EXPECT_EQ(last->text(), u"Evans"_s);

    // Whatever the input (text box, drop-down typed into or chosen from, date
    // box typed into or picked from its calendar, notes box), the form writes
    // the text the user gave into the same user property as a plain text box
    // did; a box emptied writes an empty text, and read-only boxes take
    // nothing.
    enum class How { Type, Choose, Pick };
    enum Page { General, Visit, Charges };  // a patient's page, then an appointment's
    const char16_t* const pageNames[] = {u"General", u"Patient Scheduler", u"Charges"};
    struct Case {
        Page page;
        const char16_t* control;
        How how;
        const char16_t* input;
        const char16_t* property;
        const char16_t* stored;
    };
    const Case cases[] = {
        {General, u"LastNameTextBox", How::Type, u"O'Brien", u"Last Name", u"O'Brien"},
        {General, u"DateOfBirth", How::Type, u"5/3/80", u"DOB", u"5/3/80"},
        {General, u"DateOfBirth", How::Pick, u"1980-03-05", u"DOB", u"05/03/1980"},
        {General, u"Sex", How::Type, u"F", u"Sex", u"F"},
        {General, u"DiabeticYN", How::Choose, u"YES", u"DiabeticYN", u"YES"},
        {General, u"MaritalStatus", How::Type, u"Engaged", u"MaritalStatus", u"Engaged"},
        {General, u"Phone2", How::Type, u"01632 960 123", u"HomeTel", u"01632 960 123"},
        {General, u"GeneralNotes", How::Type, u"Prefers mornings\nNo latex", u"Gnote",
         u"Prefers mornings\nNo latex"},
        {General, u"Patient ID", How::Type, u"77", u"Customer ID", u""},
        {Visit, u"Start", How::Type, u"04/11/2025 14:45:00", u"Start", u"04/11/2025 14:45:00"},
        {Visit, u"End", How::Pick, u"2025-11-04T14:45:00", u"End", u"04/11/2025 14:45:00"},
        {Visit, u"Status1", How::Choose, u"NO SHOW", u"Status1", u"NO SHOW"},
        {Visit, u"RecallMonths", How::Choose, u"None", u"RecallMonths", u"None"},
        {Visit, u"RecallDBFormattedMASK", How::Type, u"01/01/2027", u"RecallDBFormattedMASK", u""},
        {Charges, u"ChrAmt1", How::Type, u"12.50", u"ChrAmt1", u"12.50"},
    };
    for (const Case& c : cases) {
        const QString control = QString::fromUtf16(c.control);
        const QString input = QString::fromUtf16(c.input);
        SCOPED_TRACE(control.toStdString() + " <- " + input.toStdString());
        const auto item = newItem(c.page == General ? kPatients : kScheduler);
        FormPageWidget widget(*item->formPage(QString::fromUtf16(pageNames[c.page])), locale);
        QWidget* editor = widget.editorOf(control);
        ASSERT_NE(editor, nullptr);
        if (auto* line = qobject_cast<QLineEdit*>(editor); line && c.how == How::Type) {
            line->setText(input);
        } else if (auto* combo = qobject_cast<QComboBox*>(editor); combo && c.how == How::Type) {
            combo->setEditText(input);
        } else if (combo && c.how == How::Choose) {
            const int index = combo->findText(input);
            ASSERT_GE(index, 0);
            combo->setCurrentIndex(index);
        } else if (auto* notes = qobject_cast<QPlainTextEdit*>(editor)) {
            notes->setPlainText(input);
        } else {
            ASSERT_EQ(c.how, How::Pick);
            ASSERT_NE(widget.dateFieldOf(control), nullptr);
            widget.dateFieldOf(control)->pick(QDateTime::fromString(input, Qt::ISODate));
        }
        widget.commit();
        EXPECT_EQ(text(item, QString::fromUtf16(c.property)), QString::fromUtf16(c.stored));
    }

    // Emptying a box that held a date writes an empty text, never a date.
    const auto dated = newItem(kPatients);
    ASSERT_TRUE(dated->setUserProperty(u"DOB"_s, Variant(u"05/03/1980"_s)).ok());
    FormPageWidget dateWidget(*dated->formPage(u"General"_s), locale);
    qobject_cast<QLineEdit*>(dateWidget.editorOf(u"DateOfBirth"_s))->clear();
    dateWidget.commit();
    EXPECT_EQ(text(dated, u"DOB"_s), QString());

    // Captions in words beside each kind of control (text, date, read-only,
    // on either form), the two labels as those of the reason and the status.
    // Folder, page, control and its caption.
    const std::tuple<const char16_t*, const char16_t*, const char16_t*, const char16_t*>
        labelled[] = {
            {kPatients, u"General", u"LastNameTextBox", u"Last name"},
            {kPatients, u"General", u"DateOfBirth", u"Date of birth"},
            {kPatients, u"General", u"Patient ID", u"Patient no."},
            {kScheduler, u"Patient Scheduler", u"REASON", u"Reason"},
            {kScheduler, u"Patient Scheduler", u"Status1", u"Status"},
            {kScheduler, u"Charges", u"ChrInsClaim2", u"Insurance claim"},
        };
    for (const auto& [where, page, control, caption] : labelled) {
        SCOPED_TRACE(QString::fromUtf16(control).toStdString());
        FormPageWidget widget(*newItem(where)->formPage(QString::fromUtf16(page)), locale);
        QWidget* editor = widget.editorOf(QString::fromUtf16(control));
        ASSERT_NE(editor, nullptr);
        const auto labels = widget.findChildren<QLabel*>();
        const auto label = std::find_if(labels.begin(), labels.end(), [&](QLabel* l) {
            return l->buddy() == editor || l->buddy() == editor->parentWidget();
        });
        ASSERT_NE(label, labels.end());
        EXPECT_EQ((*label)->text(), QString::fromUtf16(caption));
    }

    // The item window follows the model and shows labels in their colour.
    const auto visit = newItem(kScheduler);
    ASSERT_TRUE(visit->setUserProperty(u"ScheduleID"_s, Variant(u"9"_s)).ok());
    ASSERT_TRUE(visit->Save().ok());
    // What an add-in does in its Open handler: refresh values, then colour a
    // label (after the window has shown the values).
    auto onOpen = visit->events.Open.connect([&](bool&) {
        EXPECT_TRUE(visit->setUserProperty(u"REASON"_s, Variant(u"Recall"_s)).ok());
        const auto label =
            *visit->GetInspector()->formControl(u"Patient Scheduler"_s, u"StatusLabel"_s);
        label->setForeColor(host::Rgb{255, 0, 0});
        label->setCaption(u"No show"_s);
    });
    InspectorWindow* window = nullptr;
    auto onNew = app->Inspectors()->events.NewInspector.connect(
        [&](const std::shared_ptr<host::Inspector>& inspector) {
            window = new InspectorWindow(inspector, locale, boxes);
            window->show();
        });
    ASSERT_TRUE(visit->Display().ok());
    ASSERT_NE(window, nullptr);
    QPointer<InspectorWindow> guard(window);
    ASSERT_EQ(window->pages().size(), 2u);
    FormPageWidget* scheduler = window->pages()[0];
    // The property change and the label's caption and colour reached the page by themselves.
    EXPECT_EQ(qobject_cast<QLineEdit*>(scheduler->editorOf(u"REASON"_s))->text(), u"Recall"_s);
    auto* status = qobject_cast<QLabel*>(scheduler->editorOf(u"StatusLabel"_s));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), u"No show"_s);
    EXPECT_TRUE(status->styleSheet().contains(u"#ff0000"_s));

    // Closing the window with an unsaved edit asks; "No" discards.
    auto* reason = qobject_cast<QLineEdit*>(scheduler->editorOf(u"REASON"_s));
    reason->setText(u"Fitting"_s);
    boxes.queueAnswer(MsgAnswer::No);
    int closes = 0;
    auto onClose = visit->events.Close.connect([&](bool&) { ++closes; });
    window->close();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, u"Do you want to save changes?"_s);
    EXPECT_EQ(boxes.shown()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(app->Inspectors()->Count(), 0);
    // Neither the edit nor the unsaved refresh is kept.
    EXPECT_EQ(text(visit, u"REASON"_s), QString());
    EXPECT_TRUE(orlo::test::waitFor([&] { return guard.isNull(); }));

    // Opened again and closed by the model (Close from code): the window goes too.
    window = nullptr;
    ASSERT_TRUE(visit->Display().ok());
    ASSERT_NE(window, nullptr);
    guard = window;
    ASSERT_TRUE(visit->GetInspector()->Close(host::SaveMode::Discard).ok());
    EXPECT_TRUE(orlo::test::waitFor([&] { return guard.isNull(); }));
    EXPECT_EQ(boxes.shown().size(), 1u);
}
