// The desk's windows follow the object model's events with no refresh from
// anyone: a patient typed into its own window and saved shows in the main
// window's list, an edit saved again changes its row, a delete takes it
// away; a menu an add-in adds after the window opened shows in its menu bar.

#include <QCoreApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>

#include "DeskTestStore.h"
#include "TestSupport.h"
#include "app/DeskSession.h"
#include "app/DeskWindows.h"
#include "app/FolderItemModel.h"
#include "app/FolderPaths.h"
#include "app/FormPageWidget.h"
#include "host/Explorer.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/commandbars/CommandBars.h"
#include "platform/ui/MessageBox.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::desk;
using namespace orlo::desk::test;

TEST(DeskWindowsTest, TheListAndTheMenuBarFollowTheModelsEvents) {
    DeskTestStore store;
    ASSERT_TRUE(store.create(2, 0));
    const auto options =
        DeskOptions::parse({u"--appdir"_s, store.appDir, u"--registry"_s, store.registryFile,
                            u"--store"_s, store.storePath, u"--locale"_s, u"uk"_s},
                           QProcessEnvironment());
    ASSERT_TRUE(options.ok());
    ScriptedMessageBoxes boxes;
    DeskSession session(*options, boxes);
    ASSERT_TRUE(session.open().empty());
    DeskWindows windows(session, [] {});
    windows.showMainWindow();
    const auto patients = *folderAt(*session.nameSpace(), QString::fromUtf16(kPatients));
    ASSERT_TRUE(session.explorer()->SelectFolder(patients).ok());
    const auto status = [&] { return windows.mainWindow()->statusBar()->currentMessage(); };
    // What the user types into text boxes of the item's window, then saves.
    const auto typeAndSave = [&](const std::shared_ptr<host::Item>& item,
                                 const std::vector<std::pair<const char*, const char*>>& typed) {
        for (const auto& [control, text] : typed) {
            auto* edit = qobject_cast<QLineEdit*>(
                windows.windowOf(*item)->pages().at(0)->editorOf(QString::fromLatin1(control)));
            ASSERT_NE(edit, nullptr) << control;
            edit->setText(QString::fromLatin1(text));
            Q_EMIT edit->editingFinished();
        }
        windows.windowOf(*item)->save();
        // One turn of the event loop, as after the click that saved it.
        QCoreApplication::processEvents();
    };
    const auto rowText = [&](const std::shared_ptr<host::Item>& item) {
        FolderItemModel* model = windows.mainWindow()->itemModel();
        const int row = model->rowOf(item->entryId());
        return row < 0 ? u"(no row)"_s : model->index(row, 0).data().toString();
    };

    EXPECT_EQ(status(), u"2 items"_s);
    const auto item = *patients->Items()->Add();
    ASSERT_TRUE(item->Display().ok());
    ASSERT_NE(windows.windowOf(*item), nullptr);
    typeAndSave(
        item, {{"Patient ID", "41"}, {"LastNameTextBox", "Okafor"}, {"FirstNameTextBox", "Grace"}});
    EXPECT_EQ(rowText(item), u"Okafor, Grace"_s);
    EXPECT_EQ(status(), u"3 items"_s);

    // A second save after an edit changes the row in place.
    typeAndSave(item, {{"LastNameTextBox", "Okafor-Bell"}});
    EXPECT_EQ(rowText(item), u"Okafor-Bell, Grace"_s);

    windows.windowOf(*item)->deleteItem();
    QCoreApplication::processEvents();
    EXPECT_EQ(rowText(item), u"(no row)"_s);
    EXPECT_EQ(status(), u"2 items"_s);
    EXPECT_TRUE(boxes.shown().empty());

    // The menu bar follows what an add-in changes on its command bar.
    const auto bar = *session.explorer()->CommandBars()->Item(u"Menu Bar"_s);
    const auto menus = [&] {
        QStringList titles;
        for (const QAction* a : windows.mainWindow()->menuBar()->actions()) {
            titles << a->text();
        }
        return titles.join(u' ');
    };
    EXPECT_EQ(menus(), u"&File &Edit &View &Go &Tools &Help"_s);
    const auto popup = *bar->Controls()->Add(host::ControlType::Popup, 6, true);
    popup->setCaption(u"&Orlo"_s);
    QCoreApplication::processEvents();
    EXPECT_EQ(menus(), u"&File &Edit &View &Go &Tools &Orlo &Help"_s);
    popup->setVisible(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(menus(), u"&File &Edit &View &Go &Tools &Help"_s);
}
