// The folder resync on a real shared database, a real scratch database and
// a real store: both roads (the full check, the difference through the
// unload list) for patients and appointments, the values an item gets,
// runs that fail half-way, and the start-up's progress window.

#include <sqlite3.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <optional>

#include "RecordsFixture.h"
#include "host/Items.h"
#include "patients/basOutlookPatients.h"
#include "sync/UnloadLists.h"
#include "sync/basResync.h"

namespace orlo::test {
namespace {

// A value of the scratch database as plain SQLite reads it.
qint64 scratchCount(const QString& path, const QString& table) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    const QByteArray sql = QByteArray("SELECT count(*) FROM ") + table.toUtf8();
    qint64 n = -1;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW) {
        n = sqlite3_column_int64(s, 0);
    }
    sqlite3_finalize(s);
    sqlite3_close_v2(db);
    return n;
}

struct Kind {
    const char* name;
    const char* list;         // the unload list under META
    const char* keyProperty;  // what an item's key is read from
    bool patients;
};
const Kind kKinds[] = {{"patients", "UNLOADP.log", "Customer ID", true},
                       {"schedules", "UNLOADS.log", "Mileage", false}};

class ResyncTest : public RecordsFixture {
protected:
    QString metaPath(const char* name) const {
        return QDir(dbs.dir()).filePath(QStringLiteral("META/") + QString::fromLatin1(name));
    }
    // Patients 1 to 4, each with one appointment of the same key.
    void seedRows() {
        for (int k = 1; k <= 4; ++k) {
            rawExec(
                QStringLiteral("INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB) "
                               "VALUES (%1, 'Last%1', 'First%1', '1980-01-0%1 00:00:00')")
                    .arg(k));
            rawExec(QStringLiteral("INSERT INTO SCHEDULED (SCHEDULE_ID, START_TIME, END_TIME, "
                                   "LAST_NAME, PT_ID) VALUES (%1, '2026-04-0%1 10:00:00', "
                                   "'2026-04-0%1 10:30:00', 'Last%1', %1)")
                        .arg(k));
        }
    }
    std::shared_ptr<host::MAPIFolder> folderOf(const Kind& k) const {
        return k.patients ? patientsFolder : schedulerFolder;
    }
    // An item of the folder that carries `key`, as a user's earlier save left it.
    void addItem(const Kind& k, int key) {
        auto item = *folderOf(k)->Items()->Add();
        set(item, QString::fromLatin1(k.patients ? "PatientID" : "ScheduleID"),
            QString::number(key));
        ASSERT_TRUE(item->Save().ok());
    }
    // The folder's keys in item order.
    QStringList keys(const Kind& k) const {
        QStringList out;
        const auto items = folderOf(k)->Items();
        for (const auto& item : *items) {
            out << text(item, QString::fromLatin1(k.keyProperty));
        }
        return out;
    }
    Status run(const Kind& k) {
        return k.patients ? sync::ResyncPatients(*ctx, dbPath)
                          : sync::ResyncSchedules(*ctx, dbPath);
    }
    void expectScratchEmpty() const {
        for (const char* t :
             {"tempPatientDB", "tempPatientOL", "tempScheduleDB", "tempScheduleOL"}) {
            EXPECT_EQ(scratchCount(metaPath("temp.mdb"), QString::fromLatin1(t)), 0) << t;
        }
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
            addItem(k, 2);
            QFile::remove(metaPath(k.list));
            QFile::remove(QDir(dbs.dir()).filePath(QStringLiteral("logs/error.log")));
            if (c.list) {
                writeFile(metaPath(k.list), *c.list);
            }
            ctx->PatientItemSaveEnabled = ctx->ApptItemSaveEnabled = true;
            EXPECT_TRUE(run(k).ok());
            EXPECT_EQ(keys(k).join(u','), QString::fromLatin1(c.expected));
            expectScratchEmpty();
            EXPECT_EQ(errorLog().contains(
                          k.patients ? QStringLiteral("Patient Unload File missing: every "
                                                      "patient is checked.")
                                     : QStringLiteral("Schedule Unload File missing: every "
                                                      "appointment is checked.")),
                      c.logged);
            EXPECT_TRUE(ctx->PatientItemSaveEnabled && ctx->ApptItemSaveEnabled);
            EXPECT_TRUE(boxes.shown().empty());
        }
    }
    // Only the items were made: no row written, no notice to the peers.
    EXPECT_EQ(rawCount(QStringLiteral("SELECT count(*) FROM PATIENTS")), 4);
    EXPECT_EQ(rawCount(QStringLiteral("SELECT count(*) FROM SCHEDULED")), 4);
    EXPECT_TRUE(peers.lines.empty());
}

