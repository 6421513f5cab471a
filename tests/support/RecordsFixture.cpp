#include "RecordsFixture.h"

#include "LoopbackAddress.h"

#include <QFile>

#include "common/ItemFolders.h"
#include "host/Explorers.h"
#include "host/Folders.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/Items.h"
#include "host/NameSpace.h"
#include "host/store/StoreFile.h"
#include "records/FieldMaps.h"

namespace orlo::test {

namespace {

QString qs(const char16_t* s) {
    return QString::fromUtf16(s);
}

}  // namespace

void RecordsFixture::SetUp() {
    const QDir root(dbs.dir());
    ASSERT_TRUE(root.mkpath(u"logs"_s));
    ASSERT_TRUE(root.mkpath(u"PST"_s));
    // Laid out as at installation: empty unload lists (the start-up's
    // resync then checks every key of the empty database).
    ASSERT_TRUE(root.mkpath(u"META"_s));
    for (const char* list : {"META/UNLOADP.log", "META/UNLOADS.log"}) {
        writeFile(root.filePath(QString::fromLatin1(list)), {});
    }

    registryStore = std::make_unique<RegistryStore>(root.filePath(u"registry"_s));
    registry = std::make_unique<basRegistry>(*registryStore, locale);
    ctx = std::make_unique<AddinContext>(clock, locale, boxes, AppFolder(dbs.dir()), *registry);
    // The workstation listens on an address of this test alone.
    ASSERT_TRUE(registry->writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpEnabledValue,
                                        u"1"_s, REG_SZ));
    ASSERT_TRUE(registry->writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue,
                                        privateLoopbackAddress(), REG_SZ));

    const QString pst = root.filePath(u"PST/12-27Orlonetv1.pst"_s);
    ASSERT_TRUE(host::StoreFile::create(pst, qs(kAddinTopFolderName)).ok());
    app = host::Application::create(clock, locale);
    auto ns = app->GetNamespace(u"MAPI"_s);
    ASSERT_TRUE(ns.ok());
    ASSERT_TRUE((*ns)->AddStore(pst).ok());
    auto top = (*ns)->Folders()->Item(qs(kAddinTopFolderName));
    ASSERT_TRUE(top.ok());
    auto p = (*top)->Folders()->Add(qs(kPatientsFolderName), host::FolderKind::Contacts,
                                    qs(records::kPatientMessageClass));
    auto s = (*top)->Folders()->Add(qs(kSchedulerFolderName), host::FolderKind::Calendar,
                                    qs(records::kAppointmentMessageClass));
    auto other = (*top)->Folders()->Add(u"Inbox"_s, host::FolderKind::Mail);
    ASSERT_TRUE(p.ok() && s.ok() && other.ok());
    patientsFolder = *p;
    schedulerFolder = *s;
    inboxLike = *other;
    auto op = inboxLike->Folders()->Add(qs(kPatientsFolderName), host::FolderKind::Contacts,
                                        qs(records::kPatientMessageClass));
    auto os = inboxLike->Folders()->Add(qs(kSchedulerFolderName), host::FolderKind::Calendar,
                                        qs(records::kAppointmentMessageClass));
    ASSERT_TRUE(op.ok() && os.ok());
    otherPatients = *op;
    otherScheduler = *os;
    explorer = app->Explorers()->Add(patientsFolder);
    outAddIn = std::make_unique<addin::OutAddIn>(*ctx, app);
    outAddIn->StartAddin(app, u"OrlonetPROv1.Connect"_s);
    ASSERT_EQ(ctx->DbLocation, dbPath);
    ctx->peers = &peers;  // the notices are kept instead of sent
}

std::shared_ptr<host::Item> RecordsFixture::newPatient(const QString& last, const QString& first,
                                                       const QString& dob,
                                                       std::shared_ptr<host::MAPIFolder> folder) {
    auto item = (folder ? folder : patientsFolder)->Items()->Add();
    EXPECT_TRUE(item.ok());
    set(*item, u"Last Name"_s, last);
    set(*item, u"First Name"_s, first);
    set(*item, u"DOB"_s, dob);
    return *item;
}

std::shared_ptr<host::Item> RecordsFixture::newAppointment(
    const QDateTime& start, const QString& ptId, std::shared_ptr<host::MAPIFolder> folder) {
    auto item = (folder ? folder : schedulerFolder)->Items()->Add();
    EXPECT_TRUE(item.ok());
    EXPECT_TRUE((*item)->setUserProperty(u"Start"_s, Variant(start)).ok());
    EXPECT_TRUE((*item)->setUserProperty(u"End"_s, Variant(start.addSecs(1800))).ok());
    set(*item, u"sPTID"_s, ptId);
    return *item;
}

void RecordsFixture::display(const std::shared_ptr<host::Item>& item) {
    ASSERT_TRUE(item->Display().ok());
}

void RecordsFixture::showFolder(const std::shared_ptr<host::MAPIFolder>& folder) {
    ASSERT_TRUE(explorer->SelectFolder(folder).ok());
}

QString RecordsFixture::text(const std::shared_ptr<host::Item>& item, const QString& name) const {
    auto v = item->userProperty(name);
    EXPECT_TRUE(v.ok()) << name.toStdString();
    return v.ok() ? v->text(locale) : QString();
}

void RecordsFixture::set(const std::shared_ptr<host::Item>& item, const QString& name,
                         const QString& value) {
    EXPECT_TRUE(item->setUserProperty(name, Variant(value)).ok()) << name.toStdString();
}

QString RecordsFixture::errorLog() const {
    return QString::fromUtf8(readFile(QDir(dbs.dir()).filePath(u"logs/error.log"_s)));
}

void RecordsFixture::hideDatabase() {
    ASSERT_TRUE(QFile::rename(dbPath, dbPath + u".away"_s));
}

}  // namespace orlo::test
