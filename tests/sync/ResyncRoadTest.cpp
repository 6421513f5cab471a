// A workstation's first start on a clinic's existing database, through the
// desk shell: a real orlo-desk process with the add-in library loaded and an
// empty store, driven over its automation channel. A script that looks at
// the desk while it starts sees the progress window; once the desk is ready
// both folders hold an item for every row.

#include <sqlite3.h>

#include <QJsonArray>

#include "DeskDriver.h"
#include "DeskTestStore.h"

namespace orlo::test {
namespace {

constexpr int kPatients = 150;
constexpr int kVisits = 300;

bool seedDatabase(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray sql = QStringLiteral(
                               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < %2) INSERT INTO SCHEDULED (SCHEDULE_ID, START_TIME, "
                               "END_TIME, PT_ID) SELECT i, '2026-06-01 09:00:00', "
                               "'2026-06-01 09:30:00', 1 + i % %1 FROM n; "
                               "INSERT INTO PATIENTS (PT_ID, \"LAST NAME\", DOB) SELECT "
                               "SCHEDULE_ID, 'Last' || SCHEDULE_ID, '1970-01-01 00:00:00' FROM "
                               "SCHEDULED WHERE SCHEDULE_ID <= %1;")
                               .arg(kPatients)
                               .arg(kVisits)
                               .toUtf8();
    const bool done = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(db);
    return done;
}

TEST(ResyncRoad, ANewWorkstationShowsEveryRowAfterItsStart) {
    desk::test::DeskTestStore s;
    ASSERT_TRUE(s.create());
    ASSERT_TRUE(seedDatabase(s.addDatabase()));
    ASSERT_TRUE(s.listAddin(QString::fromUtf8(ORLO_ADDIN_LIBRARY)));

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
