// The folder resync on a real shared database, a real scratch database and
// a real store: both roads (the full check, the difference through the
// unload list) for patients and appointments, the values an item gets, a
// run that fails half-way, the start-up's run and the store's grouped saves.

#include <QElapsedTimer>
#include <QTimer>

#include "RecordsFixture.h"
#include "host/BulkSaves.h"
#include "host/Items.h"
#include "sync/UnloadLists.h"
#include "sync/basResync.h"

namespace orlo::test {
namespace {

struct Kind {
    const char* name;
    const char* list;         // the unload list under META
    const char* keyProperty;  // what an item's key is read from
    const char* leftover;     // a row a run that ended on an error may leave
    const char* missingLog;   // the error log's line when the list is missing
    bool patients;
};
const Kind kKinds[] = {
    {"patients", "UNLOADP.log", "Customer ID", "INSERT INTO tempPatientOL (ids) VALUES (4)",
     "Patient Unload File missing: every patient is checked.", true},
    {"schedules", "UNLOADS.log", "Mileage", "INSERT INTO tempScheduleOL (ids) VALUES (4)",
     "Schedule Unload File missing: every appointment is checked.", false}};

class ResyncTest : public RecordsFixture {
protected:
    QString metaPath(const char* name) const {
        return QDir(dbs.dir()).filePath(u"META/"_s + QString::fromLatin1(name));
    }
    // Patients 1 to 4, each with one appointment of the same key.
    void seedRows() {
        for (int k = 1; k <= 4; ++k) {
            rawExec(QStringLiteral("INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", DOB) VALUES (%1, "
                                   "'Last%1', '1980-01-0%1 00:00:00')")
                        .arg(k));
            rawExec(QStringLiteral("INSERT INTO SCHEDULED (SCHEDULE_ID, START_TIME, END_TIME, "
                                   "PT_ID) VALUES (%1, '2026-04-0%1 10:00:00', "
                                   "'2026-04-0%1 10:30:00', %1)")
                        .arg(k));
        }
    }
    std::shared_ptr<host::MAPIFolder> folderOf(const Kind& k) const {
        return k.patients ? patientsFolder : schedulerFolder;
    }
    // The folder's keys in item order.
    QString keys(const Kind& k) const {
        QStringList out;
        const auto items = folderOf(k)->Items();
        for (const auto& item : *items) {
            out << text(item, QString::fromLatin1(k.keyProperty));
        }
        return out.join(u',');
    }
    Status run(const Kind& k) {
        return k.patients ? sync::ResyncPatients(*ctx, dbPath)
                          : sync::ResyncSchedules(*ctx, dbPath);
    }
};

TEST_F(ResyncTest, EachRoadCreatesExactlyTheItemsTheFolderLacks) {
    QByteArray longList = "1\r\n3\r\n";
    for (int i = 0; i < 40000; ++i) {
        longList += QByteArray::number(100000 + i) + "\r\n";
    }
    struct Case {
        const char* name;
        std::optional<QByteArray> list;  // nothing: the file is missing
        const char* expected;            // the folder's keys afterwards
        bool logged;
    };
    const Case cases[] = {
        {"empty list: every key checked", QByteArray(), "2,1,3,4", false},
        {"missing list: every key checked, logged", std::nullopt, "2,1,3,4", true},
        {"list naming every key creates nothing", "1\r\n2\r\n3\r\n4\r\n", "2", false},
        {"stale list, blanks and values that are no key", " 1 \r\n\r\n999\r\nabc\r\n3", "2,4",
         false},
        {"list longer than 32,767 values", longList, "2,4", false},
    };
    seedRows();
    for (const Kind& k : kKinds) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(k.name) + ": " + c.name);
            const auto items = folderOf(k)->Items();
            for (const auto& item : *items) {
                ASSERT_TRUE(item->Delete().ok());
            }
            auto item = *folderOf(k)->Items()->Add();
            set(item, QString::fromLatin1(k.patients ? "PatientID" : "ScheduleID"), u"2"_s);
            ASSERT_TRUE(item->Save().ok());
            QFile::remove(metaPath(k.list));
            QFile::remove(QDir(dbs.dir()).filePath(u"logs/error.log"_s));
            if (c.list) {
                writeFile(metaPath(k.list), *c.list);
            }
            dbs.rawExec(QString::fromLatin1(k.leftover), dbs.scratchPath());
            EXPECT_TRUE(run(k).ok());
            EXPECT_EQ(keys(k), QString::fromLatin1(c.expected));
            for (const char* t :
                 {"SELECT count(*) FROM tempPatientDB", "SELECT count(*) FROM tempPatientOL",
                  "SELECT count(*) FROM tempScheduleDB", "SELECT count(*) FROM tempScheduleOL"}) {
                EXPECT_EQ(dbs.rawValue(QString::fromLatin1(t), dbs.scratchPath()), u"0"_s) << t;
            }
            EXPECT_EQ(errorLog().contains(QString::fromLatin1(k.missingLog)), c.logged);
            EXPECT_TRUE(ctx->PatientItemSaveEnabled && ctx->ApptItemSaveEnabled);
            EXPECT_TRUE(boxes.shown().empty());
        }
    }
    // Only the items were made: no row written, no notice to the peers.
    EXPECT_EQ(rawCount(u"SELECT count(*) FROM PATIENTS"_s), 4);
    EXPECT_EQ(rawCount(u"SELECT count(*) FROM SCHEDULED"_s), 4);
    EXPECT_TRUE(peers.lines.empty());
}

