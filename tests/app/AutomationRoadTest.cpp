// The automation channel's commands in the desk's own process, line by
// line with the exact replies: the README's example session, then what a
// user does next (a list, a delete, a new item). An item's handle names it
// only while the item exists: a deleted item is let go.

#include <QCoreApplication>

#include "DeskTestStore.h"
#include "TestSupport.h"
#include "app/AutomationCommands.h"
#include "app/DeskSession.h"
#include "app/DeskWindows.h"
#include "app/FolderPaths.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "platform/ui/MessageBox.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::desk;
using namespace orlo::desk::test;

TEST(AutomationRoad, ReadmeSessionThenAListADeleteAndANewItem) {
    DeskTestStore store;
    ASSERT_TRUE(store.create());
    const auto options =
        DeskOptions::parse({u"--appdir"_s, store.appDir, u"--registry"_s, store.registryFile,
                            u"--store"_s, store.storePath, u"--automation"_s},
                           QProcessEnvironment());
    ASSERT_TRUE(options.ok());
    ScriptedMessageBoxes boxes;
    DeskSession session(*options, boxes);
    ASSERT_TRUE(session.open().empty());
    DeskWindows windows(session, [] {});
    windows.showMainWindow();
    AutomationCommands commands(session, boxes, windows);

    const std::vector<std::pair<const char*, const char*>> road = {
        {R"({"cmd":"create","folder":"Orlo Networked V.1/Patients","properties":{"PatientID":"12","Last Name":"Smith"}})",
         R"({"id":"new1","ok":true})"},
        {R"({"cmd":"save","id":"new1"})", R"({"id":"1","ok":true})"},
        {R"({"cmd":"find","folder":"Orlo Networked V.1/Patients","filter":"[PatientID] = 12"})",
         R"({"id":"1","ok":true})"},
        {R"({"cmd":"display","id":"1"})", R"({"displayed":true,"id":"1","ok":true})"},
        {R"({"cmd":"answer","answers":["OK"]})", R"({"ok":true,"queued":1})"},
        {R"({"cmd":"click","path":["&Help","&About Orlo Desk"]})", R"({"ok":true})"},
        {R"({"cmd":"messageBoxes"})",
         R"({"boxes":[{"buttons":"OK","icon":"information","text":"Orlo Desk\r\nThe front-desk shell of the Orlo patient-records system.","title":"About Orlo Desk"}],"ok":true})"},
        {R"({"cmd":"close","id":"1","mode":"discard"})", R"({"id":"1","ok":true})"},
        {R"({"cmd":"items","folder":"Orlo Networked V.1/Patients","columns":["Last Name","Customer ID","Colour"]})",
         R"({"items":[{"id":"1","values":{"Colour":null,"Customer ID":"12","Last Name":"Smith"}}],"ok":true,"total":1})"},
        {R"({"cmd":"set","id":"new1","properties":{"Last Name":"Smyth"}})",
         R"({"id":"1","ok":true})"},
        {R"({"cmd":"delete","id":"1"})", R"({"deleted":true,"id":"1","ok":true})"},
        {R"({"cmd":"dump","id":"1"})",
         R"({"error":{"description":"There is no item \"1\".","number":-2147221233},"ok":false})"},
        {R"({"cmd":"save","id":"new1"})",
         R"({"error":{"description":"There is no item \"new1\".","number":-2147221233},"ok":false})"},
        {R"({"cmd":"create","folder":"Orlo Networked V.1/Patients"})",
         R"({"id":"new2","ok":true})"},
        {R"({"cmd":"items","folder":"Orlo Networked V.1/Patients"})",
         R"({"items":[],"ok":true,"total":0})"},
    };
    std::weak_ptr<host::Item> deleted;
    for (const auto& [line, reply] : road) {
        // The item to be deleted, held here only while the command runs.
        std::shared_ptr<host::Item> held;
        if (QByteArray(line).contains(R"("cmd":"delete")")) {
            const auto folder = folderAt(*session.nameSpace(), u"Orlo Networked V.1/Patients"_s);
            held = *(*folder)->Items()->Find(u"[PatientID] = 12"_s);
            ASSERT_NE(held, nullptr);
            deleted = held;
        }
        EXPECT_EQ(QString::fromUtf8(commands.handleLine(line)), QString::fromUtf8(reply));
        QCoreApplication::processEvents();  // as the desk's loop turns between commands
    }
    // Nothing holds the deleted item: not the window, not its handles.
    EXPECT_TRUE(deleted.expired());
}