TEST_F(ResyncTest, AnAppointmentDeletedFromTheFolderComesBackAndLeftoversHideNothing) {
    seedRows();
    const Kind& appointments = kKinds[1];
    EXPECT_TRUE(run(appointments).ok());  // the list is empty: all four made
    ASSERT_TRUE(sync::WriteScheduleUnloadList(*ctx).ok());
    auto third = schedulerFolder->Items()->Find(QStringLiteral("[Mileage] = 3"));
    ASSERT_TRUE(third.ok() && *third);
    ASSERT_TRUE((*third)->Delete().ok());
    ASSERT_TRUE(sync::WriteScheduleUnloadList(*ctx).ok());
    EXPECT_EQ(readFile(metaPath("UNLOADS.log")), QByteArray("1\r\n2\r\n4\r\n"));
    // What a run that ended on an error may leave in the scratch tables.
    sqlite3* scratch = nullptr;
    sqlite3_open_v2(metaPath("temp.mdb").toUtf8().constData(), &scratch, SQLITE_OPEN_READWRITE,
                    nullptr);
    EXPECT_EQ(sqlite3_exec(scratch, "INSERT INTO tempScheduleOL (ids) VALUES (3)", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close_v2(scratch);
    EXPECT_TRUE(run(appointments).ok());
    EXPECT_EQ(keys(appointments).join(u','), QStringLiteral("1,2,4,3"));
    expectScratchEmpty();
}

TEST_F(ResyncTest, ItemsTakeEveryValueFromItsOwnColumnAndNullsAsEmptyText) {
    rawExec(QStringLiteral(
        "INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", MID_IN, DOB, HOME_TEL, "
        "MOBILE, "
        "BUS_FAX, EMAIL1, CTGNOTE, CLINICAL_HEIGHT, NOTES_NOTES2, DELETE_FLAG) VALUES (7, "
        "'O''Neill', 'Cara', 'B', '02/03/1980', NULL, '07700 900123', '0161 555', "
        "'cara@example.org', 'note', '5', 'page two', 'NO')"));
    rawExec(QStringLiteral("INSERT INTO PATIENTS (PT_ID) VALUES (8)"));  // every other column Null
    rawExec(QStringLiteral(
        "INSERT INTO SCHEDULED (SCHEDULE_ID, START_TIME, END_TIME, LAST_NAME, FIRST_NAME, REASON, "
        "RECALLPERIOD, RECALLDUEDATE, PT_ID, EXMHTFT, BALANCE1, NOTEPAGE2) VALUES (9, "
        "'2026-05-04 09:00:00', '2026-05-04 09:30:00', 'O''Neill', 'Cara', NULL, '6', NULL, 7, "
        "'5', '12.50', 'np2')"));
    EXPECT_TRUE(sync::ResyncPatients(*ctx, dbPath).ok());
    EXPECT_TRUE(sync::ResyncSchedules(*ctx, dbPath).ok());
    const auto patient = *patientsFolder->Items()->Find(QStringLiteral("[Customer ID] = 7"));
    const auto empty = *patientsFolder->Items()->Find(QStringLiteral("[Customer ID] = 8"));
    const auto visit = *schedulerFolder->Items()->Find(QStringLiteral("[Mileage] = 9"));
    ASSERT_TRUE(patient && empty && visit);
    const std::pair<const char*, const char*> patientValues[] = {{"PatientID", "7"},
                                                                 {"Last Name", "O'Neill"},
                                                                 {"First Name", "Cara"},
                                                                 {"Middle Name", "B"},
                                                                 {"HomeTel", ""},
                                                                 {"Mobile1", "07700 900123"},
                                                                 {"WorkFax", "0161 555"},
                                                                 {"Email1", "cara@example.org"},
                                                                 {"Gnote", "note"},
                                                                 {"HeightFT", "5"},
                                                                 {"NotesPage2", "page two"},
                                                                 {"DeleteFlag", "NO"}};
    for (const auto& [name, value] : patientValues) {
        EXPECT_EQ(text(patient, QString::fromLatin1(name)), QString::fromUtf8(value)) << name;
    }
    EXPECT_EQ(text(patient, QStringLiteral("DOB")), QStringLiteral("02/03/1980"));
    EXPECT_EQ(text(empty, QStringLiteral("Last Name")), QString());
    const std::pair<const char*, const char*> visitValues[] = {
        {"ScheduleID", "9"},   {"LNAME", "O'Neill"},          {"FNAME", "Cara"}, {"REASON", ""},
        {"RecallMonths", "6"}, {"RecallDBFormattedMASK", ""}, {"sPTID", "7"},    {"ExmHTFT", "5"},
        {"Balance1", "12.50"}, {"NOTEPAGE2", "np2"}};
    for (const auto& [name, value] : visitValues) {
        EXPECT_EQ(text(visit, QString::fromLatin1(name)), QString::fromUtf8(value)) << name;
    }
    EXPECT_EQ(text(visit, QStringLiteral("Start")), QStringLiteral("04/05/2026 09:00:00"));
}

TEST_F(ResyncTest, ARunThatFailsHalfWayIsReportedAndTheNextOneCreatesEverything) {
    seedRows();
    // The database goes while the run works (after its keys were read).
    QTimer::singleShot(0, [&] { hideDatabase(); });
    EXPECT_FALSE(sync::ResyncPatients(*ctx, dbPath).ok());
    ASSERT_EQ(boxes.shown().size(), 1U);
    EXPECT_EQ(boxes.shown()[0].title, QStringLiteral("Software Error - Patients Resync"));
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("There has been an error\r\n  ")))
        << boxes.shown()[0].text.toStdString();
    EXPECT_EQ(boxes.shown()[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(errorLog().contains(QStringLiteral("Error #"))) << errorLog().toStdString();
    EXPECT_EQ(*patientsFolder->Items()->Count(), 0);

    ASSERT_TRUE(QFile::rename(dbPath + QStringLiteral(".away"), dbPath));
    EXPECT_TRUE(sync::ResyncPatients(*ctx, dbPath).ok());
    EXPECT_EQ(keys(kKinds[0]).join(u','), QStringLiteral("1,2,3,4"));
    EXPECT_EQ(boxes.shown().size(), 1U);
}

// The values the progress window shows whenever an item is made.
struct Shown {
    QString title;
    QString status;
    int value;
    bool operator==(const Shown&) const = default;
};
std::optional<Shown> progressWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("frmLoading1") && w->isVisible()) {
            return Shown{w->windowTitle(),
                         w->findChild<QLabel*>(QStringLiteral("lblStatus"))->text(),
                         w->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))->value()};
        }
    }
    return std::nullopt;
}

TEST_F(ResyncTest, StartUpFillsBothFoldersBehindTheProgressWindow) {
    seedRows();
    std::vector<std::optional<Shown>> seen;
    auto watch = [&](const std::shared_ptr<host::MAPIFolder>& f) {
        return f->Items()->events.ItemAdd.connect(
            [&](const std::shared_ptr<host::Item>&) { seen.push_back(progressWindow()); });
    };
    auto patientsWatch = watch(patientsFolder);
    auto schedulerWatch = watch(schedulerFolder);
    outAddIn->refreshFolders();
    const Shown patients{QStringLiteral("Updating Folders..."),
                         QStringLiteral("Updating Patients Folder. Please wait..."), 50};
    const Shown scheduler{QStringLiteral("Updating Folders..."),
                          QStringLiteral("Updating Scheduler Folder. Please wait..."), 50};
    const std::vector<std::optional<Shown>> expected = {patients,  patients,  patients,  patients,
                                                        scheduler, scheduler, scheduler, scheduler};
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(progressWindow());
}

}  // namespace
}  // namespace orlo::test
