// A million malformed lines through the receive path of a workstation that
// holds one patient and one appointment: cut, doubled, huge, binary, wrong
// field counts, broken quoting, bad keys, fed in reads of random size. No
// crash, no box, and neither item changes.

#include <QDir>
#include <random>

#include "PeerFixture.h"
#include "host/Items.h"
#include "peer/PeerReceiver.h"

namespace orlo::peer::test {
namespace {

using PeerFuzzTest = PeerFixture;

// Every property of every item in `folder`, as text.
QStringList snapshot(Workstation& w, const char16_t* folder) {
    QStringList out;
    auto items = w.folderOf(folder)->Items();
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

TEST_F(PeerFuzzTest, AMillionMalformedLinesChangeNothing) {
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
    ASSERT_TRUE(QDir(w.folder.path(u"\\logs"_s)).removeRecursively());

    std::mt19937 random(20260315);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto malformed = [&]() -> QByteArray {
        const QByteArray& base = pick(2) == 0 ? patient : visit;
        const qsizetype lastComma = base.lastIndexOf(',');
        switch (pick(8)) {
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
            case 3:  // too few fields
                return base.left(base.indexOf(QByteArray(",v" + QByteArray::number(3 + pick(40)))));
            case 4:  // a quoted value closed too early
                return base.left(lastComma) + ",\"v\"x" + base.mid(lastComma);
            case 5:  // a key that is not a number
                return base.left(4) + "1;DROP" + base.mid(5);
            case 6:  // an unknown action or kind
                return base.left(2) + QByteArray::number(3 + pick(7)) + base.mid(3);
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
