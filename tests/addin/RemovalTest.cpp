// Removal by the user: it takes the add-in's store out of the profile and
// shows the exit window, and a store that cannot be removed is reported
// without stopping the removal. A normal close keeps the store: see the
// add-in manager's and the tracking tests.

#include "AddinFixture.h"
#include "host/HostErrors.h"

namespace orlo::addin::test {
namespace {

class RemovalTest : public ConnectedAddinFixture {
protected:
    static MessageBoxRequest exitWindow() {
        return {
            u"Orlo has been removed from the desk.\r\n\r\nIts folders are closed; the patients "
            "and appointments stay in the shared database. Thank you for using Orlo."_s,
            u"Orlo"_s, MsgIcon::Information, MsgButtons::OK};
    }
};

TEST_F(RemovalTest, UserRemovalTakesTheStoreOutOfTheProfile) {
    auto contact = patient(u"1"_s);
    ASSERT_TRUE(contact->Display().ok());
    bool profileChanged = false;
    host::Subscription s = ns->events.profileChanged.connect([&] { profileChanged = true; });
    disconnectAddin(host::RemoveMode::UserClosed);
    EXPECT_FALSE(addinStoreOpen());
    EXPECT_FALSE(ns->profileStores().contains(appPath(kAddinPstName)));
    EXPECT_TRUE(profileChanged);
    EXPECT_EQ(boxes.shown(), std::vector<MessageBoxRequest>{exitWindow()});
    EXPECT_EQ(addinConnect.outAddIn(), nullptr);
    EXPECT_EQ(addinConnect.context(), nullptr);
    // The store file itself stays where it is.
    EXPECT_TRUE(QFileInfo::exists(appPath(kAddinPstName)));
    EXPECT_EQ(contact->events.Write.handlerCount(), 0);
}

TEST_F(RemovalTest, AStoreAlreadyGoneIsReportedAndTheRemovalGoesOn) {
    ASSERT_TRUE(ns->RemoveStore(*addinTopFolder(app)).ok());
    disconnectAddin(host::RemoveMode::UserClosed);
    ASSERT_EQ(boxes.shown().size(), 2u);
    const MessageBoxRequest& box = boxes.shown()[0];
    EXPECT_EQ(box.title, u"Software Error #-1940651761"_s);
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(box.buttons, MsgButtons::OK);
    const QStringList parts = box.text.split(u"\r\n"_s);
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0], QString::number(host::err::kObjectNotFound));
    EXPECT_FALSE(parts[1].isEmpty());
    EXPECT_EQ(parts[2],
              u"This Software could not remove the Outlook PST file "
              "because it has been removed or deleted."_s);
    EXPECT_EQ(boxes.shown()[1], exitWindow());
    EXPECT_EQ(addinConnect.outAddIn(), nullptr);
}

}  // namespace
}  // namespace orlo::addin::test
