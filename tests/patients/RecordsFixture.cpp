#include "RecordsFixture.h"

#include "LoopbackAddress.h"

#include <sqlite3.h>

#include <QFile>

#include "common/ItemFolders.h"
#include "host/Explorers.h"
#include "host/Folders.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/Items.h"
#include "host/NameSpace.h"
#include "host/store/StoreFile.h"
#include "platform/data/DatabaseFile.h"
#include "records/FieldMaps.h"
#include "records/Schema.h"

namespace orlo::test {

namespace {

QString qs(const char16_t* s) {
    return QString::fromUtf16(s);
}

struct RawDb {
    explicit RawDb(const QString& path) {
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~RawDb() { sqlite3_close_v2(db); }
    sqlite3* db = nullptr;
};

}  // namespace

void RecordsFixture::SetUp() {
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("logs")));
    ASSERT_TRUE(root.mkpath(QStringLiteral("Database")));
    ASSERT_TRUE(root.mkpath(QStringLiteral("PST")));
    // Laid out as at installation: empty unload lists (the start-up's
    // resync then checks every key of the empty database).
    ASSERT_TRUE(root.mkpath(QStringLiteral("META")));
    for (const char* list : {"META/UNLOADP.log", "META/UNLOADS.log"}) {
        writeFile(root.filePath(QString::fromLatin1(list)), {});
    }
    dbPath = root.filePath(QStringLiteral("Database/Patients.mdb"));
    ASSERT_TRUE(data::createDatabaseFile(dbPath, records::sharedSchemaStatements(),
                                         data::DatabaseKind::Shared)
                    .ok());

    registryStore = std::make_unique<RegistryStore>(root.filePath(QStringLiteral("registry")));
    registry = std::make_unique<basRegistry>(*registryStore, locale);
    ctx = std::make_unique<AddinContext>(clock, locale, boxes, AppFolder(dir.path()), *registry);
    // The workstation listens on an address of this test alone.
    ASSERT_TRUE(registry->writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpEnabledValue,
                                        QStringLiteral("1"), REG_SZ));
    ASSERT_TRUE(registry->writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue,
                                        privateLoopbackAddress(), REG_SZ));

    const QString pst = root.filePath(QStringLiteral("PST/12-27Orlonetv1.pst"));
    ASSERT_TRUE(host::StoreFile::create(pst, qs(kAddinTopFolderName)).ok());
    app = host::Application::create(clock, locale);
    auto ns = app->GetNamespace(QStringLiteral("MAPI"));
    ASSERT_TRUE(ns.ok());
    ASSERT_TRUE((*ns)->AddStore(pst).ok());
    auto top = (*ns)->Folders()->Item(qs(kAddinTopFolderName));
    ASSERT_TRUE(top.ok());
    auto p = (*top)->Folders()->Add(qs(kPatientsFolderName), host::FolderKind::Contacts,
                                    qs(records::kPatientMessageClass));
    auto s = (*top)->Folders()->Add(qs(kSchedulerFolderName), host::FolderKind::Calendar,
                                    qs(records::kAppointmentMessageClass));
    auto other = (*top)->Folders()->Add(QStringLiteral("Inbox"), host::FolderKind::Mail);
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
    outAddIn->StartAddin(app, QStringLiteral("OrlonetPROv1.Connect"));
    ASSERT_EQ(ctx->DbLocation, dbPath);
    ctx->peers = &peers;  // the notices are kept instead of sent
}

void RecordsFixture::TearDown() {
    outAddIn.reset();
    explorer.reset();
    patientsFolder.reset();
    schedulerFolder.reset();
    inboxLike.reset();
    otherPatients.reset();
    otherScheduler.reset();
    app.reset();
}

std::shared_ptr<host::Item> RecordsFixture::newPatient(const QString& last, const QString& first,
                                                       const QString& dob,
                                                       std::shared_ptr<host::MAPIFolder> folder) {
    auto item = (folder ? folder : patientsFolder)->Items()->Add();
    EXPECT_TRUE(item.ok());
    set(*item, QStringLiteral("Last Name"), last);
    set(*item, QStringLiteral("First Name"), first);
    set(*item, QStringLiteral("DOB"), dob);
    return *item;
}

std::shared_ptr<host::Item> RecordsFixture::newAppointment(
    const QDateTime& start, const QString& ptId, std::shared_ptr<host::MAPIFolder> folder) {
    auto item = (folder ? folder : schedulerFolder)->Items()->Add();
    EXPECT_TRUE(item.ok());
    EXPECT_TRUE((*item)->setUserProperty(QStringLiteral("Start"), Variant(start)).ok());
    EXPECT_TRUE((*item)->setUserProperty(QStringLiteral("End"), Variant(start.addSecs(1800))).ok());
    set(*item, QStringLiteral("sPTID"), ptId);
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

std::optional<QString> RecordsFixture::rawValue(const QString& sql) const {
    RawDb raw(dbPath);
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(raw.db, sql.toUtf8().constData(), -1, &stmt, nullptr), SQLITE_OK)
        << sqlite3_errmsg(raw.db);
    std::optional<QString> value;
    if (stmt != nullptr && sqlite3_step(stmt) == SQLITE_ROW &&
        sqlite3_column_type(stmt, 0) != SQLITE_NULL) {
        value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    return value;
}

qint64 RecordsFixture::rawCount(const QString& sql) const {
    return rawValue(sql).value_or(QStringLiteral("-1")).toLongLong();
}

void RecordsFixture::rawExec(const QString& sql) const {
    RawDb raw(dbPath);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(raw.db, sql.toUtf8().constData(), nullptr, nullptr, &message), SQLITE_OK)
        << (message ? message : "");
    sqlite3_free(message);
}

bool RecordsFixture::writeLockIsFree() const {
    RawDb other(dbPath);
    sqlite3_busy_timeout(other.db, 0);
    const bool free =
        sqlite3_exec(other.db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_exec(other.db, "ROLLBACK", nullptr, nullptr, nullptr);
    return free;
}

QString RecordsFixture::errorLog() const {
    return QString::fromUtf8(readFile(QDir(dir.path()).filePath(QStringLiteral("logs/error.log"))));
}

void RecordsFixture::hideDatabase() {
    ASSERT_TRUE(QFile::rename(dbPath, dbPath + QStringLiteral(".away")));
}

}  // namespace orlo::test
