// The form pages as widgets, two ways: an edit writes the control's value
// (and so the item's property, with its change event); a change in the
// model shows on the page; the item window follows the inspector's Close.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "DeskTestStore.h"
#include "TestDesk.h"
#include "TestSupport.h"
#include "app/FormPageWidget.h"
#include "app/InspectorWindow.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/forms/FormPage.h"
#include "platform/ui/MessageBox.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::desk;
using namespace orlo::desk::test;

namespace {

class FormWidgets : public ::testing::Test, public orlo::test::TestDesk {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.create());
        open(store.storePath);
    }

    DeskTestStore store;
    ScriptedMessageBoxes boxes;
};

}  // namespace

TEST_F(FormWidgets, EditsWriteTheBoundPropertiesAndModelChangesShow) {
    const auto item = newItem(kPatients);
    const auto page = *item->formPage(u"General"_s);
    FormPageWidget widget(page, locale);
    auto* last = qobject_cast<QLineEdit*>(widget.editorOf(u"LastNameTextBox"_s));
    auto* notes = qobject_cast<QPlainTextEdit*>(widget.editorOf(u"GeneralNotes"_s));
    ASSERT_NE(last, nullptr);
    ASSERT_NE(notes, nullptr);

    QStringList changed;
    auto sub =
        item->events.CustomPropertyChange.connect([&](const QString& name) { changed << name; });
    last->setText(u"MacDonald"_s);
    Q_EMIT last->editingFinished();
    EXPECT_EQ(text(item, u"Last Name"_s), u"MacDonald"_s);
    EXPECT_EQ(changed, QStringList{u"Last Name"_s});
    // Finishing again without an edit raises nothing.
    Q_EMIT last->editingFinished();
    EXPECT_EQ(changed.size(), 1);

    // A text box edited but not finished is written by commit (before a save).
    notes->setPlainText(u"Line one\nline two"_s);
    widget.commit();
    EXPECT_EQ(text(item, u"Gnote"_s), u"Line one\nline two"_s);

    // "Patient ID" shows the built-in "Customer ID", which the save rule keeps.
    ASSERT_TRUE(item->setUserProperty(u"PatientID"_s, Variant(u"31"_s)).ok());
    ASSERT_TRUE(item->Save().ok());
    widget.refresh();
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget.editorOf(u"Patient ID"_s))->text(), u"31"_s);
    ASSERT_TRUE(item->setUserProperty(u"Last Name"_s, Variant(u"Evans"_s)).ok());
    widget.refresh();
    EXPECT_EQ(last->text(), u"Evans"_s);
}

TEST_F(FormWidgets, ItemWindowFollowsTheModelAndShowsLabelsInTheirColour) {
    const auto item = newItem(kScheduler);
    ASSERT_TRUE(item->setUserProperty(u"ScheduleID"_s, Variant(u"9"_s)).ok());
    ASSERT_TRUE(item->Save().ok());
    // What an add-in does in its Open handler: refresh values, then colour a
    // label (after the window has shown the values).
    auto onOpen = item->events.Open.connect([&](bool&) {
        EXPECT_TRUE(item->setUserProperty(u"REASON"_s, Variant(u"Recall"_s)).ok());
        const auto label =
            *item->GetInspector()->formControl(u"Patient Scheduler"_s, u"StatusLabel"_s);
        label->setForeColor(host::Rgb{255, 0, 0});
        label->setCaption(u"No show"_s);
    });
    InspectorWindow* window = nullptr;
    auto onNew = app->Inspectors()->events.NewInspector.connect(
        [&](const std::shared_ptr<host::Inspector>& inspector) {
            window = new InspectorWindow(inspector, locale, boxes);
            window->show();
        });
    ASSERT_TRUE(item->Display().ok());
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
    auto onClose = item->events.Close.connect([&](bool&) { ++closes; });
    window->close();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, u"Do you want to save changes?"_s);
    EXPECT_EQ(boxes.shown()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(app->Inspectors()->Count(), 0);
    // Neither the edit nor the unsaved refresh is kept.
    EXPECT_EQ(text(item, u"REASON"_s), QString());
    EXPECT_TRUE(orlo::test::waitFor([&] { return guard.isNull(); }));

    // Opened again and closed by the model (Close from code): the window goes too.
    window = nullptr;
    ASSERT_TRUE(item->Display().ok());
    ASSERT_NE(window, nullptr);
    guard = window;
    ASSERT_TRUE(item->GetInspector()->Close(host::SaveMode::Discard).ok());
    EXPECT_TRUE(orlo::test::waitFor([&] { return guard.isNull(); }));
    EXPECT_EQ(boxes.shown().size(), 1u);
}
