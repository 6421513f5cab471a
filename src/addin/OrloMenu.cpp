#include "addin/OrloMenu.h"

#include "addin/frmAbout.h"
#include "common/AddinContext.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/HostErrors.h"
#include "host/commandbars/CommandBar.h"
#include "host/commandbars/CommandBarControls.h"
#include "host/commandbars/CommandBars.h"
#include "platform/core/ErrorTrap.h"
#include "settings/frmSettings.h"

namespace orlo::addin {

namespace {

using host::CommandBarControl;
using host::ControlType;
using reports::ReportId;

template <typename Handler>
OrloMenu::Button::Binder clickTo(Handler handler) {
    return [handler](CommandBarControl& control) {
        std::vector<host::Subscription> subs;
        subs.push_back(control.events.Click.connect(handler));
        return subs;
    };
}

enum class Face { Report, Settings, Finder, About };

}  // namespace

struct OrloMenu::ButtonEntry {
    const char16_t* caption;
    const char16_t* tag;
    Face face;
    Button* field;
};

// Each field reaches its own handler.
#define ORLO_BUTTON(field) \
    field(clickTo([this](const Control& c, bool& cancel) { field##_Click(c, cancel); }))

OrloMenu::OrloMenu(AddinContext& ctx)
    : ORLO_BUTTON(objCBAbout),
      ORLO_BUTTON(objCBB),
      ORLO_BUTTON(objCBBptFinder),
      ORLO_BUTTON(objCBRecallbyMonth),
      ORLO_BUTTON(objCBRecall3mth),
      ORLO_BUTTON(objCBRecall6mth),
      ORLO_BUTTON(objCBRecall12mth),
      ORLO_BUTTON(objCBRecall18mth),
      ORLO_BUTTON(objCBRecall24mth),
      ORLO_BUTTON(objCBPatientList),
      ORLO_BUTTON(objCBBalance),
      ORLO_BUTTON(objCBDiabetic),
      ORLO_BUTTON(objCBOverdue),
      ORLO_BUTTON(objCBNextDayAppointments),
      m_ctx(ctx),
      m_reports(ctx),
      m_search(ctx, m_reports) {
    m_openers.set(QString::fromUtf16(kAboutWindow),
                  [this] { m_about.show([this] { return new frmAbout(m_ctx); }); });
    m_openers.set(QString::fromUtf16(kSettingsWindow), [this] {
        m_settings.show([this] { return new settings::frmSettings(m_ctx, m_search.help()); });
    });
    m_openers.set(QString::fromUtf16(kPatientSearchWindow),
                  [this] { m_search.showPatientSearch(); });
    m_openers.set(QString::fromUtf16(kSchedulePatientSearchWindow),
                  [this] { m_search.showSchedulePatientSearch(); });
    m_openers.set(QString::fromUtf16(kPatientHistoryWindow),
                  [this] { m_search.showPatientHistory(); });
    m_openers.set(QString::fromUtf16(kRecallByMonthWindow),
                  [this] { m_search.showRecallByMonth(); });
}
#undef ORLO_BUTTON

OrloMenu::~OrloMenu() = default;

frmAbout* OrloMenu::aboutWindow() const {
    return m_about.get();
}

settings::frmSettings* OrloMenu::settingsWindow() const {
    return m_settings.get();
}

Status OrloMenu::addButton(host::CommandBarControls& controls, const ButtonEntry& entry) {
    ORLO_TRY_ASSIGN(const auto added, controls.Add(ControlType::Button, 1, true));
    const std::shared_ptr<CommandBarControl>& b = added;
    b->setCaption(QString::fromUtf16(entry.caption));
    b->setEnabled(true);
    b->setVisible(true);
    b->setTag(QString::fromUtf16(entry.tag));
    b->setOnAction(m_onAction);
    b->setStyle(host::kButtonIconAndCaption);
    switch (entry.face) {
        case Face::Report:
        case Face::Settings: {
            const FacePair& pair = entry.face == Face::Report ? m_faces.report : m_faces.settings;
            b->setPicture(pair.picture);
            b->setMask(pair.mask);
            break;
        }
        case Face::Finder:
            b->setFaceId(kFinderFaceId);
            break;
        case Face::About:
            b->setFaceId(kAboutFaceId);
            break;
    }
    *entry.field = b;
    return okStatus();
}

Status OrloMenu::build(const std::shared_ptr<host::Application>& runningDesk,
                       const QString& progId) {
    m_onAction = QStringLiteral("!<") + progId + QLatin1Char('>');
    const auto explorer = runningDesk ? runningDesk->ActiveExplorer() : nullptr;
    if (!explorer) {
        return host::err::hostError(err::kObjectNotSet,
                                    QStringLiteral("The desk has no active main window."));
    }
    ORLO_TRY_ASSIGN(const auto bar,
                    explorer->CommandBars()->Item(QString::fromUtf16(host::CommandBars::kMenuBar)));
    const auto popup = [](host::CommandBarControls& controls, std::optional<int> before,
                          const char16_t* caption) -> Result<std::shared_ptr<CommandBarControl>> {
        auto added = controls.Add(ControlType::Popup, before, true);
        if (added) {
            (*added)->setCaption(QString::fromUtf16(caption));
            (*added)->setVisible(true);
            (*added)->setEnabled(true);
        }
        return added;
    };

    ORLO_TRY_ASSIGN(const auto orlo, popup(*bar->Controls(), kOrloMenuBefore, kOrloMenuCaption));
    orlo->setTag(QString::fromUtf16(kOrloMenuTag));
    m_orloMenu = orlo;
    host::CommandBarControls& top = *orlo->Controls();
    // Each entry goes in at the top: the user sees them in reverse.
    for (const ButtonEntry& entry :
         {ButtonEntry{u"&About Orlo", u"AboutOrlov3", Face::About, &objCBAbout},
          ButtonEntry{u"&Settings...", u"SettingsOrlov3", Face::Settings, &objCBB},
          ButtonEntry{u"&Patient Finder...", u"PatientFinderOrlov3", Face::Finder,
                      &objCBBptFinder}}) {
        ORLO_TRY(addButton(top, entry));
    }
    ORLO_TRY_ASSIGN(const auto reports, popup(top, 1, u"Repor&ts..."));
    ORLO_TRY_ASSIGN(const auto recall, popup(*reports->Controls(), 1, u"&Recall Reports..."));
    for (const ButtonEntry& entry : {
             ButtonEntry{u"&Monthly Recall Report", u"MonthlyRecallReport", Face::Report,
                         &objCBRecallbyMonth},
             ButtonEntry{u"&12 Month Overdue Recall Report", u"twentyfourMonth", Face::Report,
                         &objCBRecall24mth},
             ButtonEntry{u"&6 Month Overdue Recall Report", u"EighteenMonth", Face::Report,
                         &objCBRecall18mth},
             ButtonEntry{u"&3 Month Overdue Recall Report", u"TwelveMonth", Face::Report,
                         &objCBRecall12mth},
             ButtonEntry{u"6 &Week Overdue Recall Report", u"SixMonth", Face::Report,
                         &objCBRecall6mth},
             ButtonEntry{u"&2 Week Recall Reminder Report", u"ThreeMonth", Face::Report,
                         &objCBRecall3mth},
         }) {
        ORLO_TRY(addButton(*recall->Controls(), entry));
    }
    for (const ButtonEntry& entry : {
             ButtonEntry{u"Patient &List Report", u"PatientList", Face::Report, &objCBPatientList},
             ButtonEntry{u"&Balance Overdue Report", u"Balance", Face::Report, &objCBBalance},
             ButtonEntry{u"&Diabetic Patients Report", u"Diabetic", Face::Report, &objCBDiabetic},
             ButtonEntry{u"&No Show/Cancellation Report", u"UnderEighteen", Face::Report,
                         &objCBOverdue},
             ButtonEntry{u"Next Day &Appointments Report", u"NextDay", Face::Report,
                         &objCBNextDayAppointments},
         }) {
        ORLO_TRY(addButton(*reports->Controls(), entry));
    }
    return okStatus();
}

void OrloMenu::release() {
    for (Button* b :
         {&objCBB, &objCBBptFinder, &objCBOverdue, &objCBRecall3mth, &objCBRecall6mth,
          &objCBRecall12mth, &objCBRecall18mth, &objCBRecall24mth, &objCBBalance, &objCBDiabetic,
          &objCBRecallbyMonth, &objCBAbout, &objCBNextDayAppointments, &objCBPatientList}) {
        *b = nullptr;
    }
    if (const auto menu = m_orloMenu.lock()) {
        ignoreError(menu->Delete(), "already gone when the desk took it off itself");
    }
    m_orloMenu.reset();
}

// Windows.
void OrloMenu::objCBAbout_Click(const Control&, bool&) {
    m_openers.open(QString::fromUtf16(kAboutWindow));
}
void OrloMenu::objCBB_Click(const Control&, bool&) {
    m_openers.open(QString::fromUtf16(kSettingsWindow));
}
void OrloMenu::objCBBptFinder_Click(const Control&, bool&) {
    m_openers.open(QString::fromUtf16(kPatientSearchWindow));
}
void OrloMenu::objCBRecallbyMonth_Click(const Control&, bool&) {
    m_openers.open(QString::fromUtf16(kRecallByMonthWindow));
}

// Reports, modal: the click returns when the preview closes.
void OrloMenu::objCBOverdue_Click(const Control&, bool&) {
    m_reports.show(ReportId::DataReport3);
}
void OrloMenu::objCBRecall3mth_Click(const Control&, bool&) {
    m_reports.show(ReportId::DataReport2);
}
void OrloMenu::objCBRecall6mth_Click(const Control&, bool&) {
    m_reports.show(ReportId::DataReport5);
}
void OrloMenu::objCBRecall12mth_Click(const Control&, bool&) {
    m_reports.show(ReportId::DataReport6);
}
void OrloMenu::objCBRecall18mth_Click(const Control&, bool&) {
    m_reports.show(ReportId::DataReport7);
}
void OrloMenu::objCBRecall24mth_Click(const Control&, bool&) {
    m_reports.show(ReportId::DataReport8);
}
void OrloMenu::objCBBalance_Click(const Control&, bool&) {
    m_reports.show(ReportId::DataReport1);
}
void OrloMenu::objCBDiabetic_Click(const Control&, bool&) {
    m_reports.show(ReportId::DataReport4);
}
void OrloMenu::objCBNextDayAppointments_Click(const Control&, bool&) {
    m_reports.show(ReportId::DataReport10);
}
void OrloMenu::objCBPatientList_Click(const Control&, bool&) {
    m_reports.show(ReportId::DataReport11);
}

}  // namespace orlo::addin
