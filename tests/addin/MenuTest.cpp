// The "&Orlo" menu on a real desk model with the add-in connected: the
// whole tree read back from the command bars, each button in its field,
// one window per class, the methods other programs call, and the menu
// going with the add-in. A report click's preview: see the report road.

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTimer>

#include "AddinFixture.h"
#include "addin/frmAbout.h"
#include "host/commandbars/CommandBar.h"
#include "host/commandbars/CommandBarControls.h"
#include "host/commandbars/CommandBars.h"
#include "platform/data/DatabaseFile.h"
#include "records/Schema.h"
#include "tools/Seeder.h"

namespace orlo::addin::test {
namespace {

using host::CommandBarControl;

// Closes the next modal window as soon as it is up and keeps what it showed.
class ModalWatch {
public:
    ModalWatch() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                title = w->windowTitle();
                m_timer.stop();
                w->close();
            }
        });
        m_timer.start(10);
    }
    QString title;

private:
    QTimer m_timer;
};

std::vector<QWidget*> visibleWindows() {
    std::vector<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) {
            out.push_back(w);
        }
    }
    return out;
}

class MenuTest : public AddinFixture {
protected:
    std::shared_ptr<host::CommandBar> menuBar() {
        return *explorer->CommandBars()->Item(u"Menu Bar"_s);
    }
    std::shared_ptr<CommandBarControl> byTag(const char* tag) {
        return menuBar()->FindControl(QString::fromLatin1(tag));
    }
};

// Each control as "depth caption [tag] kind", walked top to bottom; the
// buttons (no popups) kept in `buttons` when given.
void describe(const host::CommandBarControls& controls, int depth, QStringList& out,
              std::vector<std::shared_ptr<CommandBarControl>>* buttons = nullptr) {
    for (const auto& c : controls) {
        out << QString(depth * 2, u' ') + c->Caption() + u" ["_s + c->Tag() +
                   (c->Type() == host::ControlType::Popup ? u"] popup"_s : u"] button"_s);
        if (const auto sub = c->Controls()) {
            describe(*sub, depth + 1, out, buttons);
        } else if (buttons != nullptr) {
            buttons->push_back(c);
        }
    }
}