TEST_F(ResyncTest, HundredsOfMissingKeysAreAllCreatedInKeyOrder) {
    // Keys 1..1201 without 600: more than one query's worth of rows, with a
    // key missing where a group of keys would end.
    const QString keysCte =
        u"WITH RECURSIVE n(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM n WHERE k < 1201) "_s;
    rawExec(
        keysCte +
        u"INSERT INTO PATIENTS (PT_ID, \"LAST NAME\") SELECT k, 'Last' || k FROM n WHERE k != 600"_s);
    rawExec(
        keysCte +
        u"INSERT INTO SCHEDULED (SCHEDULE_ID, START_TIME, END_TIME, LAST_NAME, PT_ID) SELECT k, "
        "'2026-04-01 10:00:00', '2026-04-01 10:30:00', 'Last' || k, k FROM n WHERE k != 600"_s);
    QStringList expected;
    for (int k = 1; k <= 1201; ++k) {
        if (k != 600) {
            expected << QString::number(k);
        }
    }
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        writeFile(metaPath(k.list), QByteArray());
        EXPECT_TRUE(run(k).ok());
        EXPECT_EQ(keys(k), expected.join(u','));
        const auto item = *folderOf(k)->Items()->Find(
            QString::fromLatin1(k.patients ? "[Customer ID] = 601" : "[Mileage] = 601"));
        ASSERT_TRUE(item);
        EXPECT_EQ(text(item, QString::fromLatin1(k.patients ? "Last Name" : "LNAME")),
                  u"Last601"_s);
    }
}

TEST_F(ResyncTest, ItemsTakeEveryValueFromItsOwnColumnAndNullsAsEmptyText) {
    rawExec(QStringLiteral(
        "INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", HOME_TEL, CLINICAL_HEIGHT, NOTES_NOTES2) "
        "VALUES (7, 'O''Neill', NULL, '5', 'page two')"));
    rawExec(u"INSERT INTO PATIENTS (PT_ID) VALUES (8)"_s);  // every other column Null
    rawExec(QStringLiteral(
        "INSERT INTO SCHEDULED (SCHEDULE_ID, START_TIME, END_TIME, LAST_NAME, REASON, "
        "RECALLDUEDATE, PT_ID) VALUES (9, '2026-05-04 09:00:00', '2026-05-04 09:30:00', "
        "'O''Neill', NULL, NULL, 7)"));
    EXPECT_TRUE(sync::ResyncPatients(*ctx, dbPath).ok());
    EXPECT_TRUE(sync::ResyncSchedules(*ctx, dbPath).ok());
    const std::shared_ptr<host::Item> items[] = {
        *patientsFolder->Items()->Find(u"[Customer ID] = 7"_s),
        *patientsFolder->Items()->Find(u"[Customer ID] = 8"_s),
        *schedulerFolder->Items()->Find(u"[Mileage] = 9"_s)};
    ASSERT_TRUE(items[0] && items[1] && items[2]);
    const std::tuple<int, const char*, const char*> values[] = {
        {0, "Last Name", "O'Neill"}, {0, "HomeTel", ""},
        {0, "HeightFT", "5"},        {0, "NotesPage2", "page two"},
        {1, "Last Name", ""},        {2, "LNAME", "O'Neill"},
        {2, "REASON", ""},           {2, "RecallDBFormattedMASK", ""},
        {2, "sPTID", "7"},           {2, "Start", "04/05/2026 09:00:00"}};
    for (const auto& [item, name, value] : values) {
        EXPECT_EQ(text(items[item], QString::fromLatin1(name)), QString::fromUtf8(value)) << name;
    }
}

