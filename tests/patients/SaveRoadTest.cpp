// Patient saves through a real orlo-desk with the add-in loaded, driven over
// its automation channel: a store the desk can only read is told at start
// and at every save, with nothing written half; and a desk killed with
// SIGKILL in the middle of bursts of saves loses no save it reported done,
// doubles none, and leaves both files sound.

#include <QFile>
#include <QMap>
#include <algorithm>
#include <random>

#include "DeskDriver.h"
#include "TestDatabases.h"
#include "host/store/StoreFile.h"

namespace orlo::test {
namespace {

// The commands a user's typing of one new patient becomes: the window
// opened, the name, date of birth and city typed.
void typePatient(DeskDriver& desk, const QString& id, const QString& last, const QString& city) {
    desk.send("create", {{u"folder"_s, QString::fromUtf16(desk::test::kPatients)}});
    desk.send("display", itemFields(id));
    desk.send("set", typedOnPage(id, "General",
                                 {{"LastNameTextBox", last},
                                  {"FirstNameTextBox", u"Ann"_s},
                                  {"DateOfBirth", u"01/02/1970"_s},
                                  {"CityBox", city}}));
}

class SaveRoadTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(db.isEmpty()); }
    void start(DeskDriver& desk) {
        ASSERT_TRUE(desk.start(QString::fromUtf8(ORLO_DESK_BINARY), store));
    }
    qint64 rows(const QString& last) {
        return rawValueAt(db,
                          u"SELECT COUNT(*) FROM PATIENTS WHERE \"LAST NAME\" = '%1'"_s.arg(last))
            .value_or(u"-1"_s)
            .toLongLong();
    }

    desk::test::DeskTestStore store;
    QString db = store.createWithAddin(QString::fromUtf8(ORLO_ADDIN_LIBRARY));
};

// Read-only for everyone, so that even the superuser's desk does not write it.
void setReadOnly(const QString& path, bool readOnly) {
    const auto base = QFile::ReadOwner | QFile::ReadGroup | QFile::ExeOwner | QFile::ExeGroup;
    ASSERT_TRUE(QFile::setPermissions(path, readOnly ? base : base | QFile::WriteOwner));
}

TEST_F(SaveRoadTest, AStoreThatCannotBeWrittenIsToldAndKeepsWhatWasTyped) {
    const QString folder = store.appDir + u"/PST"_s;
    const QString refused =
        u"The item store file \"%1\" cannot be written: the file or its "
        "folder is read-only."_s.arg(store.storePath);
    // What is made read-only, and whether before the desk starts or once
    // it is running.
    const std::tuple<const char*, QString, bool> cases[] = {
        {"file at start", store.storePath, true},
        {"folder at start", folder, true},
        {"file while running", store.storePath, false},
        {"folder while running", folder, false},
    };
    int n = 0;
    for (const auto& [name, path, atStart] : cases) {
        SCOPED_TRACE(name);
        const QString last = u"Ro%1"_s.arg(++n);
        if (atStart) {
            setReadOnly(path, true);
        }
        DeskDriver desk;
        start(desk);
        if (atStart) {
            EXPECT_EQ(desk.boxTexts(true),
                      QStringList{u"Open PST Error|-2147467259\r\n"_s + refused});
        } else {
            EXPECT_TRUE(desk.boxTexts().isEmpty());
            setReadOnly(path, true);
        }
        typePatient(desk, u"new1"_s, last, u"Leeds"_s);
        for (int i = 0; i < 3; ++i) {
            desk.reply();
        }
        const QByteArray before = readFile(store.storePath);
        EXPECT_EQ(
            desk.refused("save", itemFields(u"new1"_s))[u"error"_s][u"description"_s].toString(),
            refused);
        EXPECT_EQ(desk.boxTexts(true), QStringList{u"Orlo Desk|"_s + refused});
        // Nothing written half: neither the database nor the store.
        EXPECT_EQ(rows(last), 0);
        EXPECT_TRUE(readFile(store.storePath) == before);
        const QJsonObject kept = desk.ok("dump", itemFields(u"new1"_s));
        EXPECT_FALSE(kept[u"saved"_s].toBool());
        EXPECT_EQ(kept[u"properties"_s][u"Last Name"_s].toString(), last);
        EXPECT_EQ(kept[u"properties"_s][u"City1"_s].toString(), u"Leeds"_s);

        // Writable again, the next save stores what was typed.
        setReadOnly(path, false);
        desk.ok("save", itemFields(u"new1"_s));
        EXPECT_TRUE(desk.boxTexts().isEmpty());
        EXPECT_EQ(rows(last), 1);
        desk.ok("quit");
        EXPECT_EQ(desk.waitForExit(), 0);
    }
}

