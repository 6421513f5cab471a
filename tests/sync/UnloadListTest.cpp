// The unload lists written from the add-in's folders: exact bytes, folder
// order, values that are missing, the missing list file, and an old list
// that survives a write that cannot happen.

#include "RecordsFixture.h"
#include "common/AddinFolders.h"
#include "host/Items.h"
#include "host/NameSpace.h"
#include "host/store/StoreFile.h"
#include "platform/core/ErrorTrap.h"
#include "sync/UnloadLists.h"
#include "tools/store/AddinStore.h"

namespace orlo::test {
namespace {

class UnloadListTest : public RecordsFixture {
protected:
    void SetUp() override {
        RecordsFixture::SetUp();
        writeFile(list("UNLOADP.log"), "old\r\n");
        writeFile(list("UNLOADS.log"), "old\r\n");
        QFile::remove(QDir(dbs.dir()).filePath(u"logs/error.log"_s));
    }
    QString list(const char* name) const {
        return QDir(dbs.dir()).filePath(u"META/"_s + QString::fromLatin1(name));
    }
    // An item another workstation's fill (or an older version) left in the
    // store; the desk reads it from there.
    void store(bool patient, host::PropertyMap props, const QString& cls = {}) {
        auto file = host::StoreFile::open(QDir(dbs.dir()).filePath(u"PST/12-27Orlonetv1.pst"_s));
        ASSERT_TRUE(file.ok());
        const auto tree = tools::addinFolders(**file);
        ASSERT_TRUE(tree.ok());
        const QString own = patient ? u"IPM.Contact.Patient"_s : u"IPM.Appointment.Scheduler"_s;
        ASSERT_TRUE((*file)
                        ->insert(patient ? tree->patients : tree->scheduler,
                                 cls.isEmpty() ? own : cls, props)
                        .ok());
    }
};

TEST_F(UnloadListTest, EachListHoldsItsKeyOfEveryItemInFolderOrder) {
    store(true, {{u"PatientID"_s, u"12"_s}});
    store(true, {{u"PatientID"_s, u"3"_s}});
    store(true, {{u"PatientID"_s, QString()}});  // saved before it reached the database
    // A plain contact dropped into the folder has no "PatientID" at all.
    store(true, {{u"Last Name"_s, u"Plain"_s}}, u"IPM.Contact"_s);
    store(true, {{u"PatientID"_s, 100007}});
    ASSERT_TRUE(sync::WritePatientUnloadList(*ctx).ok());
    EXPECT_EQ(readFile(list("UNLOADP.log")), "12\r\n3\r\n\r\n\r\n100007\r\n");
    EXPECT_EQ(readFile(list("UNLOADS.log")), "old\r\n");

    // The schedule list holds Mileage, not ScheduleID: never set, an empty line.
    store(false, {{u"ScheduleID"_s, u"5"_s}, {u"Mileage"_s, u"900"_s}});
    store(false, {{u"ScheduleID"_s, u"6"_s}});
    store(false, {{u"Mileage"_s, u"41"_s}});
    ASSERT_TRUE(sync::WriteScheduleUnloadList(*ctx).ok());
    EXPECT_EQ(readFile(list("UNLOADS.log")), "900\r\n\r\n41\r\n");
    EXPECT_TRUE(boxes.shown().empty());

    // Emptied folders empty the lists and leave no temporary file behind.
    for (const auto& folder : {patientsFolder, schedulerFolder}) {
        const auto items = folder->Items();
        for (const auto& item : *items) {
            ASSERT_TRUE(item->Delete().ok());
        }
    }
    ASSERT_TRUE(sync::WritePatientUnloadList(*ctx).ok());
    ASSERT_TRUE(sync::WriteScheduleUnloadList(*ctx).ok());
    EXPECT_EQ(readFile(list("UNLOADP.log")) + readFile(list("UNLOADS.log")), QByteArray());
    EXPECT_EQ(QDir(list("")).entryList({u"UNLOAD*"_s}, QDir::Files),
              (QStringList{u"UNLOADP.log"_s, u"UNLOADS.log"_s}));
}

TEST_F(UnloadListTest, AMissingListIsReportedEveryTimeAndNeverCreated) {
    store(true, {{u"PatientID"_s, u"1"_s}});
    ASSERT_TRUE(QFile::remove(list("UNLOADP.log")));
    ASSERT_TRUE(QFile::remove(list("UNLOADS.log")));

    const Status patients = sync::WritePatientUnloadList(*ctx);
    ASSERT_FALSE(patients.ok());
    EXPECT_EQ(patients.error().number, err::kFileNotFound);
    EXPECT_FALSE(sync::WriteScheduleUnloadList(*ctx).ok());
    clock.advance(61);
    ignoreError(sync::WritePatientUnloadList(*ctx), "reported again through its box");

    EXPECT_FALSE(QFileInfo::exists(list("UNLOADP.log")) || QFileInfo::exists(list("UNLOADS.log")));
    const MessageBoxRequest patientBox{u"Cannot Load Patient Unload File. Please recreate."_s,
                                       u"Error"_s, MsgIcon::Critical, MsgButtons::OK};
    const MessageBoxRequest scheduleBox{u"Cannot Load Schedule Unload File. Please recreate."_s,
                                        u"Error"_s, MsgIcon::Critical, MsgButtons::OK};
    EXPECT_EQ(boxes.shown(), (std::vector<MessageBoxRequest>{patientBox, scheduleBox, patientBox}));
    EXPECT_EQ(errorLog(),
              u"[15/03/2026 : 09:30:00] [ERROR] Cannot Load Patient Unload File.\r\n"
              "[15/03/2026 : 09:30:00] [ERROR] Cannot Load Schedule Unload File.\r\n"
              "[15/03/2026 : 09:31:01] [ERROR] Cannot Load Patient Unload File.\r\n"_s);
}

TEST_F(UnloadListTest, AListThatCannotBeWrittenKeepsTheOldOne) {
    store(true, {{u"PatientID"_s, u"1"_s}});
    // A list that is not a file the add-in can replace.
    ASSERT_TRUE(QFile::remove(list("UNLOADP.log")));
    ASSERT_TRUE(QDir().mkpath(list("UNLOADP.log")));
    EXPECT_FALSE(sync::WritePatientUnloadList(*ctx).ok());
    ASSERT_TRUE(QDir().rmdir(list("UNLOADP.log")));
    writeFile(list("UNLOADP.log"), "old\r\n");

    // The add-in's store is gone from the profile: the folder cannot be
    // reached, and the old list must stay whole for the next resync.
    auto ns = *app->GetNamespace(u"MAPI"_s);
    ASSERT_TRUE(ns->RemoveStore(*addinTopFolder(app)).ok());
    EXPECT_FALSE(sync::WritePatientUnloadList(*ctx).ok());
    EXPECT_EQ(readFile(list("UNLOADP.log")), "old\r\n");

    // No application at all (the add-in was stopped): the same.
    ctx->application = nullptr;
    EXPECT_EQ(sync::WriteScheduleUnloadList(*ctx).error().number, err::kObjectNotSet);
    EXPECT_EQ(readFile(list("UNLOADS.log")), "old\r\n");
    ctx->application = app;
    EXPECT_TRUE(boxes.shown().empty());

    // Nobody is told at once, but the log says that the lists are stale.
    const QStringList entries = errorLog().split(u"\r\n"_s);
    ASSERT_EQ(entries.size(), 4) << entries.join(u'|').toStdString();
    EXPECT_TRUE(entries[0].startsWith(
        u"[15/03/2026 : 09:30:00] [ERROR] Cannot Write Patient Unload File. The unload list "_s +
        list("UNLOADP.log") + u" cannot be written: "_s));
    EXPECT_TRUE(entries[1].startsWith(
        u"[15/03/2026 : 09:30:00] [ERROR] Cannot Write Patient Unload File. "_s));
    EXPECT_EQ(entries[2],
              u"[15/03/2026 : 09:30:00] [ERROR] Cannot Write Schedule Unload File. Object "
              "variable or With block variable not set"_s);
    EXPECT_EQ(entries[3], QString());
}

}  // namespace
}  // namespace orlo::test