TEST_F(ResyncTest, ARunThatFailsHalfWayIsReportedAndTheNextOneCreatesEverything) {
    seedRows();
    // The database goes while the run works (after its keys were read).
    QTimer::singleShot(0, [&] { hideDatabase(); });
    EXPECT_FALSE(sync::ResyncPatients(*ctx, dbPath).ok());
    ASSERT_EQ(boxes.shown().size(), 1U);
    EXPECT_EQ(boxes.shown()[0].title, u"Software Error - Patients Resync"_s);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(u"There has been an error\r\n  "_s));
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(errorLog().contains(u"Error #"_s)) << errorLog().toStdString();
    EXPECT_EQ(*patientsFolder->Items()->Count(), 0);

    ASSERT_TRUE(QFile::rename(dbPath + u".away"_s, dbPath));
    EXPECT_TRUE(sync::ResyncPatients(*ctx, dbPath).ok());
    EXPECT_EQ(keys(kKinds[0]), u"1,2,3,4"_s);
    EXPECT_EQ(boxes.shown().size(), 1U);
}

// The progress window the start-up shows is the desk road's to check.
TEST_F(ResyncTest, StartUpFillsBothFoldersAndANextRunRefillsWhatWasDeleted) {
    seedRows();
    outAddIn->refreshFolders();
    EXPECT_EQ(keys(kKinds[0]), u"1,2,3,4"_s);
    // An appointment deleted from the folder since then is made again.
    ASSERT_TRUE((*schedulerFolder->Items()->Find(u"[Mileage] = 3"_s))->Delete().ok());
    ASSERT_TRUE(sync::WriteScheduleUnloadList(*ctx).ok());
    EXPECT_TRUE(run(kKinds[1]).ok());
    EXPECT_EQ(keys(kKinds[1]), u"1,2,4,3"_s);
}

TEST_F(ResyncTest, GroupedSavesBecomeDurableTogetherWhenTheGroupEnds) {
    const QString store = QDir(dbs.dir()).filePath(u"PST/12-27Orlonetv1.pst"_s);
    QElapsedTimer age;
    age.start();
    host::BulkSaves group(patientsFolder);
    for (int k = 1; k <= 3; ++k) {
        ASSERT_TRUE(newPatient(u"Last"_s, u"First"_s, u"01/02/1980"_s)->Save().ok());
    }
    // Another reader of the file sees what a crash now would leave: nothing,
    // unless the group grew older than its 200 ms and was committed (a slow
    // machine): the check only holds while the group is young.
    const qint64 elapsed = age.elapsed();
    const auto durable = dbs.rawValue(u"SELECT count(*) FROM items"_s, store);
    if (elapsed < 150) {
        EXPECT_EQ(durable, u"0"_s);
    }
    EXPECT_EQ(*patientsFolder->Items()->Count(), 3);
    EXPECT_TRUE(group.end().ok());
    EXPECT_EQ(dbs.rawValue(u"SELECT count(*) FROM items"_s, store), u"3"_s);
}

// A scratch file of an older layout (here: none, an empty database) or a
// damaged one is made anew; a key listed twice counts once.
TEST_F(ResyncTest, AnOlderOrDamagedScratchFileIsMadeAnewAndAKeyListedTwiceCountsOnce) {
    seedRows();
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.name);
        writeFile(dbs.scratchPath(),
                  k.patients ? QByteArray() : QByteArray("written over by mistake").repeated(200));
        writeFile(metaPath(k.list), "3\r\n1\r\n3\r\n");
        EXPECT_TRUE(run(k).ok());
        EXPECT_EQ(keys(k), u"2,4"_s);
        EXPECT_EQ(dbs.rawValue(u"PRAGMA user_version"_s, dbs.scratchPath()), u"1"_s);
    }
}

}  // namespace
}  // namespace orlo::test
