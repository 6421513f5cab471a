#pragma once
// A workstation with the add-in, as the add-in, peer and desk tests build it:
// an application folder laid out as the installation lays it out (the
// add-in's store in PST/, empty unload lists in META/, logs/, an empty
// shared database in Database/, Help/), a settings file, and a desk with
// its own mail store open in one main window, scripted message boxes and a
// pinned clock. The add-in connects on that folder and that settings file.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "DeskTestStore.h"
#include "TestSupport.h"
#include "addin/Connect.h"
#include "addin/OutAddIn.h"
#include "common/AddinContext.h"
#include "common/AddinFolders.h"
#include "common/basRegistry.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/Explorers.h"
#include "host/Folders.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "platform/core/AppFolder.h"
#include "platform/core/Clock.h"
#include "platform/registry/RegistryStore.h"
#include "platform/ui/MessageBox.h"

namespace orlo::test {

struct AddinWorkstation {
    // Lays the folder out and opens the desk; false when a step failed.
    bool setUp() {
        if (!files.create() || files.addDatabase().isEmpty()) {
            return false;
        }
        writeFile(files.appDir + QStringLiteral("/META/UNLOADP.log"), QByteArray());
        writeFile(files.appDir + QStringLiteral("/META/UNLOADS.log"), QByteArray());
        // A desk process with its own mail store open in one main window.
        app = host::Application::create(clock, locale, host::FormRegistry::standard(), &boxes);
        ns = *app->GetNamespace(QStringLiteral("MAPI"));
        if (!ns->AddStore(files.dir.filePath(QStringLiteral("desk.pst"))).ok()) {
            return false;
        }
        inbox = *ns->Folders()->Item(1);
        explorer = app->Explorers()->Add(inbox);
        return true;
    }

    Status connectAddin(host::ConnectMode mode = host::ConnectMode::Startup) {
        host::CustomArgs custom;
        return addinConnect.OnConnection(
            app, mode, host::AddInInst{QString::fromUtf16(addin::kProgId), {}, {}}, custom);
    }
    void disconnectAddin(host::RemoveMode mode) {
        host::CustomArgs custom;
        addinConnect.OnDisconnection(mode, custom);
    }
    AddinContext& ctx() { return *addinConnect.context(); }

    // The add-in's folder as the desk shows it.
    std::shared_ptr<host::MAPIFolder> addinFolderNamed(const char16_t* name) {
        auto f = addinFolder(app, QString::fromUtf16(name));
        EXPECT_TRUE(f.ok()) << QString::fromUtf16(name).toStdString();
        return f.ok() ? *f : nullptr;
    }

    // A value of the add-in's key as stored: type and bytes.
    std::optional<RegistryValue> stored(const char16_t* name) const {
        RegistryStore store(registryFile());
        auto key = store.openKey(RegistryRoot::CurrentUser, AddinRegistryKey);
        if (!key) {
            return std::nullopt;
        }
        auto value = store.queryValue(*key, QString::fromUtf16(name));
        return value.ok() ? *value : std::nullopt;
    }
    void storeText(const char16_t* name, const QString& text) const {
        RegistryStore store(registryFile());
        auto key = store.createKey(RegistryRoot::CurrentUser, AddinRegistryKey);
        ASSERT_TRUE(key.ok());
        ASSERT_TRUE(
            store.setValue(*key, QString::fromUtf16(name), RegistryValue{kRegSz, text.toUtf8()})
                .ok());
    }

    QString registryFile() const { return files.dir.filePath(QStringLiteral("registry")); }
    QString appPath(const char16_t* systemName) const {
        return appFolder.path(QString::fromUtf16(systemName));
    }

    desk::test::DeskTestStore files;
    AppFolder appFolder{files.dir.filePath(QStringLiteral("app"))};
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 15), QTime(17, 45))};
    Locale locale = Locale::unitedKingdom();
    ScriptedMessageBoxes boxes;
    std::shared_ptr<host::Application> app;
    std::shared_ptr<host::NameSpace> ns;
    std::shared_ptr<host::MAPIFolder> inbox;
    std::shared_ptr<host::Explorer> explorer;
    // Last: it goes first, while the desk it was connected to still stands.
    addin::Connect addinConnect{appFolder, registryFile()};
};

}  // namespace orlo::test
