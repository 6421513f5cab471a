#pragma once
// Two or three workstations in one process, each with its own application
// folder, settings file, desk and store, all on one shared database, each
// listening on its own loopback address (127.0.0.2, 127.0.0.3, ...) on the
// peer port. The pacing timer is pinned: tests tick it by hand.

#include <QHostAddress>
#include <QTcpSocket>
#include <array>

#include "AddinFixture.h"
#include "common/CTimer.h"
#include "host/UserProperties.h"
#include "peer/formMain.h"
#include "platform/data/Recordset.h"
#include "records/FieldMaps.h"

namespace orlo::peer::test {

using addin::test::qs;
using namespace Qt::Literals::StringLiterals;

struct Workstation {
    QTemporaryDir dir;
    AppFolder folder{dir.filePath(QStringLiteral("app"))};
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 15), QTime(17, 45))};
    ScriptedMessageBoxes boxes;
    std::shared_ptr<host::Application> app;
    std::shared_ptr<host::Explorer> explorer;
    std::unique_ptr<addin::Connect> connect;
    QString ip;

    AddinContext& ctx() { return *connect->context(); }
    formMain& form() { return *connect->outAddIn()->peerForm(); }
    std::shared_ptr<host::MAPIFolder> folderOf(const char16_t* name) {
        return *addinFolder(app, qs(name));
    }
    QString log() const {
        return QString::fromUtf8(
            orlo::test::readFile(folder.path(QStringLiteral("\\logs\\error.log"))));
    }
    // Ticks the pinned pacing timer.
    void tick(int n) {
        for (int i = 0; i < n; ++i) {
            form().Timer1().RaiseTimer();
        }
    }
};

class PeerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dbDir.isValid());
        ASSERT_TRUE(data::createDatabaseFile(m_db, records::sharedSchemaStatements(),
                                             data::DatabaseKind::Shared));
    }

    // Starts workstation 127.0.0.(n + 2) with the add-in loaded.
    Workstation& start(int n) {
        auto& w = m_ws[static_cast<size_t>(n)];
        w = std::make_unique<Workstation>();
        w->ip = QStringLiteral("127.0.0.%1").arg(n + 2);
        EXPECT_TRUE(addin::test::layOutAppFolder(w->folder.root()));
        RegistryStore store(w->dir.filePath(QStringLiteral("registry")));
        auto key = *store.createKey(RegistryRoot::CurrentUser, AddinRegistryKey);
        const auto put = [&](const char16_t* name, const QString& v) {
            EXPECT_TRUE(store.setValue(key, qs(name), RegistryValue{REG_SZ, v.toUtf8()}));
        };
        put(kDefaultDbLocationValue, m_db);
        put(kManualIpEnabledValue, QStringLiteral("1"));
        put(kManualIpValue, w->ip);
        w->app = host::Application::create(w->clock, Locale::unitedKingdom(),
                                           host::FormRegistry::standard(), &w->boxes);
        auto ns = *w->app->GetNamespace(QStringLiteral("MAPI"));
        EXPECT_TRUE(ns->AddStore(w->dir.filePath(QStringLiteral("desk.pst"))));
        w->explorer = w->app->Explorers()->Add(*ns->Folders()->Item(1));
        w->connect = std::make_unique<addin::Connect>(w->folder,
                                                      w->dir.filePath(QStringLiteral("registry")));
        host::CustomArgs custom;
        EXPECT_TRUE(w->connect->OnConnection(w->app, host::ConnectMode::Startup,
                                             host::AddInInst{qs(addin::kProgId), {}, {}}, custom));
        w->form().Timer1().setInterval(24 * 3600 * 1000);  // pinned: ticked by hand
        return *w;
    }
    void stop(int n) {
        auto& w = m_ws[static_cast<size_t>(n)];
        host::CustomArgs custom;
        w->connect->OnDisconnection(host::RemoveMode::HostShutdown, custom);
        w.reset();
    }
    // Starts workstations 0..n-1, each connecting to those before it.
    void mesh(int n) {
        for (int i = 0; i < n; ++i) {
            start(i).tick(4 * i);
        }
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(orlo::test::waitFor([&] { return ws(i).form().connectedCount() == n - 1; }))
                << "workstation " << i;
        }
    }
    Workstation& ws(int n) { return *m_ws[static_cast<size_t>(n)]; }

    // Sends raw bytes to workstation n from a registered address.
    void sendRaw(int n, const QByteArray& bytes) {
        if (!m_raw) {
            m_raw = std::make_unique<QTcpSocket>();
            ASSERT_TRUE(m_raw->bind(QHostAddress(QStringLiteral("127.0.0.9"))));
            registerAddress(QStringLiteral("127.0.0.9"));
            m_raw->connectToHost(QHostAddress(ws(n).ip), kPeerPort);
            ASSERT_TRUE(m_raw->waitForConnected(5000));
        }
        m_raw->write(bytes);
        ASSERT_TRUE(m_raw->waitForBytesWritten(5000));
    }
    void registerAddress(const QString& ip) {
        data::Connection conn({m_clock, m_locale});
        conn.setProvider(QStringLiteral("Microsoft.JET.OLEDB.4.0"));
        ASSERT_TRUE(conn.open(m_db));
        ASSERT_TRUE(conn.execute(u"INSERT INTO CURRENTSESSIONS(IP) VALUES('" + ip + u"')"));
    }
    QStringList sessions() {
        data::Connection conn({m_clock, m_locale});
        conn.setProvider(QStringLiteral("Microsoft.JET.OLEDB.4.0"));
        EXPECT_TRUE(conn.open(m_db));
        data::Recordset rs;
        EXPECT_TRUE(rs.open(QStringLiteral("SELECT IP FROM CURRENTSESSIONS ORDER BY IP"), conn));
        QStringList out;
        while (!rs.eof()) {
            out << rs.field(0)->text(m_locale);
            EXPECT_TRUE(rs.moveNext());
        }
        return out;
    }

    QTemporaryDir m_dbDir;
    QString m_db = m_dbDir.filePath(QStringLiteral("Patients.mdb"));
    PinnedClock m_clock{naiveDateTime(QDate(2026, 3, 15), QTime(17, 45))};
    Locale m_locale = Locale::unitedKingdom();
    std::unique_ptr<QTcpSocket> m_raw;
    std::array<std::unique_ptr<Workstation>, 3> m_ws;
};

}  // namespace orlo::peer::test
