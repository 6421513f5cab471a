// The form pages as widgets, two ways: an edit writes the control's value
// (and so the item's property, with its change event); a change in the
// model shows on the page; the item window follows the inspector's Close.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "DeskTestStore.h"
#include "TestSupport.h"
#include "app/FolderPaths.h"
#include "app/FormPageWidget.h"
#include "app/InspectorWindow.h"
#include "host/Application.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/forms/FormPage.h"
#include "platform/core/Clock.h"
#include "platform/ui/MessageBox.h"

using namespace orlo;
using namespace orlo::desk;
using namespace orlo::desk::test;

namespace {

class FormWidgets : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.create());
        app = host::Application::create(clock, locale);
        ns = *app->GetNamespace(QStringLiteral("MAPI"));
        ASSERT_TRUE(ns->AddStore(store.storePath).ok());
    }

    std::shared_ptr<host::Item> newItem(const char16_t* path) {
        auto folder = folderAt(*ns, QString::fromUtf16(path));
        EXPECT_TRUE(folder.ok());
        auto item = (*folder)->Items()->Add();
        EXPECT_TRUE(item.ok());
        return *item;
    }

    static QString text(const std::shared_ptr<host::Item>& item, const QString& name) {
        return item->userProperty(name).valueOr(Variant()).text(Locale::unitedKingdom());
    }

    DeskTestStore store;
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 15), QTime(9, 30))};
    Locale locale = Locale::unitedKingdom();
    std::shared_ptr<host::Application> app;
    std::shared_ptr<host::NameSpace> ns;
    ScriptedMessageBoxes boxes;
};

}  // namespace

TEST_F(FormWidgets, EditsWriteTheBoundPropertiesAndModelChangesShow) {
    const auto item = newItem(kPatients);
    const auto page = *item->formPage(QStringLiteral("General"));
    FormPageWidget widget(page, locale);
    auto* last = qobject_cast<QLineEdit*>(widget.editorOf(QStringLiteral("LastNameTextBox")));
    auto* notes = qobject_cast<QPlainTextEdit*>(widget.editorOf(QStringLiteral("GeneralNotes")));
    ASSERT_NE(last, nullptr);
    ASSERT_NE(notes, nullptr);

    QStringList changed;
    auto sub =
        item->events.CustomPropertyChange.connect([&](const QString& name) { changed << name; });
    last->setText(QStringLiteral("MacDonald"));
    Q_EMIT last->editingFinished();
    EXPECT_EQ(text(item, QStringLiteral("Last Name")), QStringLiteral("MacDonald"));
    EXPECT_EQ(changed, QStringList{QStringLiteral("Last Name")});
    // Finishing again without an edit raises nothing.
    Q_EMIT last->editingFinished();
    EXPECT_EQ(changed.size(), 1);

    // A text box edited but not finished is written by commit (before a save).
    notes->setPlainText(QStringLiteral("Line one\nline two"));
    widget.commit();
    EXPECT_EQ(text(item, QStringLiteral("Gnote")), QStringLiteral("Line one\nline two"));

    // "Patient ID" shows the built-in "Customer ID", which the save rule keeps.
    ASSERT_TRUE(
        item->setUserProperty(QStringLiteral("PatientID"), Variant(QStringLiteral("31"))).ok());
    ASSERT_TRUE(item->Save().ok());
    widget.refresh();
    EXPECT_EQ(qobject_cast<QLineEdit*>(widget.editorOf(QStringLiteral("Patient ID")))->text(),
              QStringLiteral("31"));
    ASSERT_TRUE(
        item->setUserProperty(QStringLiteral("Last Name"), Variant(QStringLiteral("Evans"))).ok());
    widget.refresh();
    EXPECT_EQ(last->text(), QStringLiteral("Evans"));
}

TEST_F(FormWidgets, ItemWindowFollowsTheModelAndShowsLabelsInTheirColour) {
    const auto item = newItem(kScheduler);
    ASSERT_TRUE(
        item->setUserProperty(QStringLiteral("ScheduleID"), Variant(QStringLiteral("9"))).ok());
    ASSERT_TRUE(item->Save().ok());
    // What an add-in does in its Open handler: refresh values, then colour a
    // label (after the window has shown the values).
    auto onOpen = item->events.Open.connect([&](bool&) {
        (void)item->setUserProperty(QStringLiteral("REASON"), Variant(QStringLiteral("Recall")));
        const auto label = *item->GetInspector()->formControl(QStringLiteral("Patient Scheduler"),
                                                              QStringLiteral("StatusLabel"));
        label->setForeColor(host::Rgb{255, 0, 0});
        label->setCaption(QStringLiteral("No show"));
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
    EXPECT_EQ(qobject_cast<QLineEdit*>(scheduler->editorOf(QStringLiteral("REASON")))->text(),
              QStringLiteral("Recall"));
    auto* status = qobject_cast<QLabel*>(scheduler->editorOf(QStringLiteral("StatusLabel")));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), QStringLiteral("No show"));
    EXPECT_TRUE(status->styleSheet().contains(QStringLiteral("#ff0000")));

    // Closing the window with an unsaved edit asks; "No" discards.
    auto* reason = qobject_cast<QLineEdit*>(scheduler->editorOf(QStringLiteral("REASON")));
    reason->setText(QStringLiteral("Fitting"));
    boxes.queueAnswer(MsgAnswer::No);
    int closes = 0;
    auto onClose = item->events.Close.connect([&](bool&) { ++closes; });
    window->close();
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Do you want to save changes?"));
    EXPECT_EQ(boxes.shown()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(app->Inspectors()->Count(), 0);
    // Neither the edit nor the unsaved refresh is kept.
    EXPECT_EQ(text(item, QStringLiteral("REASON")), QString());
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
