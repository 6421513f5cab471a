#pragma once
// Workstations in one process, each with its own application folder,
// settings file, desk and store on one shared database, each listening on
// its own loopback address (127.0.0.2, 127.0.0.3, ...). The pacing timer is
// pinned: tests tick it by hand.

#include <QTcpSocket>

#include "AddinWorkstation.h"
#include "TestDatabases.h"
#include "common/CTimer.h"
#include "host/Items.h"
#include "peer/formMain.h"
#include "platform/data/DatabaseFile.h"
#include "records/Schema.h"

namespace orlo::peer::test {

// A workstation of AddinWorkstation on the shared database, at its own address.
struct Workstation : orlo::test::AddinWorkstation {
    QString ip;

    formMain& form() { return *addinConnect.outAddIn()->peerForm(); }
    int count(const char16_t* name) { return *addinFolderNamed(name)->Items()->Count(); }
    QString log() const {
        return QString::fromUtf8(orlo::test::readFile(appPath(u"\\logs\\error.log")));
    }
    void tick(int n) {
        for (int i = 0; i < n; ++i) {
            form().Timer1().RaiseTimer();
        }
    }
};

class PeerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data::createDatabaseFile(m_db, records::sharedSchemaStatements(),
                                             data::DatabaseKind::Shared));
    }
    // Starts workstation 127.0.0.(n + 2) with the add-in loaded.
    Workstation& start(int n) {
        auto& w = m_ws[static_cast<size_t>(n)];
        w = std::make_unique<Workstation>();
        w->ip = QStringLiteral("127.0.0.%1").arg(n + 2);
        EXPECT_TRUE(w->setUp());
        w->storeText(kDefaultDbLocationValue, m_db);
        w->storeText(kManualIpValue, w->ip);
        EXPECT_TRUE(w->connectAddin());
        w->form().Timer1().setInterval(24 * 3600 * 1000);  // pinned
        return *w;
    }
    // Starts workstations 0..n-1, each connecting to those before it.
    void mesh(int n) {
        for (int i = 0; i < n; ++i) {
            start(i).tick(4 * i);
        }
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(
                orlo::test::waitFor([&] { return ws(i).form().connectedCount() == n - 1; }));
        }
    }
    Workstation& ws(int n) { return *m_ws[static_cast<size_t>(n)]; }

    // Bytes to workstation n from the registered address 127.0.0.9.
    void sendRaw(int n, const QByteArray& bytes) {
        if (!m_raw) {
            m_raw = std::make_unique<QTcpSocket>();
            ASSERT_TRUE(m_raw->bind(QHostAddress(u"127.0.0.9"_s)));
            orlo::test::rawExecAt(m_db, u"INSERT INTO CURRENTSESSIONS(IP) VALUES('127.0.0.9')"_s);
            m_raw->connectToHost(QHostAddress(ws(n).ip), kPeerPort);
            ASSERT_TRUE(m_raw->waitForConnected(5000));
        }
        m_raw->write(bytes);
        ASSERT_TRUE(m_raw->waitForBytesWritten(5000));
    }
    // The registered addresses, in order, joined by blanks.
    QString sessions() const {
        return orlo::test::rawValueAt(m_db,
                                      u"SELECT group_concat(IP, ' ') FROM (SELECT IP FROM "
                                      "CURRENTSESSIONS ORDER BY IP)"_s)
            .value_or(QString());
    }

    QTemporaryDir m_dbDir;
    QString m_db = m_dbDir.filePath(u"Patients.mdb"_s);
    std::unique_ptr<QTcpSocket> m_raw;
    std::array<std::unique_ptr<Workstation>, 3> m_ws;
};

}  // namespace orlo::peer::test
