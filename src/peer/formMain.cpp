#include "peer/formMain.h"

#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>

#include "common/ErrorReport.h"
#include "common/ItemHandlerSupport.h"
#include "common/basRegistry.h"
#include "peer/basLocalIP.h"
#include "platform/core/DoEvents.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Connection.h"
#include "platform/data/Recordset.h"

namespace orlo::peer {

namespace {

constexpr qint64 kReadChunk = 64 * 1024;
constexpr int kTicksBetweenAttempts = 4;
constexpr qint32 kTimer1Interval = 1000;

// Hands each accepted connection's handle to the form, which puts it in a
// slot of its own.
class Listener final : public QTcpServer {
public:
    explicit Listener(std::function<void(qintptr)> take) : m_take(std::move(take)) {}

protected:
    void incomingConnection(qintptr handle) override { m_take(handle); }

private:
    std::function<void(qintptr)> m_take;
};

// The socket layer's error codes: the refused or absent peer is 24061, as
// callers test it; the others keep Qt's order above 24000.
long socketErrorCode(QAbstractSocket::SocketError e) {
    switch (e) {
        case QAbstractSocket::ConnectionRefusedError:
        case QAbstractSocket::HostNotFoundError:
        case QAbstractSocket::SocketTimeoutError:
        case QAbstractSocket::NetworkError:
            return err::kConnectionRefused;
        default:
            return 24100 + static_cast<long>(e);
    }
}

// This machine's first IPv4 network address; 127.0.0.1 when it has none.
QString machineAddress() {
    for (const QHostAddress& a : QNetworkInterface::allAddresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) {
            return a.toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}

QString errorText(const QString& title, const Error& e) {
    return title + u"\r\n  " + e.description + u"  " + QString::number(e.number) + u"  " + e.source;
}

}  // namespace

formMain::formMain(AddinContext& ctx)
    : m_ctx(ctx), m_slots(1), m_receiver(std::make_unique<PeerReceiver>(ctx)) {
    setObjectName(QStringLiteral("formMain"));
    Form_Load();
}

formMain::~formMain() {
    frmMainClose();
}

void formMain::Form_Load() {
    const auto setting = [&](const char16_t* name) {
        return m_ctx.registry.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, name)
            .text(m_ctx.locale)
            .trimmed();
    };
    QHostAddress address(QHostAddress::AnyIPv4);
    m_localAddress = machineAddress();
    if (setting(kManualIpEnabledValue) == u"1") {
        const QString manual = setting(kManualIpValue);
        const QHostAddress pinned(manual);
        if (pinned.protocol() == QAbstractSocket::IPv4Protocol) {
            address = pinned;
            m_outgoingFrom = pinned;
            m_localAddress = pinned.toString();
        } else {
            log(u"The listener ignores \"ManualIP\" \"" + manual +
                u"\": it is not an IPv4 address; it listens on every address.");
        }
    }
    listen(address);
    m_timer1 = std::make_unique<CTimer>();
    m_timer1->setInterval(kTimer1Interval);
    connect(m_timer1.get(), &CTimer::Timer, this, &formMain::Timer1_Timer);
    m_fillCommit.setSingleShot(true);
    m_fillCommit.setInterval(kFillCommitDelayMs);
    connect(&m_fillCommit, &QTimer::timeout, this, &formMain::fillCommitDue);
}

bool formMain::listen(const QHostAddress& address) {
    m_listener = std::make_unique<Listener>([this](qintptr h) { incoming(h); });
    if (m_listener->listen(address, kPeerPort)) {
        return true;
    }
    log(u"The listener could not start on " + address.toString() + u":" +
        QString::number(kPeerPort) + u": " + m_listener->errorString() +
        u". This workstation receives no notices until it restarts.");
    return false;
}

bool formMain::isListening() const {
    return m_listener && m_listener->isListening();
}

int formMain::GetFreeSocket() {
    // A slot that is still connecting is not free: taking it over would
    // drop that attempt without a word.
    for (int i = 1; i < static_cast<int>(m_slots.size()); ++i) {
        Slot& s = m_slots[static_cast<size_t>(i)];
        if (s.socket->state() == QAbstractSocket::UnconnectedState && !s.handling) {
            s.buffer = {};
            s.handle = -1;
            return i;
        }
    }
    Slot s;
    s.socket = std::make_unique<QTcpSocket>();
    QTcpSocket* socket = s.socket.get();
    const int i = static_cast<int>(m_slots.size());
    connect(socket, &QTcpSocket::connected, this, [this, i] { connected(i); });
    connect(socket, &QTcpSocket::disconnected, this, [this, i] { peerClosed(i); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, i] { socketError(i); });
    connect(socket, &QTcpSocket::readyRead, this, [this, i] { dataArrived(i); });
    m_slots.push_back(std::move(s));
    return i;
}

void formMain::ConnectAll(const QString& connectionString) {
    ErrorTrap trap;  // error 5 passed over
    data::Connection conn(data::DataContext{m_ctx.clock, m_ctx.locale});
    data::Recordset rs;
    trap.step([&] { return openJetConnection(conn, connectionString); });
    trap.step([&] {
        return rs.open(peerListQuery(m_ctx.LocalIP), conn, data::kOpenKeyset,
                       data::kLockOptimistic);
    });
    const std::optional<qint64> count = trap.value([&] { return rs.recordCount(); });
    if (count && *count >= 1) {
        if (auto rows = trap.value([&] { return rs.getRows(); })) {
            HostTable.clear();
            for (const Variant& ip : rows->front()) {
                HostTable << ip.text(m_ctx.locale);
            }
            NextHost = 0;
            m_timer1->setEnabled(true);
            TickCount = 0;
        }
    }
    if (trap.failed()) {
        m_ctx.messageBoxes.show(
            errorText(QString::fromUtf16(kConnectionErrorsHeading), trap.error()), MsgButtons::OK,
            MsgIcon::Critical, QString::fromUtf16(kErrorsTitle));
        ignoreError(m_ctx.log().writeProviderErrors(conn.errors()), "the user has seen the box");
    }
    rs.close();
    ignoreError(conn.close(), "the peer list is read");
}

void formMain::Timer1_Timer() {
    ++TickCount;
    if (TickCount < kTicksBetweenAttempts) {
        return;
    }
    TickCount = 0;
    if (NextHost >= HostTable.size()) {
        m_timer1->setEnabled(false);
        return;
    }
    const QString ip = HostTable.at(NextHost);
    ++NextHost;
    const QHostAddress address(ip);
    const int slot = GetFreeSocket();
    QTcpSocket& socket = *m_slots[static_cast<size_t>(slot)].socket;
    Error failure{0, {}, QStringLiteral("formMain.Timer1_Timer")};
    if (address.protocol() != QAbstractSocket::IPv4Protocol) {
        failure =
            Error{err::kTypeMismatch, u"\"" + ip + u"\" is not an IPv4 address.", failure.source};
    } else if (!m_outgoingFrom.isNull() && !socket.bind(m_outgoingFrom)) {
        failure = Error{socketErrorCode(socket.error()), socket.errorString(), failure.source};
    }
    if (failure.number != 0) {
        showAndLog(errorText(QString::fromUtf16(kConnectionStartupErrorsTitle), failure),
                   QString::fromUtf16(kConnectionStartupErrorsTitle), MsgIcon::Critical);
        return;
    }
    socket.connectToHost(address, kPeerPort);
}

void formMain::incoming(qintptr handle) {
    const int slot = GetFreeSocket();
    QTcpSocket& socket = *m_slots[static_cast<size_t>(slot)].socket;
    if (!socket.setSocketDescriptor(handle)) {
        log(u"An incoming connection could not be taken: " + socket.errorString());
        return;
    }
    const QString from = socket.peerAddress().toString();
    const Result<bool> registered = isRegistered(m_ctx, from);
    if (!registered || !*registered) {
        socket.abort();
        log(u"A connection from " + from + u" was refused: " +
            (registered ? QStringLiteral("that address is not a registered workstation.")
                        : u"the registered workstations could not be read: " +
                              registered.error().description));
        return;
    }
    connected(slot);
}

void formMain::connected(int slot) {
    Slot& s = m_slots[static_cast<size_t>(slot)];
    // A notice is one short line: it goes out at once instead of waiting
    // for the acknowledgement of the previous one (no Nagle delay).
    s.socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    s.handle = s.socket->socketDescriptor();
    m_hosts.push_back({s.socket->peerAddress().toString(), s.handle});
    Q_EMIT hostsChanged();
}

void formMain::removeHost(qintptr handle) {
    const auto it = std::find_if(m_hosts.begin(), m_hosts.end(),
                                 [handle](const Host& h) { return h.handle == handle; });
    if (it != m_hosts.end()) {
        m_hosts.erase(it);
        Q_EMIT hostsChanged();
    }
}

void formMain::peerClosed(int slot) {
    Slot& s = m_slots[static_cast<size_t>(slot)];
    removeHost(s.handle);
    s.handle = -1;
    if (s.socket->state() != QAbstractSocket::UnconnectedState) {
        s.socket->abort();
    }
}

void formMain::socketError(int slot) {
    QTcpSocket& socket = *m_slots[static_cast<size_t>(slot)].socket;
    const QAbstractSocket::SocketError e = socket.error();
    if (e == QAbstractSocket::RemoteHostClosedError || m_closed) {
        return;  // the peer-closed notification handles it
    }
    const long code = socketErrorCode(e);
    if (code == err::kConnectionRefused) {
        showAndLog(QString::fromUtf16(kConnectionRefusedText),
                   QString::fromUtf16(kCodeTitle) + QString::number(code), MsgIcon::Exclamation);
        return;
    }
    const QString response =
        socket.peerName().isEmpty() ? socket.peerAddress().toString() : socket.peerName();
    showAndLog(QString::fromUtf16(kConnectionErrorsTitle) + u"\r\n  " + socket.errorString() +
                   u". Code: " + QString::number(code) + u". Response: " + response,
               QString::fromUtf16(kConnectionErrorsTitle), MsgIcon::Exclamation);
    peerClosed(slot);
}

void formMain::dataArrived(int slot) {
    const QPointer<formMain> alive(this);
    const auto at = [this, slot]() -> Slot& { return m_slots[static_cast<size_t>(slot)]; };
    const QString from = at().socket->peerAddress().toString();
    while (at().socket->bytesAvailable() > 0) {
        m_receiver->append(at().buffer, at().socket->read(kReadChunk), from, kReceiveBufferLimit);
    }
    // A line's fill yields to the event loop; data that arrives meanwhile
    // joins the buffer and is handled by this loop, in order.
    if (at().handling) {
        return;
    }
    at().handling = true;
    QByteArray line;
    while (PeerReceiver::takeLine(at().buffer, line)) {
        m_receiver->handleLine(line, from);
        if (!alive || m_closed) {
            return;
        }
    }
    at().handling = false;
    if (m_commitDue && !handlingLines()) {
        m_commitDue = false;
        commitFills();
    }
    // The group is committed within the delay of its first waiting fill,
    // between notices, not restarted by each: under steady traffic the
    // fills still reach the disk that soon, and never inside a fill.
    if (m_receiver->fillsWaiting() && !m_fillCommit.isActive()) {
        m_fillCommit.start();
    }
}

bool formMain::handlingLines() const {
    return std::any_of(m_slots.begin(), m_slots.end(), [](const Slot& s) { return s.handling; });
}

void formMain::fillCommitDue() {
    if (handlingLines()) {
        m_commitDue = true;
        return;
    }
    commitFills();
}

void formMain::commitFills() {
    if (Status committed = m_receiver->commitFills(); !committed) {
        // The group was rolled back; the rows are in the shared database, so
        // the next start's resync fills the items again.
        log(u"Items filled from peer notices could not be written to the item store: " +
            committed.error().description);
    }
}

void formMain::SendDataToAll(const QString& text) {
    const QString line = text + u"\r\n";
    m_textInput.clear();
    const QString echo = u"[" + m_localAddress + u"] " + line;
    m_textOutput += echo;
    Q_EMIT echoed(echo);
    const QByteArray bytes = line.toUtf8();
    const QPointer<formMain> alive(this);
    for (size_t i = 1; i < m_slots.size(); ++i) {
        QTcpSocket& socket = *m_slots[i].socket;
        if (socket.state() != QAbstractSocket::ConnectedState) {
            continue;
        }
        if (socket.write(bytes) != bytes.size()) {
            const Error e{socketErrorCode(socket.error()), socket.errorString(),
                          QStringLiteral("formMain.SendDataToAll")};
            showAndLog(errorText(QString::fromUtf16(kSendDataErrorsTitle), e),
                       QString::fromUtf16(kSendDataErrorsTitle), MsgIcon::Critical);
            return;
        }
        // Handed to the system now rather than when the event loop next
        // runs: the save that sends goes on to store its own item, and the
        // peers need not wait for that. What the system cannot take yet
        // stays buffered and goes out as the socket drains (false then is
        // no failure).
        socket.flush();
        DoEvents();
        if (!alive || m_closed) {
            return;
        }
    }
}

void formMain::menuDisconnect(const std::vector<int>& selectedRows) {
    std::vector<qintptr> handles;
    for (const int row : selectedRows) {
        if (row >= 0 && row < static_cast<int>(m_hosts.size())) {
            handles.push_back(m_hosts[static_cast<size_t>(row)].handle);
        }
    }
    for (size_t i = 1; i < m_slots.size(); ++i) {
        Slot& s = m_slots[i];
        if (s.socket->state() == QAbstractSocket::ConnectedState &&
            std::find(handles.begin(), handles.end(), s.handle) != handles.end()) {
            peerClosed(static_cast<int>(i));
        }
    }
}

int formMain::connectedCount() const {
    int n = 0;
    for (size_t i = 1; i < m_slots.size(); ++i) {
        n += m_slots[i].socket->state() == QAbstractSocket::ConnectedState ? 1 : 0;
    }
    return n;
}

void formMain::frmMainClose() {
    if (m_closed) {
        return;
    }
    m_closed = true;
    if (m_timer1) {
        m_timer1->setEnabled(false);
    }
    m_fillCommit.stop();
    commitFills();
    if (m_listener) {
        m_listener->close();
    }
    for (size_t i = 1; i < m_slots.size(); ++i) {
        m_slots[i].socket->disconnect(this);
        m_slots[i].socket->abort();
    }
    if (m_ctx.peers == this) {
        m_ctx.peers = nullptr;
    }
    m_hosts.clear();
    Q_EMIT hostsChanged();
}

void formMain::showAndLog(const QString& text, const QString& title, MsgIcon icon) {
    m_ctx.messageBoxes.show(text, MsgButtons::OK, icon, title);
    log(text);
}

void formMain::log(const QString& text) {
    ignoreError(m_ctx.log().WriteErrorLog(text), "a socket failure has nobody else to tell");
}

}  // namespace orlo::peer
