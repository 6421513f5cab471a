// The peer network with two or three workstations in one process on
// 127.0.0.x: the wire format, the receive path's framing and dispatch, the
// registry of running workstations, who is heard, and the pacing of the
// first connections.

#include <QTcpServer>

#include "PeerFixture.h"
#include "common/PeerNotice.h"
#include "host/Items.h"
#include "peer/basLocalIP.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::peer::test {
namespace {

class PeerTest : public PeerFixture {
protected:
    // A contact saved in workstation w's item window, as a user saves it.
    std::shared_ptr<host::Item> savePatient(Workstation& w, const QString& last,
                                            const std::vector<std::pair<QString, QString>>& more) {
        auto folder = w.folderOf(kPatientsFolderName);
        EXPECT_TRUE(w.explorer->SelectFolder(folder));
        auto item = *folder->Items()->Add();
        set(item, {{QStringLiteral("Last Name"), last},
                   {QStringLiteral("First Name"), QStringLiteral("John")},
                   {QStringLiteral("DOB"), QStringLiteral("01/02/1970")}});
        set(item, more);
        EXPECT_TRUE(item->Display());
        EXPECT_TRUE(item->Save());
        return item;
    }
    static void set(const std::shared_ptr<host::Item>& item,
                    const std::vector<std::pair<QString, QString>>& values) {
        for (const auto& [name, value] : values) {
            EXPECT_TRUE(item->setUserProperty(name, Variant(value))) << name.toStdString();
        }
    }
    // The text of `property` of w's contact with Customer ID `id`; "<none>"
    // without such a contact.
    static QString patientValue(Workstation& w, const QString& id, const QString& property) {
        auto item = w.folderOf(kPatientsFolderName)->Items()->Find(u"[Customer ID] = " + id);
        if (!item || !*item) {
            return QStringLiteral("<none>");
        }
        return (*item)->userProperty(property)->text(Locale::unitedKingdom());
    }
    static int count(Workstation& w, const char16_t* folder) {
        return *w.folderOf(folder)->Items()->Count();
    }
    // A patient notice line with `id`, last name and city; the rest empty.
    static QByteArray notice(const char* op, const char* id, const char* last, const char* city) {
        QByteArray line = QByteArray("P,") + op + ',' + id + ',' + last + ",John,01/02/1970";
        for (int v = 5; v <= 50; ++v) {
            line += ',';
            line += v == 15 ? QByteArray(city) : QByteArray();
        }
        return line + "\r\n";
    }
};

TEST_F(PeerTest, ValuesAreQuotedOnlyWhenTheyMustBe) {
    struct Case {
        QStringList values;
        QString line;
    };
    const std::vector<Case> cases = {
        {{u"17"_s, u"Smith"_s, QString(), u"O'Brien"_s}, u"P,1,17,Smith,,O'Brien"_s},
        {{u"Flat 2, High St"_s}, u"P,1,\"Flat 2, High St\""_s},
        {{u"say \"hi\""_s, u"x"_s}, u"P,1,\"say \"\"hi\"\"\",x"_s},
        {{u"line1\r\nline2"_s, u"a\rb"_s, u"c\nd"_s},
         u"P,1,\"line1\r\nline2\",\"a\rb\",\"c\nd\""_s},
        {{u"\""_s, u","_s, QString()}, u"P,1,\"\"\"\",\",\","_s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(peerNoticeLine(u"P", 1, c.values), c.line);
        EXPECT_EQ(splitPeerNotice(c.line), QStringList({u"P"_s, u"1"_s}) + c.values)
            << c.line.toStdString();
    }
    for (const QString& broken : {u"P,1,\"open"_s, u"P,1,\"a\"b,c"_s, u"P,1,\"a\"\""_s}) {
        EXPECT_EQ(splitPeerNotice(broken), std::nullopt) << broken.toStdString();
    }
}

TEST_F(PeerTest, ASavedPatientAndVisitGoOutByteForByte) {
    // A listening peer of our own, registered before the workstation starts.
    QTcpServer peer;
    ASSERT_TRUE(peer.listen(QHostAddress(u"127.0.0.9"_s), kPeerPort));
    registerAddress(u"127.0.0.9"_s);
    Workstation& w = start(0);
    w.tick(4);
    ASSERT_TRUE(orlo::test::waitFor([&] { return peer.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> in(peer.nextPendingConnection());
    EXPECT_EQ(in->peerAddress().toString(), u"127.0.0.2"_s);  // leaves from "ManualIP"
    QByteArray got;
    const auto receive = [&](const QByteArray& expected) {
        EXPECT_TRUE(orlo::test::waitFor([&] {
            got += in->readAll();
            return got.size() >= expected.size();
        }));
        EXPECT_EQ(got, expected);
        got.clear();
    };

    savePatient(w, u"Smith"_s, {{u"City1"_s, u"Zürich"_s}});
    receive(
        "P,1,1,Smith,John,01/02/1970,,,,,,,,,,,Z\xc3\xbcrich,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,"
        ",15/03/2026 17:45:00,15/03/2026 17:45:00,NO\r\n");

    auto scheduler = w.folderOf(kSchedulerFolderName);
    ASSERT_TRUE(w.explorer->SelectFolder(scheduler));
    auto visit = *scheduler->Items()->Add();
    const QDateTime at = naiveDateTime(QDate(2026, 4, 2), QTime(9, 30));
    ASSERT_TRUE(visit->setUserProperty(u"Start"_s, Variant(at)));
    ASSERT_TRUE(visit->setUserProperty(u"End"_s, Variant(at.addSecs(1800))));
    ASSERT_TRUE(visit->setUserProperty(u"sPTID"_s, Variant(u"1"_s)));
    ASSERT_TRUE(visit->setUserProperty(u"REASON"_s, Variant(u"Check-up"_s)));
    ASSERT_TRUE(visit->Display());
    ASSERT_TRUE(visit->Save());
    receive(
        "S,1,1,02/04/2026 09:30:00,02/04/2026 10:00:00,,,,,Check-up,,,,,"
        "15/03/2026 17:45:00,15/03/2026 17:45:00,1,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,\r\n");
    // The console echoes both lines after the workstation's address.
    EXPECT_TRUE(w.form().textOutput().startsWith(u"[127.0.0.2] P,1,1,Smith,"_s));
    EXPECT_EQ(w.form().textOutput().count(u"\r\n"_s), 2);
}

TEST_F(PeerTest, EverySaveShowsOnTheOtherTwoIntactAndNeverEchoes) {
    mesh(3);
    const QString address = u"Flat 2, \"The Mews\"\r\nHigh St"_s;
    savePatient(ws(0), u"O'Brien"_s, {{u"City1"_s, u"Leeds"_s}, {u"NotesPage1"_s, address}});
    for (int n : {1, 2}) {
        ASSERT_TRUE(orlo::test::waitFor([&] { return count(ws(n), kPatientsFolderName) == 1; }))
            << ws(n).log().toStdString() << ws(0).form().textOutput().toStdString();
        EXPECT_EQ(patientValue(ws(n), u"1"_s, u"Last Name"_s), u"O'Brien"_s);
        EXPECT_EQ(patientValue(ws(n), u"1"_s, u"NotesPage1"_s), address);
        EXPECT_EQ(patientValue(ws(n), u"1"_s, u"City1"_s), u"Leeds"_s);
    }
    // A second save after an edit refreshes the same item everywhere.
    auto item = ws(0).folderOf(kPatientsFolderName)->Items()->Find(u"[PatientID] = 1"_s);
    ASSERT_TRUE(item && *item);
    ASSERT_TRUE((*item)->setUserProperty(u"City1"_s, Variant(u"York"_s)));
    ASSERT_TRUE((*item)->Save());
    for (int n : {1, 2}) {
        ASSERT_TRUE(orlo::test::waitFor(
            [&] { return patientValue(ws(n), u"1"_s, u"City1"_s) == u"York"_s; }));
        EXPECT_EQ(count(ws(n), kPatientsFolderName), 1);
        // The receivers' own saves sent nothing, and wrote nothing.
        EXPECT_TRUE(ws(n).form().textOutput().isEmpty());
        EXPECT_TRUE(ws(n).ctx().PatientItemSaveEnabled);
        EXPECT_TRUE(ws(n).boxes.shown().empty());
    }
    orlo::test::waitFor([] { return false; }, 200);  // nothing comes back to the sender
    EXPECT_EQ(count(ws(0), kPatientsFolderName), 1);
    EXPECT_EQ(ws(0).form().textOutput().count(u"[127.0.0.2] P,"_s), 2);
}

TEST_F(PeerTest, EveryCompleteLineIsHandledHoweverTheReadsFall) {
    mesh(2);
    Workstation& w = ws(1);
    const auto city = [&](const char* id) {
        return patientValue(w, QString::fromLatin1(id), u"City1"_s);
    };
    const QByteArray a = notice("2", "7", "Unknown", "Hull");  // "2" for an unknown patient adds it
    sendRaw(1, a.left(40));
    orlo::test::waitFor([] { return false; }, 100);
    EXPECT_EQ(count(w, kPatientsFolderName), 0);  // half a line waits
    sendRaw(1, a.mid(40));
    ASSERT_TRUE(orlo::test::waitFor([&] { return count(w, kPatientsFolderName) == 1; }));
    EXPECT_EQ(city("7"), u"Hull"_s);

    // Two and three notices in one read; "1" for a known patient refreshes it.
    sendRaw(1, notice("1", "7", "Unknown", "Ripon") + notice("1", "8", "Second", "Leeds"));
    ASSERT_TRUE(orlo::test::waitFor([&] { return count(w, kPatientsFolderName) == 2; }));
    EXPECT_EQ(city("7"), u"Ripon"_s);
    sendRaw(1, notice("2", "9", "Third", "A") + notice("2", "10", "Fourth", "B") +
                   notice("2", "8", "Second", "Selby"));
    ASSERT_TRUE(orlo::test::waitFor([&] { return city("8") == u"Selby"_s; }));
    EXPECT_EQ(count(w, kPatientsFolderName), 4);

    // Lines that change nothing: other kinds and actions (dropped quietly),
    // and broken ones (dropped and logged); then an overlong line.
    const QByteArray quiet = "X,1,7\r\np,1,7\r\nP,3,7\r\nP,\r\nS,0,1\r\n\r\n";
    // A quote left open takes the lines after it into its value, up to the
    // buffer's bound.
    const QByteArray broken = "P,1,7,too few\r\n" + notice("1", "x7", "Bad key", "X") +
                              "P,1,\xff\xfe\r\n" + notice("1", "7", "\"Open\"ed", "X") +
                              notice("1", "7", "\"Open", "X") + notice("1", "7", "Swallowed", "X");
    sendRaw(1, quiet + broken + QByteArray(kReceiveBufferLimit, 'A'));
    ASSERT_TRUE(orlo::test::waitFor([&] { return w.log().contains(u"without a line end"_s); }));
    sendRaw(1, "AAAA\r\n" + notice("2", "7", "Unknown", "Whitby"));
    ASSERT_TRUE(orlo::test::waitFor([&] { return city("7") == u"Whitby"_s; }))
        << w.log().toStdString();
    EXPECT_EQ(count(w, kPatientsFolderName), 4);
    const QString log = w.log();
    for (const char* entry :
         {"dropped: 4 fields where the notice has 52: P,1,7,too few",
          "dropped: a quoted value is not closed properly: P,1,7,\"Open\"ed,",
          "dropped: the key is not a number: P,1,x7,", "dropped: not UTF-8 text",
          "dropped: more than 1048576 bytes without a line end"}) {
        EXPECT_TRUE(log.contains(QString::fromLatin1("Peer line from 127.0.0.9 ") +
                                 QString::fromLatin1(entry)))
            << entry << "\n"
            << log.toStdString();
    }
    EXPECT_EQ(log.count(u"Peer line"_s), 5) << log.toStdString();
    EXPECT_TRUE(w.boxes.shown().empty());
}

TEST_F(PeerTest, OneRowPerRunningWorkstationAndOnlyTheyAreHeard) {
    Workstation& w = start(0);
    start(1).tick(4);
    EXPECT_EQ(sessions(), QStringList({u"127.0.0.2"_s, u"127.0.0.3"_s}));
    // Registering again replaces the row.
    RegisterSession(w.ctx(), w.ctx().DbLocation, w.ctx().LocalIP);
    EXPECT_EQ(sessions(), QStringList({u"127.0.0.2"_s, u"127.0.0.3"_s}));
    EXPECT_EQ(peerListQuery(u"127.0.0.2"_s),
              u"SELECT IP, CURRSESSIONID, PORT_IN, PORT_OUT FROM CURRENTSESSIONS WHERE IP <> "
              u"'127.0.0.2'"_s);

    // An address without a row is closed at once and logged.
    QTcpSocket stranger;
    ASSERT_TRUE(stranger.bind(QHostAddress(u"127.0.0.8"_s)));
    stranger.connectToHost(QHostAddress(w.ip), kPeerPort);
    ASSERT_TRUE(
        orlo::test::waitFor([&] { return stranger.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(w.log().contains(
        u"A connection from 127.0.0.8 was refused: that address is not a registered workstation."_s));
    ASSERT_TRUE(orlo::test::waitFor([&] { return w.form().connectedCount() == 1; }));
    EXPECT_EQ(w.form().listHosts().size(), 1u);

    // Shut-down deletes only its own row; without a registration, nothing.
    stop(1);
    EXPECT_EQ(sessions(), QStringList({u"127.0.0.2"_s}));
    ASSERT_TRUE(orlo::test::waitFor([&] { return w.form().listHosts().empty(); }));
    w.ctx().LocalIP.clear();
    UnregisterSession(w.ctx(), w.ctx().DbLocation);
    EXPECT_EQ(sessions(), QStringList({u"127.0.0.2"_s}));
    EXPECT_TRUE(w.boxes.shown().empty());
}

TEST_F(PeerTest, ConnectAllPacesOnePeerEveryFourTicksOnce) {
    std::array<QTcpServer, 2> listening;
    for (size_t i = 0; i < listening.size(); ++i) {
        const QString ip = QStringLiteral("127.0.0.%1").arg(5 + i);
        ASSERT_TRUE(listening[i].listen(QHostAddress(ip), kPeerPort));
        registerAddress(ip);
    }
    registerAddress(u"127.0.0.7"_s);  // registered, not running
    Workstation& w = start(0);
    EXPECT_TRUE(w.form().Timer1().Enabled());
    const auto accepted = [&](size_t i) {
        return orlo::test::waitFor([&] { return listening[i].hasPendingConnections(); }, 500);
    };
    w.tick(3);
    EXPECT_FALSE(accepted(0));
    w.tick(1);
    EXPECT_TRUE(accepted(0));
    w.tick(3);
    EXPECT_FALSE(accepted(1));
    w.tick(1);
    EXPECT_TRUE(accepted(1));
    w.tick(4);  // the third, which refuses: one box, logged
    ASSERT_TRUE(orlo::test::waitFor([&] { return w.boxes.shown().size() == 1; }));
    const MessageBoxRequest& box = w.boxes.shown().front();
    const QString refused =
        u"An attempt was made to connect to another PC.The computer might not be available or "
        u"it was shut down improperly. You can continue working as normal, however, that PC "
        u"will not receive any data."_s;
    EXPECT_EQ(box.title, u"Code: 24061"_s);
    EXPECT_EQ(box.text, refused);
    EXPECT_EQ(box.icon, MsgIcon::Exclamation);
    EXPECT_TRUE(w.log().contains(refused));
    EXPECT_TRUE(w.form().Timer1().Enabled());
    w.tick(4);  // the list is done: the timer stops, nobody is retried
    EXPECT_FALSE(w.form().Timer1().Enabled());
    w.tick(8);
    orlo::test::waitFor([] { return false; }, 200);
    EXPECT_EQ(w.boxes.shown().size(), 1u);
    EXPECT_EQ(w.form().connectedCount(), 2);
}

}  // namespace
}  // namespace orlo::peer::test