// Twenty desks killed at a random point of a burst of saves (each patient
// saved, its city changed, saved again). After each kill both files pass
// their integrity checks and the restarted desk shows every save that was
// answered as done, once, in the database and on the item.
TEST_F(SaveRoadTest, NoSaveReportedDoneIsLostOrDoubledByAKill) {
    constexpr int kRuns = 20;
    constexpr int kPatients = 3;
    constexpr int kCommands = 6;  // create, display, set, save, set, save
    std::mt19937 random(20260317);
    struct Sent {
        QString last;
        bool saved;       // the first save was answered
        bool savedAgain;  // the second save too
    };
    std::vector<Sent> sent;
    DeskDriver* desk = nullptr;
    std::unique_ptr<DeskDriver> running;
    const auto verify = [&] {
        // The restarted desk, ready: its start-up has filled the folder
        // with an item for every row that had none.
        QMap<QString, QString> onItems;  // last name -> city
        QMap<QString, int> itemCount;
        const QJsonObject listed =
            desk->ok("items", {{u"folder"_s, QString::fromUtf16(desk::test::kPatients)},
                               {u"columns"_s, QJsonArray{u"Last Name"_s, u"City1"_s}},
                               {u"limit"_s, 10000}});
        for (const QJsonValue& row : listed[u"items"_s].toArray()) {
            const QString last = row[u"values"_s][u"Last Name"_s].toString();
            ++itemCount[last];
            onItems[last] = row[u"values"_s][u"City1"_s].toString();
        }
        for (const Sent& p : sent) {
            SCOPED_TRACE(p.last.toStdString());
            const qint64 stored = rows(p.last);
            EXPECT_LE(stored, 1);
            EXPECT_LE(itemCount.value(p.last), 1);
            if (!p.saved) {
                continue;
            }
            EXPECT_EQ(stored, 1);
            EXPECT_EQ(itemCount.value(p.last), 1);
            const QString city =
                rawValueAt(db,
                           u"SELECT CITY FROM PATIENTS WHERE \"LAST NAME\" = '%1'"_s.arg(p.last))
                    .value_or(QString());
            const QString cityB = u"B"_s + p.last;
            if (p.savedAgain) {
                EXPECT_EQ(city, cityB);
                EXPECT_EQ(onItems.value(p.last), cityB);
            } else {
                EXPECT_TRUE(city == u"A"_s + p.last || city == cityB) << city.toStdString();
            }
        }
    };
    for (int run = 0; run <= kRuns; ++run) {
        running = std::make_unique<DeskDriver>();
        desk = running.get();
        start(*desk);
        verify();
        if (run == kRuns || HasFatalFailure()) {
            break;
        }
        const std::size_t first = sent.size();
        for (int i = 0; i < kPatients; ++i) {
            const QString id = u"new%1"_s.arg(i + 1);
            const QString last = u"Kill%1x%2"_s.arg(run).arg(i);
            typePatient(*desk, id, last, u"A"_s + last);
            desk->send("save", itemFields(id));
            desk->send("set", typedOnPage(id, "General", {{"CityBox", u"B"_s + last}}));
            desk->send("save", itemFields(id));
            sent.push_back({last, false, false});
        }
        // The kill lands after a random number of answers, while the desk
        // goes on with the commands piped after them.
        const int answered = std::uniform_int_distribution<int>(0, kPatients * kCommands)(random);
        for (int r = 0; r < answered; ++r) {
            desk->reply();
            const int patient = r / kCommands;
            sent[first + std::size_t(patient)].saved |= r % kCommands == 3;
            sent[first + std::size_t(patient)].savedAgain |= r % kCommands == 5;
        }
        desk->kill();
        EXPECT_EQ(rawValueAt(db, u"PRAGMA integrity_check"_s), u"ok"_s);
        {
            const auto file = host::StoreFile::open(store.storePath);
            ASSERT_TRUE(file.ok()) << file.error().description.toStdString();
            const Status sound = (*file)->checkIntegrity();
            EXPECT_TRUE(sound.ok()) << sound.error().description.toStdString();
        }
    }
    // The kills fell both before and after answered saves.
    const auto answeredSaves =
        std::count_if(sent.begin(), sent.end(), [](const Sent& p) { return p.saved; });
    EXPECT_GT(answeredSaves, 0);
    EXPECT_LT(answeredSaves, std::ssize(sent));
    desk->ok("quit");
    EXPECT_EQ(desk->waitForExit(), 0);
}

}  // namespace
}  // namespace orlo::test
