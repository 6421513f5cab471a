// The peer network with two or three workstations in one process: the wire
// format, the receive path's framing and dispatch, the session rows, who is
// heard, the pacing of the first connections, and a million malformed lines.

#include <QTcpServer>
#include <random>

#include "PeerFixture.h"
#include "peer/PeerReceiver.h"
#include "peer/basLocalIP.h"

namespace orlo::peer::test {
namespace {

class PeerTest : public PeerFixture {
protected:
    // A contact or visit saved in workstation w's item window, as a user saves it.
    static void save(Workstation& w, const char16_t* folder,
                     const std::vector<std::pair<QString, Variant>>& values) {
        auto f = w.addinFolderNamed(folder);
        ASSERT_TRUE(w.explorer->SelectFolder(f));
        auto item = *f->Items()->Add();
        for (const auto& [name, value] : values) {
            ASSERT_TRUE(item->setUserProperty(name, value)) << name.toStdString();
        }
        ASSERT_TRUE(item->Display());
        ASSERT_TRUE(item->Save());
    }
    static void savePatient(Workstation& w, const QString& last, const QString& city,
                            const QString& notes = {}) {
        save(w, kPatientsFolderName,
             {{u"Last Name"_s, last},
              {u"First Name"_s, u"John"_s},
              {u"DOB"_s, u"01/02/1970"_s},
              {u"City1"_s, city},
              {u"NotesPage1"_s, notes}});
    }
    // A property of w's contact with this Customer ID; "<none>" without one.
    static QString patient(Workstation& w, const QString& id, const QString& property) {
        auto item =
            w.addinFolderNamed(kPatientsFolderName)->Items()->Find(u"[Customer ID] = "_s + id);
        return item && *item ? (*item)->userProperty(property)->text(Locale::unitedKingdom())
                             : u"<none>"_s;
    }
    // A patient notice: key, last name and city, the rest empty.
    static QByteArray notice(const char* op, const char* id, const char* last, const char* city) {
        QByteArray line = QByteArray("P,") + op + ',' + id + ',' + last + ",John,01/02/1970";
        for (int v = 5; v <= 50; ++v) {
            line += ',' + QByteArray(v == 15 ? city : "");
        }
        return line + "\r\n";
    }
};

TEST_F(PeerTest, PeersAreDialledOneEveryFourTicksAndGetSavesByteForByte) {
    std::array<QTcpServer, 2> peers;
    for (size_t i = 0; i < peers.size(); ++i) {
        ASSERT_TRUE(
            peers[i].listen(QHostAddress(QStringLiteral("127.0.0.%1").arg(5 + i)), kPeerPort));
    }
    // The third is registered but not running.
    orlo::test::rawExecAt(
        m_db, u"INSERT INTO CURRENTSESSIONS(IP) VALUES('127.0.0.5'),('127.0.0.6'),('127.0.0.7')"_s);
    Workstation& w = start(0);
    const auto accepted = [&](size_t i) {
        return orlo::test::waitFor([&] { return peers[i].hasPendingConnections(); }, 500);
    };
    for (size_t i : {0u, 1u}) {
        w.tick(3);
        EXPECT_FALSE(accepted(i));
        w.tick(1);
        EXPECT_TRUE(accepted(i));
    }
    w.tick(4);  // the absent one: one box
    ASSERT_TRUE(orlo::test::waitFor([&] { return !w.boxes.shown().empty(); }));
    EXPECT_EQ(w.boxes.shown().front().title, u"Code: 24061"_s);
    EXPECT_EQ(w.boxes.shown().front().text,
              u"An attempt was made to connect to another PC.The computer might not be available "
              u"or it was shut down improperly. You can continue working as normal, however, "
              u"that PC will not receive any data."_s);
    w.tick(4);  // the list is done: the timer stops, nobody is retried
    EXPECT_FALSE(w.form().Timer1().Enabled());
    w.tick(8);
    orlo::test::waitFor([] { return false; }, 200);
    EXPECT_EQ(w.boxes.shown().size(), 1u);

    std::unique_ptr<QTcpSocket> in(peers[1].nextPendingConnection());
    EXPECT_EQ(in->peerAddress().toString(), u"127.0.0.2"_s);  // leaves from "ManualIP"
    const auto received = [&](const QByteArray& expected) {
        QByteArray got;
        orlo::test::waitFor([&] { return (got += in->readAll()).size() >= expected.size(); });
        EXPECT_EQ(got, expected);
    };
    savePatient(w, u"Smith"_s, u"Zürich"_s);
    received(
        "P,1,1,Smith,John,01/02/1970,,,,,,,,,,,Z\xc3\xbcrich,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,"
        ",15/03/2026 17:45:00,15/03/2026 17:45:00,NO\r\n");
    const QDateTime at = naiveDateTime(QDate(2026, 4, 2), QTime(9, 30));
    save(w, kSchedulerFolderName,
         {{u"Start"_s, at},
          {u"End"_s, at.addSecs(1800)},
          {u"sPTID"_s, u"1"_s},
          {u"REASON"_s, u"Check-up"_s}});
    received(
        "S,1,1,02/04/2026 09:30:00,02/04/2026 10:00:00,,,,,Check-up,,,,,"
        "15/03/2026 17:45:00,15/03/2026 17:45:00,1,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\r\n");
}

TEST_F(PeerTest, SavesShowOnTheOthersIntactAndEveryCompleteLineIsHandled) {
    mesh(3);
    const QString notes = u"Flat 2, \"The Mews\"\r\nHigh St"_s;
    savePatient(ws(0), u"O'Brien"_s, u"Leeds"_s, notes);
    // Workstation 1 has the patient open while a second save, after an edit, arrives.
    ASSERT_TRUE(
        orlo::test::waitFor([&] { return patient(ws(1), u"1"_s, u"City1"_s) == u"Leeds"_s; }));
    ASSERT_TRUE(
        (*ws(1).addinFolderNamed(kPatientsFolderName)->Items()->Find(u"[Customer ID] = 1"_s))
            ->Display());
    savePatient(ws(0), u"O'Brien"_s, u"York"_s, notes);
    for (int n : {1, 2}) {
        ASSERT_TRUE(
            orlo::test::waitFor([&] { return patient(ws(n), u"1"_s, u"City1"_s) == u"York"_s; }));
        EXPECT_EQ(patient(ws(n), u"1"_s, u"NotesPage1"_s), notes);
        EXPECT_EQ(ws(n).count(kPatientsFolderName), 1);
        EXPECT_TRUE(ws(n).form().textOutput().isEmpty());  // the receiver's save sent nothing
    }

    // Raw lines to workstation 1: every complete line is handled however the reads fall.
    Workstation& w = ws(1);
    const auto city = [&](const char* id) {
        return patient(w, QString::fromLatin1(id), u"City1"_s);
    };
    const QByteArray a = notice("2", "7", "Unknown", "Hull");  // "2" for an unknown patient adds it
    sendRaw(1, a.left(40));
    orlo::test::waitFor([] { return false; }, 100);
    EXPECT_EQ(city("7"), u"<none>"_s);  // half a line waits
    sendRaw(1, a.mid(40));
    ASSERT_TRUE(orlo::test::waitFor([&] { return city("7") == u"Hull"_s; }));
    // Two and three in one read; "1" for a known patient refreshes it.
    sendRaw(1, notice("1", "7", "Unknown", "Ripon") + notice("1", "8", "Second", "Leeds"));
    sendRaw(1, notice("2", "9", "Third", "A") + notice("2", "10", "Fourth", "B") +
                   notice("2", "8", "Second", "Selby"));
    ASSERT_TRUE(orlo::test::waitFor([&] { return city("8") == u"Selby"_s; }));
    EXPECT_EQ(city("7"), u"Ripon"_s);
    EXPECT_EQ(w.count(kPatientsFolderName), 5);

    // Lines that change nothing: other kinds and actions, dropped quietly;
    // broken ones, dropped and logged; a quote left open takes what follows
    // into its value up to the buffer's bound, which drops it all.
    const QByteArray quiet = "X,1,7\r\np,1,7\r\nP,3,7\r\nP,\r\nS,0,1\r\n\r\n";
    sendRaw(1, quiet + "P,1,7,too few\r\n" + notice("1", "x7", "Bad key", "X") +
                   "P,1,\xff\xfe\r\n" + notice("1", "7", "\"Open\"ed", "X") +
                   notice("1", "7", "\"Open", "X") + notice("1", "7", "Gone", "X") +
                   QByteArray(kReceiveBufferLimit, 'A'));
    const QString from = u"] Peer line from 127.0.0.9 dropped: "_s;
    ASSERT_TRUE(orlo::test::waitFor(
        [&] { return w.log().contains(from + u"more than 1048576 bytes without a line end"_s); }));
    sendRaw(1, "AAAA\r\n" + notice("2", "7", "Unknown", "Whitby"));
    ASSERT_TRUE(orlo::test::waitFor([&] { return city("7") == u"Whitby"_s; }));
    EXPECT_EQ(w.count(kPatientsFolderName), 5);
    EXPECT_EQ(w.log().split(u"\r\n"_s).filter(from).size(), 5) << w.log().toStdString();
    EXPECT_TRUE(w.log().contains(from + u"4 fields where the notice has 52: P,1,7,too few"_s));
}

TEST_F(PeerTest, OneRowPerRunningWorkstationAndOnlyTheyAreHeard) {
    Workstation& w = start(0);
    start(1).tick(4);
    RegisterSession(w.ctx(), w.ctx().DbLocation, w.ctx().LocalIP);  // again: replaced
    EXPECT_EQ(sessions(), u"127.0.0.2 127.0.0.3"_s);

    QTcpSocket stranger;  // no row: closed at once, logged
    ASSERT_TRUE(stranger.bind(QHostAddress(u"127.0.0.8"_s)));
    stranger.connectToHost(QHostAddress(w.ip), kPeerPort);
    ASSERT_TRUE(
        orlo::test::waitFor([&] { return stranger.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(
        w.log().endsWith(u"] A connection from 127.0.0.8 was refused: that address is "
                         u"not a registered workstation.\r\n"_s));
    ASSERT_TRUE(orlo::test::waitFor([&] { return w.form().listHosts().size() == 1; }));

    // Shut-down deletes its own row only; without a registration, nothing.
    m_ws[1].reset();
    EXPECT_EQ(sessions(), u"127.0.0.2"_s);
    ASSERT_TRUE(orlo::test::waitFor([&] { return w.form().listHosts().empty(); }));
    w.ctx().LocalIP.clear();
    UnregisterSession(w.ctx(), w.ctx().DbLocation);
    EXPECT_EQ(sessions(), u"127.0.0.2"_s);
}

// Every property of every item in `folder`, as text.
QStringList snapshot(Workstation& w, const char16_t* folder) {
    QStringList out;
    auto items = w.addinFolderNamed(folder)->Items();
    for (int i = 1; i <= *items->Count(); ++i) {
        auto item = *items->Item(i);
        for (const QString& name : item->userPropertyNames()) {
            out << name + u"=" + item->userProperty(name)->text(Locale::unitedKingdom());
        }
    }
    return out;
}

QByteArray validLine(char kind, const char* key, int fields) {
    QByteArray line = QByteArray(1, kind) + ",2," + key;
    for (int f = 3; f < fields; ++f) {
        line += ",v" + QByteArray::number(f);
    }
    return line;
}

// A million malformed lines through the receive path, fed in reads of
// random size: no crash, no box, and neither item changes.
TEST_F(PeerTest, AMillionMalformedLinesChangeNothing) {
    Workstation& w = start(0);
    PeerReceiver receiver(w.ctx());
    const QByteArray patient = validLine('P', "1", 52);
    const QByteArray visit = validLine('S', "1", 58);
    receiver.handleLine(patient, u"127.0.0.9"_s);
    receiver.handleLine(visit, u"127.0.0.9"_s);
    const QStringList patients = snapshot(w, kPatientsFolderName);
    const QStringList visits = snapshot(w, kSchedulerFolderName);
    ASSERT_GT(patients.size(), 40);
    ASSERT_GT(visits.size(), 40);
    // Without a logs folder every entry fails at once: the fuzz stays fast.
    ASSERT_TRUE(QDir(w.appFolder.path(u"\\logs"_s)).removeRecursively());

    std::mt19937 random(20260315);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto malformed = [&]() -> QByteArray {
        const QByteArray& base = pick(2) == 0 ? patient : visit;
        const qsizetype lastComma = base.lastIndexOf(',');
        switch (pick(5)) {
            case 0:  // cut before its last field
                return base.left(pick(static_cast<int>(lastComma)));
            case 1:  // kind or action doubled
                return pick(2) == 0 ? QByteArray(base.left(1) + base)
                                    : QByteArray(base.left(3) + base.mid(2));
            case 2: {  // binary
                QByteArray b(pick(300), '\0');
                for (char& c : b) {
                    c = static_cast<char>(random());
                }
                return b;
            }
            case 3:  // a quoted value closed too early
                return base.left(lastComma) + ",\"v\"x" + base.mid(lastComma);
            default:  // huge, now and then
                return pick(2000) == 0 ? QByteArray(pick(2 * kReceiveBufferLimit), 'v')
                                       : "\r" + base.left(pick(40));
        }
    };
    ReceiveBuffer buffer;
    QByteArray pending;
    QByteArray line;
    for (int n = 0; n < 1'000'000; ++n) {
        pending += malformed() + "\r\n";
        if (pending.size() > 4096 || n == 999'999) {
            receiver.append(buffer, pending, u"127.0.0.9"_s, kReceiveBufferLimit);
            pending.clear();
            while (PeerReceiver::takeLine(buffer, line)) {
                receiver.handleLine(line, u"127.0.0.9"_s);
            }
        }
    }
    EXPECT_EQ(snapshot(w, kPatientsFolderName), patients);
    EXPECT_EQ(snapshot(w, kSchedulerFolderName), visits);
    EXPECT_TRUE(w.boxes.shown().empty());
    EXPECT_TRUE(w.ctx().PatientItemSaveEnabled && w.ctx().ApptItemSaveEnabled);
}

}  // namespace
}  // namespace orlo::peer::test
