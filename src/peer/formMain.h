#pragma once
// formMain ("Orlo Connector"): the workstation's TCP mesh with the other
// running workstations. Loading it starts the listener on port 20050;
// ConnectAll connects to every workstation registered before this one, one
// every four ticks of Timer1 (a second each), once, without retry; those
// started later connect to this one. Every connection, made or accepted,
// sits in a slot and carries notices both ways. SendDataToAll writes one
// line to every connected slot and echoes it. Lines received go to the
// receive path (PeerReceiver).
//
// Only registered workstations are heard: a caller whose address has no
// row in CURRENTSESSIONS when it calls is closed at once, and the fact
// logged. With "ManualIPEnabled" "1" the listener binds "ManualIP" and
// outgoing connections leave from it, so that several workstations can
// share one machine (127.0.0.2, 127.0.0.3, ...) and callers are known by
// the address they registered.
//
// Connection errors show a box (the refused or absent peer its own text
// under "Code: 24061") and go to the error log; the console window
// (ConnectorConsole) shows the hosts and the echo.

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "common/AddinContext.h"
#include "common/CTimer.h"
#include "peer/PeerReceiver.h"
#include "platform/ui/MessageBox.h"

class QTcpServer;
class QTcpSocket;

namespace orlo::peer {

class PeerReceiver;

inline constexpr quint16 kPeerPort = 20050;
inline constexpr char16_t kConnectorCaption[] = u"Orlo Connector";
inline constexpr char16_t kConnectionRefusedText[] =
    u"An attempt was made to connect to another PC."
    u"The computer might not be available or it was shut down improperly. You "
    u"can continue working as normal, however, "
    u"that PC will not receive any data.";
inline constexpr char16_t kCodeTitle[] = u"Code: ";
inline constexpr char16_t kConnectionErrorsTitle[] = u"Connection Errors";
inline constexpr char16_t kErrorsTitle[] = u"Errors";
inline constexpr char16_t kConnectionErrorsHeading[] = u"Orlo Connection Errors:";
inline constexpr char16_t kConnectionStartupErrorsTitle[] = u"Connection Startup Errors";
inline constexpr char16_t kSendDataErrorsTitle[] = u"Send Data Errors";

// Bytes a slot keeps without a line end before it drops them.
inline constexpr qsizetype kReceiveBufferLimit = 1024 * 1024;

class formMain final : public QObject, public PeerNotices {
    Q_OBJECT

public:
    // Form_Load: starts listening (a listener that cannot start is logged;
    // the workstation still sends on the connections it makes).
    explicit formMain(AddinContext& ctx);
    // Form_Unload: every socket closed.
    ~formMain() override;
    formMain(const formMain&) = delete;
    formMain& operator=(const formMain&) = delete;

    // The listener's address: "ManualIP" when it is in use, else this
    // machine's first IPv4 network address (127.0.0.1 without a network).
    QString localAddress() const { return m_localAddress; }
    bool isListening() const;

    // Reads the peer list and starts the pacing; nothing when no other
    // workstation is registered.
    void ConnectAll(const QString& connectionString);
    // `line` without terminator: sent as UTF-8 with CR LF to every
    // connected slot, and echoed.
    void SendDataToAll(const QString& line) override;
    // Unloads the form: the listener and every connection closed.
    void frmMainClose();

    // The pacing timer, for the console and for tests that tick it.
    CTimer& Timer1() { return *m_timer1; }
    // The console's lists: one host per completed connection, the echo.
    struct Host {
        QString address;
        qintptr handle;
    };
    const std::vector<Host>& listHosts() const { return m_hosts; }
    const QString& textOutput() const { return m_textOutput; }
    const QString& textInput() const { return m_textInput; }
    // "Disconnect": closes the connections of the selected host rows.
    void menuDisconnect(const std::vector<int>& selectedRows);
    // Connected slots now.
    int connectedCount() const;

Q_SIGNALS:
    void hostsChanged();
    void echoed(const QString& text);

private:
    struct Slot {
        std::unique_ptr<QTcpSocket> socket;
        ReceiveBuffer buffer;
        qintptr handle = -1;
        bool handling = false;  // its lines are being handled (the dispatch yields)
    };

    void Form_Load();
    bool listen(const QHostAddress& address);
    int GetFreeSocket();
    void Timer1_Timer();
    void incoming(qintptr handle);
    void connected(int slot);
    void peerClosed(int slot);
    void socketError(int slot);
    void dataArrived(int slot);
    // Commits the fills the notices made, at most the commit delay after
    // the first of them.
    void commitFills();
    // The commit delay has passed: commits now, or, when it comes while
    // lines are being handled (inside a fill's yield), right after them,
    // so that no notice waits for the disk.
    void fillCommitDue();
    bool handlingLines() const;
    void removeHost(qintptr handle);
    void showAndLog(const QString& text, const QString& title, MsgIcon icon);
    void log(const QString& text);

    AddinContext& m_ctx;
    std::unique_ptr<QTcpServer> m_listener;
    QHostAddress m_outgoingFrom;  // null: the system chooses
    QString m_localAddress;
    std::vector<Slot> m_slots;  // index 0 unused: the listener's place
    QStringList HostTable;      // the peers' addresses, in the table's order
    int NextHost = 0;
    int TickCount = 0;
    std::unique_ptr<CTimer> m_timer1;
    std::vector<Host> m_hosts;
    QString m_textOutput;
    QString m_textInput;
    std::unique_ptr<PeerReceiver> m_receiver;
    QTimer m_fillCommit;  // single shot, started by the first fill waiting
    bool m_closed = false;
    bool m_commitDue = false;  // the delay passed while lines were handled
};

}  // namespace orlo::peer
