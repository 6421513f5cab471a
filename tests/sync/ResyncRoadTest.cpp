// A workstation's first start on a clinic's existing database, through the
// desk shell: a real orlo-desk process with the add-in library loaded and an
// empty store, driven over its automation channel. A script that looks at
// the desk while it starts sees the progress window; once the desk is ready
// both folders hold an item for every row.

#include "DeskDriver.h"
#include "TestDatabases.h"

namespace orlo::test {
namespace {

constexpr int kPatients = 150;
constexpr int kVisits = 300;

TEST(ResyncRoad, ANewWorkstationShowsEveryRowAfterItsStart) {
    desk::test::DeskTestStore s;
    ASSERT_TRUE(s.create());
    rawExecAt(s.addDatabase(),
              u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
              "INSERT INTO SCHEDULED (SCHEDULE_ID, START_TIME, END_TIME, PT_ID) SELECT i, "
              "'2026-06-01 09:00:00', '2026-06-01 09:30:00', 1 + i % %1 FROM n; INSERT INTO "
              "PATIENTS (PT_ID, \"LAST NAME\", DOB) SELECT SCHEDULE_ID, 'Last' || SCHEDULE_ID, "
              "'1970-01-01 00:00:00' FROM SCHEDULED WHERE SCHEDULE_ID <= %1;"_s.arg(kPatients)
                  .arg(kVisits));
    ASSERT_TRUE(s.listAddin(QString::fromUtf8(ORLO_ADDIN_LIBRARY)));

    DeskDriver desk;
    ASSERT_TRUE(desk.start(QString::fromUtf8(ORLO_DESK_BINARY), s));
    // Piped in before the desk is ready: it runs while the start-up fills
    // the folders; anything else would wait until the desk is ready.
    desk.send("state");
    QJsonObject state = desk.reply();
    EXPECT_EQ(state[u"progress"_s].toObject(),
              (QJsonObject{{u"title"_s, u"Updating Folders..."_s},
                           {u"status"_s, u"Updating Patients Folder. Please wait..."_s},
                           {u"value"_s, 50}}));
    // Looking again until the window is gone: the labels come in order.
    QStringList statuses;
    for (int i = 0; i < 100000 && state.contains(u"progress"_s); ++i, state = desk.ok("state")) {
        statuses << state[u"progress"_s][u"status"_s].toString();
    }
    statuses.removeDuplicates();
    const QStringList labels = {u"Updating Patients Folder. Please wait..."_s,
                                u"Updating Scheduler Folder. Please wait..."_s};
    EXPECT_EQ(statuses, labels.mid(0, statuses.size()));

    const auto total = [&](const char16_t* folder) {
        return desk.ok("items", {{u"folder"_s, QString::fromUtf16(folder)}, {u"limit"_s, 1}})
            .value(u"total"_s)
            .toInt();
    };
    EXPECT_EQ(total(desk::test::kPatients), kPatients);
    EXPECT_EQ(total(desk::test::kScheduler), kVisits);
    EXPECT_TRUE(desk.ok("messageBoxes").value(u"boxes"_s).toArray().isEmpty());
    desk.ok("quit");
    EXPECT_EQ(desk.waitForExit(), 0);
}

}  // namespace
}  // namespace orlo::test
