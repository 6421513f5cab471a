#include "app/DeskSession.h"

#include <QDir>
#include <QFileInfo>

#include "app/DeskLayout.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/Explorers.h"
#include "host/Folders.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/commandbars/CommandBars.h"
#include "host/store/StoreHeader.h"
#include "platform/core/ErrorTrap.h"
#include "platform/ui/MessageBox.h"

namespace orlo::desk {

namespace {

Locale localeFor(const QString& name) {
    if (name == u"uk") {
        return Locale::unitedKingdom();
    }
    if (name == u"us") {
        return Locale::unitedStates();
    }
    return Locale::system();
}

}  // namespace

DeskSession::DeskSession(DeskOptions options, MessageBoxService& messageBoxes)
    : m_options(std::move(options)),
      m_messageBoxes(messageBoxes),
      m_locale(localeFor(m_options.locale)),
      m_appFolder(m_options.appDir),
      m_registryStore(m_options.registryFile),
      m_profile(m_registryStore, m_options.profile),
      m_app(host::Application::create(m_clock, m_locale, host::FormRegistry::standard(),
                                      &m_messageBoxes)) {
    if (!m_options.database.isEmpty()) {
        ignoreError(DeskLayout(m_registryStore).useDatabaseForThisStart(m_options.database),
                    "the add-in's key path is a valid constant");
    }
}

DeskSession::~DeskSession() {
    shutdown();
}

std::shared_ptr<host::NameSpace> DeskSession::nameSpace() const {
    return m_app->GetNamespace(QString::fromUtf16(host::Application::kMapiNamespace)).value();
}

std::vector<Error> DeskSession::open() {
    const auto ns = nameSpace();
    QStringList stores;
    if (const auto saved = m_profile.stores()) {
        stores = *saved;
    } else {
        // A new profile starts with the personal store, made on first use.
        const QString personal = m_appFolder.path(QString::fromUtf16(DeskProfile::kPersonalStore));
        QDir().mkpath(QFileInfo(personal).absolutePath());
        stores << personal;
        if (!QFileInfo::exists(personal)) {
            ignoreError(ns->AddStore(personal),
                        "opening the profile below reports a store it cannot open");
        }
    }
    std::vector<Error> errors = ns->openProfile(stores);
    for (const QString& extra : m_options.stores) {
        if (Status s = ns->AddStore(extra); !s) {
            errors.push_back(s.error());
        } else if (Status w = host::StoreHeader::checkWritable(extra); !w) {
            errors.push_back(w.error());  // opened for reading: saves to it are refused
        }
    }
    // Keep what is open as the profile from now on, and every change to it.
    if (Status s = m_profile.save(ns->profileStores()); !s) {
        errors.push_back(s.error());
    }
    m_profileWatch =
        ns->events.profileChanged.connect([this, weak = std::weak_ptr<host::NameSpace>(ns)] {
            if (const auto n = weak.lock()) {
                ignoreError(m_profile.save(n->profileStores()),
                            "the profile is saved again at the next change and at start-up");
            }
        });
    std::shared_ptr<host::MAPIFolder> first;
    if (const auto tops = ns->Folders(); tops->Count() > 0) {
        first = tops->Item(1).value();
    }
    m_explorer = m_app->Explorers()->Add(first);
    return errors;
}

std::shared_ptr<host::CommandBarControl> DeskSession::addDeskButton(const QString& menu,
                                                                    const char16_t* caption,
                                                                    std::function<void()> action) {
    const auto bar =
        m_explorer->CommandBars()->Item(QString::fromUtf16(host::CommandBars::kMenuBar));
    if (!bar) {
        return nullptr;
    }
    const auto popup = (*bar)->Controls()->Item(menu);
    if (!popup || !(*popup)->Controls()) {
        return nullptr;
    }
    auto button = (*popup)->Controls()->Add(host::ControlType::Button);
    if (!button) {
        return nullptr;
    }
    (*button)->setCaption(QString::fromUtf16(caption));
    (*button)->setDefaultAction(std::move(action));
    return *button;
}

void DeskSession::installDeskCommands(DeskCommandActions actions) {
    if (!m_explorer) {
        return;
    }
    addDeskButton(QStringLiteral("&File"), kExitCaption, std::move(actions.exit));
    addDeskButton(QStringLiteral("&View"), kRefreshCaption, std::move(actions.refresh));
    addDeskButton(QStringLiteral("&Tools"), kAddinsCaption, std::move(actions.addins));
    addDeskButton(QStringLiteral("&Help"), kAboutCaption, [this] {
        m_messageBoxes.show(QString::fromUtf16(kAboutText), MsgButtons::OK, MsgIcon::Information,
                            QString::fromUtf16(kAboutTitle));
    });
}

void DeskSession::connectAddins() {
    if (m_addins) {
        m_addins->startup();
    }
}

void DeskSession::closeExplorer() {
    if (m_explorerClosed || !m_explorer) {
        return;
    }
    m_explorerClosed = true;
    m_explorer->Close();
}

void DeskSession::shutdown() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    if (m_addins) {
        m_addins->shutdown();
    }
}

}  // namespace orlo::desk
