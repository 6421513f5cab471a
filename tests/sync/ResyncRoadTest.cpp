// A workstation's first start on a clinic's existing database, through the
// desk shell: a real orlo-desk process with the add-in library loaded and an
// empty store, driven over its automation channel. A script that looks at
// the desk while it starts sees the progress window; once the desk is ready
// both folders hold an item for every row.

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>

#include "DeskDriver.h"
#include "DeskTestStore.h"
#include "TestSupport.h"
#include "host/addins/AddinList.h"
#include "platform/data/DatabaseFile.h"
#include "platform/registry/RegistryStore.h"
#include "records/Schema.h"

namespace orlo::test {
namespace {

constexpr int kPatients = 150;
constexpr int kVisits = 300;

bool seedDatabase(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    QByteArray sql = "BEGIN;";
    for (int p = 1; p <= kPatients; ++p) {
        sql += QStringLiteral(
                   "INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", \"FIRST NAME\", DOB) "
                   "VALUES (%1, 'Last%1', 'First%1', '1970-01-01 00:00:00');")
                   .arg(p)
                   .toUtf8();
    }
    for (int v = 1; v <= kVisits; ++v) {
        sql += QStringLiteral(
                   "INSERT INTO SCHEDULED (SCHEDULE_ID, START_TIME, END_TIME, "
                   "LAST_NAME, PT_ID) VALUES (%1, '2026-06-01 09:00:00', "
                   "'2026-06-01 09:30:00', 'Last', %2);")
                   .arg(v)
                   .arg(1 + v % kPatients)
                   .toUtf8();
    }
    sql += "COMMIT;";
    const bool done = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(db);
    return done;
}

TEST(ResyncRoad, ANewWorkstationShowsEveryRowAfterItsStart) {
    desk::test::DeskTestStore s;
    ASSERT_TRUE(s.create());
    const QDir app(s.appDir);
    for (const char* sub : {"META", "logs", "Database"}) {
        ASSERT_TRUE(app.mkpath(QString::fromLatin1(sub)));
    }
    for (const char* list : {"META/UNLOADP.log", "META/UNLOADS.log"}) {
        writeFile(app.filePath(QString::fromLatin1(list)), {});
    }
    const QString db = app.filePath(QStringLiteral("Database/Patients.mdb"));
    ASSERT_TRUE(
        data::createDatabaseFile(db, records::sharedSchemaStatements(), data::DatabaseKind::Shared)
            .ok());
    ASSERT_TRUE(seedDatabase(db));
    const QString library = app.filePath(QStringLiteral("liborlo.so"));
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(ORLO_ADDIN_LIBRARY), library));
    RegistryStore settings(s.registryFile);
    ASSERT_TRUE(host::AddinList(settings)
                    .registerAddin({QStringLiteral("OrlonetPROv1.Connect"), library,
                                    host::AddinList::kLoadAtStartup, QStringLiteral("Orlo")})
                    .ok());

    DeskDriver desk;
    ASSERT_TRUE(desk.start(QString::fromUtf8(ORLO_DESK_BINARY), s));
    // Piped in before the desk is ready: it runs while the start-up fills
    // the folders; anything else would wait until the desk is ready.
    desk.send("state");
    const QJsonObject first = desk.reply().value(QStringLiteral("progress")).toObject();
    EXPECT_EQ(first, (QJsonObject{{QStringLiteral("title"), QStringLiteral("Updating Folders...")},
                                  {QStringLiteral("status"),
                                   QStringLiteral("Updating Patients Folder. Please wait...")},
                                  {QStringLiteral("value"), 50}}));
    // Looking again until the window is gone: the labels come in order.
    QStringList statuses = {first.value(QStringLiteral("status")).toString()};
    for (int i = 0; i < 100000; ++i) {
        const QJsonObject state = desk.ok("state");
        if (!state.contains(QStringLiteral("progress"))) {
            break;
        }
        const QString status =
            state[QStringLiteral("progress")][QStringLiteral("status")].toString();
        if (status != statuses.back()) {
            statuses << status;
        }
    }
    EXPECT_TRUE(statuses.size() == 1 ||
                statuses ==
                    (QStringList{QStringLiteral("Updating Patients Folder. Please wait..."),
                                 QStringLiteral("Updating Scheduler Folder. Please wait...")}))
        << statuses.join(u'|').toStdString();

    const auto total = [&](const char16_t* folder) {
        return desk
            .ok("items", {{QStringLiteral("folder"), QString::fromUtf16(folder)},
                          {QStringLiteral("limit"), 1}})
            .value(QStringLiteral("total"))
            .toInt();
    };
    EXPECT_EQ(total(desk::test::kPatients), kPatients);
    EXPECT_EQ(total(desk::test::kScheduler), kVisits);
    const QJsonObject found =
        desk.ok("find", {{QStringLiteral("folder"), QString::fromUtf16(desk::test::kScheduler)},
                         {QStringLiteral("filter"), QStringLiteral("[Mileage] = 300")}});
    EXPECT_FALSE(found.value(QStringLiteral("id")).isNull());
    EXPECT_TRUE(desk.ok("messageBoxes").value(QStringLiteral("boxes")).toArray().isEmpty());
    desk.ok("quit");
    EXPECT_EQ(desk.waitForExit(), 0);
}

}  // namespace
}  // namespace orlo::test
