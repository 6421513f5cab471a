#pragma once
// A workstation for add-in tests: an application folder laid out as the
// installation lays it out (the add-in's store in PST/, empty unload lists
// in META/, logs/, an empty shared database in Database/), a settings file,
// and a desk with its own
// mail store open in one main window, scripted message boxes and a pinned
// clock. Connect is made on that folder and that settings file.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "LoopbackAddress.h"
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
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "platform/data/Connection.h"
#include "platform/data/DatabaseFile.h"
#include "platform/registry/RegistryStore.h"
#include "platform/ui/MessageBox.h"
#include "records/Schema.h"
#include "tools/store/AddinStore.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::addin::test {

inline QString qs(const char16_t* s) {
    return QString::fromUtf16(s);
}

// Lays out an application folder; true when it worked.
inline bool layOutAppFolder(const QString& root) {
    QDir dir(root);
    for (const char* sub : {"PST", "META", "logs", "Database", "Help"}) {
        if (!dir.mkpath(QLatin1String(sub))) {
            return false;
        }
    }
    orlo::test::writeFile(dir.filePath(u"META/UNLOADP.log"_s), QByteArray());
    orlo::test::writeFile(dir.filePath(u"META/UNLOADS.log"_s), QByteArray());
    if (!data::createDatabaseFile(dir.filePath(u"Database/Patients.mdb"_s),
                                  records::sharedSchemaStatements(), data::DatabaseKind::Shared)) {
        return false;
    }
    return tools::createAddinStore(dir.filePath(u"PST/12-27Orlonetv1.pst"_s)).ok();
}

class AddinFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(layOutAppFolder(m_appFolder.root()));
        // The workstation listens on an address of this test alone.
        storeText(kManualIpEnabledValue, QStringLiteral("1"));
        storeText(kManualIpValue, orlo::test::privateLoopbackAddress());
        openDesk();
    }

    void openDesk() {
        m_app = host::Application::create(m_clock, Locale::unitedKingdom(),
                                          host::FormRegistry::standard(), &m_boxes);
        m_ns = *m_app->GetNamespace(u"MAPI"_s);
        ASSERT_TRUE(m_ns->AddStore(m_dir.filePath(u"desk.pst"_s)).ok());
        m_inbox = *m_ns->Folders()->Item(1);
        m_explorer = m_app->Explorers()->Add(m_inbox);
    }

    Status connect(host::ConnectMode mode = host::ConnectMode::Startup) {
        host::CustomArgs custom;
        return m_connect.OnConnection(m_app, mode, host::AddInInst{qs(kProgId), {}, {}}, custom);
    }
    void disconnect(host::RemoveMode mode) {
        host::CustomArgs custom;
        m_connect.OnDisconnection(mode, custom);
    }

    OutAddIn& addin() { return *m_connect.outAddIn(); }
    AddinContext& ctx() { return *m_connect.context(); }

    // The add-in's folders as the desk shows them.
    std::shared_ptr<host::MAPIFolder> folder(const char16_t* name) {
        auto f = addinFolder(m_app, qs(name));
        EXPECT_TRUE(f.ok()) << QString::fromUtf16(name).toStdString();
        return f.ok() ? *f : nullptr;
    }
    // An item saved in the desk with its key, and its row in the shared
    // database (unless there is one), so that opening it finds the row.
    std::shared_ptr<host::Item> savedItem(const std::shared_ptr<host::MAPIFolder>& f,
                                          const QString& keyName, const QString& key) {
        data::Connection conn({m_clock, m_locale});
        conn.setProvider(u"Microsoft.JET.OLEDB.4.0"_s);
        EXPECT_TRUE(conn.open(m_appFolder.path(u"\\Database\\Patients.mdb"_s)));
        const bool isPatient = keyName == u"PatientID"_s;
        const QString table = isPatient ? u"PATIENTS"_s : u"SCHEDULED"_s;
        const QString column = isPatient ? u"PT_ID"_s : u"SCHEDULE_ID"_s;
        EXPECT_TRUE(
            conn.execute(u"INSERT INTO %1 (%2) SELECT %3 WHERE NOT EXISTS "
                         "(SELECT 1 FROM %1 WHERE %2 = %3)"_s.arg(table, column, key)));
        auto item = f->Items()->Add();
        EXPECT_TRUE(item.ok());
        EXPECT_TRUE((*item)->setUserProperty(keyName, Variant(key)).ok());
        EXPECT_TRUE((*item)->Save().ok());
        return *item;
    }
    std::shared_ptr<host::Item> patient(const QString& id) {
        return savedItem(folder(kPatientsFolderName), u"PatientID"_s, id);
    }
    std::shared_ptr<host::Item> appointment(const QString& id) {
        return savedItem(folder(kSchedulerFolderName), u"ScheduleID"_s, id);
    }
    std::shared_ptr<host::Item> mail() {
        auto item = m_inbox->Items()->Add(u"IPM.Note"_s);
        EXPECT_TRUE(item.ok());
        EXPECT_TRUE((*item)->Save().ok());
        return *item;
    }

    // A value of the add-in's key as stored: type and bytes.
    std::optional<RegistryValue> stored(const char16_t* name) {
        RegistryStore store(registryFile());
        auto key = store.openKey(RegistryRoot::CurrentUser, AddinRegistryKey);
        if (!key) {
            return std::nullopt;
        }
        auto value = store.queryValue(*key, qs(name));
        return value.ok() ? *value : std::nullopt;
    }
    void storeText(const char16_t* name, const QString& text) {
        RegistryStore store(registryFile());
        auto key = store.createKey(RegistryRoot::CurrentUser, AddinRegistryKey);
        ASSERT_TRUE(key.ok());
        ASSERT_TRUE(store.setValue(*key, qs(name), RegistryValue{REG_SZ, text.toUtf8()}).ok());
    }

    QString registryFile() const { return m_dir.filePath(u"registry"_s); }
    QString appPath(const char16_t* systemName) const { return m_appFolder.path(qs(systemName)); }
    bool addinStoreOpen() const { return m_ns->Folders()->Item(qs(kAddinTopFolderName)).ok(); }

    QTemporaryDir m_dir;
    AppFolder m_appFolder{m_dir.filePath(u"app"_s)};
    PinnedClock m_clock{naiveDateTime(QDate(2026, 3, 15), QTime(17, 45))};
    Locale m_locale = Locale::unitedKingdom();
    ScriptedMessageBoxes m_boxes;
    std::shared_ptr<host::Application> m_app;
    std::shared_ptr<host::NameSpace> m_ns;
    std::shared_ptr<host::MAPIFolder> m_inbox;
    std::shared_ptr<host::Explorer> m_explorer;
    // Last: it goes first, while the desk it was connected to still stands.
    Connect m_connect{m_appFolder, registryFile()};
};

// The same workstation with the add-in connected at the desk's start.
class ConnectedAddinFixture : public AddinFixture {
protected:
    void SetUp() override {
        AddinFixture::SetUp();
        ASSERT_TRUE(connect().ok());
    }
};

}  // namespace orlo::addin::test