TEST_F(MenuTest, TheWholeTreeReadsBackAndOneWindowOpensPerClass) {
    ASSERT_TRUE(connectAddin().ok());
    const auto orlo = byTag("Orlov3Netmenu");
    ASSERT_TRUE(orlo);
    EXPECT_EQ(*menuBar()->Controls()->Item(6), orlo);  // before the desk's sixth, "&Help"
    EXPECT_EQ((*menuBar()->Controls()->Item(7))->Caption(), u"&Help"_s);
    QStringList tree;
    describe(*menuBar()->Controls(), 0, tree);
    EXPECT_EQ(tree.mid(tree.indexOf(u"&Orlo [Orlov3Netmenu] popup"_s), 18),
              QStringList({u"&Orlo [Orlov3Netmenu] popup"_s, u"  Repor&ts... [] popup"_s,
                           u"    Next Day &Appointments Report [NextDay] button"_s,
                           u"    &No Show/Cancellation Report [UnderEighteen] button"_s,
                           u"    &Diabetic Patients Report [Diabetic] button"_s,
                           u"    &Balance Overdue Report [Balance] button"_s,
                           u"    Patient &List Report [PatientList] button"_s,
                           u"    &Recall Reports... [] popup"_s,
                           u"      &2 Week Recall Reminder Report [ThreeMonth] button"_s,
                           u"      6 &Week Overdue Recall Report [SixMonth] button"_s,
                           u"      &3 Month Overdue Recall Report [TwelveMonth] button"_s,
                           u"      &6 Month Overdue Recall Report [EighteenMonth] button"_s,
                           u"      &12 Month Overdue Recall Report [twentyfourMonth] button"_s,
                           u"      &Monthly Recall Report [MonthlyRecallReport] button"_s,
                           u"  &Patient Finder... [PatientFinderOrlov3] button"_s,
                           u"  &Settings... [SettingsOrlov3] button"_s,
                           u"  &About Orlo [AboutOrlov3] button"_s, u"&Help [] popup"_s}));

    // Each button with the add-in's action, icon and caption style, and its
    // face: the finder's and "About"'s built in, the settings' its own, the
    // reports' one shared picture.
    std::vector<std::shared_ptr<CommandBarControl>> buttons;
    describe(*orlo->Controls(), 0, tree, &buttons);
    ASSERT_EQ(buttons.size(), 14u);
    const auto reportFace = byTag("NextDay")->Picture();
    for (const auto& button : buttons) {
        const QString t = button->Tag();
        SCOPED_TRACE(t.toStdString());
        EXPECT_EQ(button->OnAction(), u"!<OrlonetPROv1.Connect>"_s);
        EXPECT_EQ(button->Style(), 3);
        EXPECT_TRUE(button->Temporary() && button->Enabled() && button->Visible());
        if (t == u"PatientFinderOrlov3" || t == u"AboutOrlov3") {
            EXPECT_EQ(button->FaceId(), t == u"AboutOrlov3" ? 3725 : 46);
            EXPECT_TRUE(button->Picture().isEmpty());
            continue;
        }
        // A picture with transparency, and its mask: white where it is
        // transparent, black where it paints.
        const QImage face = QImage::fromData(button->Picture());
        const QImage mask = QImage::fromData(button->Mask());
        ASSERT_FALSE(face.isNull());
        EXPECT_TRUE(face.hasAlphaChannel());
        ASSERT_EQ(mask.size(), face.size());
        EXPECT_EQ(mask.pixel(0, 0), qRgb(255, 255, 255));
        EXPECT_EQ(qAlpha(face.pixel(0, 0)), 0);
        EXPECT_EQ(mask.pixel(16, 16),
                  qAlpha(face.pixel(16, 16)) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        EXPECT_EQ(button->Picture() == reportFace, t != u"SettingsOrlov3");
    }

    // One window per class; the others wait for their openers.
    const std::size_t before = visibleWindows().size();
    ASSERT_TRUE(byTag("AboutOrlov3")->Execute().ok());
    frmAbout* about = addin().menu().aboutWindow();
    ASSERT_NE(about, nullptr);
    ASSERT_TRUE(byTag("AboutOrlov3")->Execute().ok());
    EXPECT_EQ(addin().menu().aboutWindow(), about);
    EXPECT_EQ(visibleWindows().size(), before + 1);
    EXPECT_EQ(about->windowTitle(), u"About Orlo"_s);
    EXPECT_EQ(about->findChild<QLabel*>(u"lblDatabase"_s)->text(),
              u"Database in use:\n"_s + ctx().DbLocation);

    // The search windows and the settings window open.
    for (const char* tag : {"PatientFinderOrlov3", "SettingsOrlov3", "MonthlyRecallReport"}) {
        ASSERT_TRUE(byTag(tag)->Execute().ok());
    }
    EXPECT_EQ(visibleWindows().size(), before + 4);
    EXPECT_TRUE(boxes.shown().empty());
    int opened = 0;
    addin().menu().openers().set(qs(kPatientSearchWindow), [&] { ++opened; });
    ASSERT_TRUE(byTag("PatientFinderOrlov3")->Execute().ok());
    EXPECT_EQ(opened, 1);
}

TEST_F(MenuTest, MethodsForOtherProgramsAndTheMenuGoingWithTheAddin) {
    tools::SeedOptions seed;
    seed.patients = 5;
    seed.now = clock.now();
    ASSERT_TRUE(tools::seedDatabase(appPath(u"\\Database\\Patients.mdb"), seed, locale).ok());
    ASSERT_TRUE(connectAddin().ok());
    const auto customize =
        *(*explorer->CommandBars()->Item(u"Tools"_s))->Controls()->Item(u"Customize..."_s);
    ASSERT_TRUE(addinConnect.CallMethod(u"allowinspectorcbcustomization"_s, {Variant(false)}).ok());
    EXPECT_FALSE(customize->Enabled());
    EXPECT_EQ(addinConnect.CallMethod(u"Shutdown"_s, {}).error().number, 438);

    // The patient detail report takes the patient of the active item
    // window, whose id must be plain digits.
    const QString problem =
        u"There was a problem loading the specified patient detail report, please close all "
        "windows and try again"_s;
    const QString detail = u"PatientDetailrptOrlonetV1"_s;
    ASSERT_TRUE(addinConnect.CallMethod(detail, {}).ok());
    auto contact = patient(u"3"_s);
    ASSERT_TRUE(contact->Display().ok());
    ASSERT_TRUE(contact->setUserProperty(u"PatientID"_s, Variant(u"3 OR 1=1"_s)).ok());
    ASSERT_TRUE(addinConnect.CallMethod(detail, {}).ok());
    ASSERT_EQ(boxes.shown().size(), 2u);
    for (const MessageBoxRequest& box : boxes.shown()) {
        EXPECT_EQ(box, (MessageBoxRequest{problem, u"Orlo Software Error"_s, MsgIcon::Critical,
                                          MsgButtons::OK}));
    }
    ASSERT_TRUE(contact->setUserProperty(u"PatientID"_s, Variant(u"3"_s)).ok());
    ModalWatch watch;
    ASSERT_TRUE(addinConnect.CallMethod(detail, {}).ok());
    EXPECT_EQ(watch.title, u"Patient Detail Report"_s);
    EXPECT_EQ(boxes.shown().size(), 2u);

    // The menu goes with the add-in and comes back once.
    const auto about = byTag("AboutOrlov3");
    disconnectAddin(host::RemoveMode::UserClosed);
    EXPECT_EQ(byTag("Orlov3Netmenu"), nullptr);
    boxes.clear();
    ASSERT_TRUE(about->Execute().ok());  // a released button reaches no handler
    ASSERT_TRUE(connectAddin().ok());
    EXPECT_EQ(addin().menu().aboutWindow(), nullptr);
    QStringList tree;
    describe(*menuBar()->Controls(), 0, tree);
    EXPECT_EQ(tree.filter(u"&Orlo ["_s).size(), 1);
}

}  // namespace
}  // namespace orlo::addin::test
