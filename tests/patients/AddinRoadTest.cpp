// The road of one change through the connected add-in itself: the desk
// connects Connect, the user saves a new patient through the contact form,
// sees the row's values when opening it again, and books an appointment
// whose recall period fills in the recall due date. The add-in's own
// tracking binds the opened items to the handlers; nothing here calls a
// handler directly.

#include <sqlite3.h>
#include <QDir>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "addin/Connect.h"
#include "common/AddinContext.h"
#include "common/AddinFolders.h"
#include "common/DatabaseLocation.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/Explorers.h"
#include "host/Folders.h"
#include "host/Inspector.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/forms/FormControl.h"
#include "platform/core/Clock.h"
#include "platform/data/DatabaseFile.h"
#include "platform/ui/MessageBox.h"
#include "records/Schema.h"
#include "tools/store/AddinStore.h"

namespace orlo::test {
namespace {

QString column(const QString& db, const QString& sql) {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(db.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(raw, sql.toUtf8().constData(), -1, &stmt, nullptr);
    QString value = QStringLiteral("<none>");
    if (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
        value =
            sqlite3_column_type(stmt, 0) == SQLITE_NULL
                ? QStringLiteral("<null>")
                : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    sqlite3_close_v2(raw);
    return value;
}

// What the user types into a control of the open item's window.
void type(const std::shared_ptr<host::Item>& item, const QString& page, const QString& control,
          const QString& text) {
    auto c = item->GetInspector()->formControl(page, control);
    ASSERT_TRUE(c.ok()) << control.toStdString();
    ASSERT_TRUE((*c)->setValue(Variant(text)).ok()) << control.toStdString();
}

QString shown(const std::shared_ptr<host::Item>& item, const QString& page,
              const QString& control) {
    auto c = item->GetInspector()->formControl(page, control);
    EXPECT_TRUE(c.ok()) << control.toStdString();
    return c.ok() ? (*c)->Value()->text(Locale::unitedKingdom()) : QString();
}

TEST(AddinRoadTest, PatientAndAppointmentThroughTheConnectedAddin) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    for (const char* sub : {"logs", "Database", "PST", "META"}) {
        ASSERT_TRUE(root.mkpath(QString::fromLatin1(sub)));
    }
    const AppFolder folder(dir.path());
    const QString db = defaultDatabasePath(folder);
    ASSERT_TRUE(
        data::createDatabaseFile(db, records::sharedSchemaStatements(), data::DatabaseKind::Shared)
            .ok());
    ASSERT_TRUE(tools::createAddinStore(AddinPstPath(folder)).ok());
    const QString personal = root.filePath(QStringLiteral("personal.pst"));

    PinnedClock clock{naiveDateTime(QDate(2026, 3, 15), QTime(9, 30))};
    ScriptedMessageBoxes boxes;
    auto app = host::Application::create(clock, Locale::unitedKingdom(),
                                         host::FormRegistry::standard(), &boxes);
    auto ns = *app->GetNamespace(QStringLiteral("MAPI"));
    ASSERT_TRUE(ns->AddStore(personal).ok());
    auto explorer = app->Explorers()->Add(*ns->Folders()->Item(1));

    addin::Connect connect(folder, root.filePath(QStringLiteral("registry")));
    host::CustomArgs custom;
    ASSERT_TRUE(connect
                    .OnConnection(app, host::ConnectMode::Startup,
                                  host::AddInInst{QString::fromUtf16(addin::kProgId), {}, {}},
                                  custom)
                    .ok());
    ASSERT_EQ(connect.context()->DbLocation, db);

    // A new patient, typed into the contact form and saved on closing.
    auto patients = *addinFolder(app, QString::fromUtf16(kPatientsFolderName));
    ASSERT_TRUE(explorer->SelectFolder(patients).ok());
    auto contact = *patients->Items()->Add();
    ASSERT_TRUE(contact->Display().ok());
    const QString general = QStringLiteral("General");
    type(contact, general, QStringLiteral("LastNameTextBox"), QStringLiteral("O'Brien"));
    type(contact, general, QStringLiteral("FirstNameTextBox"), QStringLiteral("Zoë"));
    type(contact, general, QStringLiteral("DateOfBirth"), QStringLiteral("01/02/1970"));
    type(contact, general, QStringLiteral("CityBox"), QStringLiteral("Leeds"));
    ASSERT_TRUE(contact->Close(host::SaveMode::Save).ok());
    EXPECT_EQ(column(db, QStringLiteral("SELECT \"LAST NAME\" FROM PATIENTS WHERE PT_ID = 1")),
              QStringLiteral("O'Brien"));
    EXPECT_EQ(column(db, QStringLiteral("SELECT CITY FROM PATIENTS WHERE PT_ID = 1")),
              QStringLiteral("Leeds"));

    // Another workstation changes the row; opening the contact shows it.
    sqlite3* raw = nullptr;
    sqlite3_open_v2(db.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(raw, "UPDATE PATIENTS SET CITY = 'York', MOBILE = '07700 900123'", nullptr,
                 nullptr, nullptr);
    sqlite3_close_v2(raw);
    ASSERT_TRUE(contact->Display().ok());
    EXPECT_EQ(shown(contact, general, QStringLiteral("Patient ID")), QStringLiteral("1"));
    EXPECT_EQ(shown(contact, general, QStringLiteral("CityBox")), QStringLiteral("York"));
    EXPECT_EQ(shown(contact, general, QStringLiteral("Phone3")), QStringLiteral("07700 900123"));
    EXPECT_EQ(shown(contact, general, QStringLiteral("LastNameTextBox")),
              QStringLiteral("O'Brien"));
    ASSERT_TRUE(contact->Close(host::SaveMode::Save).ok());
    EXPECT_EQ(column(db, QStringLiteral("SELECT COUNT(*) FROM PATIENTS")), QStringLiteral("1"));

    // An appointment for the patient with a recall period of 12 months.
    auto scheduler = *addinFolder(app, QString::fromUtf16(kSchedulerFolderName));
    ASSERT_TRUE(explorer->SelectFolder(scheduler).ok());
    auto appointment = *scheduler->Items()->Add();
    ASSERT_TRUE(appointment->Display().ok());
    const QString page = QStringLiteral("Patient Scheduler");
    type(appointment, page, QStringLiteral("Start"), QStringLiteral("15/03/2026 09:30:00"));
    type(appointment, page, QStringLiteral("End"), QStringLiteral("15/03/2026 10:00:00"));
    type(appointment, page, QStringLiteral("sPTID"), QStringLiteral("1"));
    type(appointment, page, QStringLiteral("LNAME"), QStringLiteral("O'Brien"));
    type(appointment, page, QStringLiteral("REASON"), QStringLiteral("Check-up"));
    type(appointment, page, QStringLiteral("RecallMonths"), QStringLiteral("12"));
    EXPECT_EQ(shown(appointment, page, QStringLiteral("RecallDBFormattedMASK")),
              QStringLiteral("15/03/2027"));
    ASSERT_TRUE(appointment->Close(host::SaveMode::Save).ok());
    EXPECT_EQ(column(db, QStringLiteral("SELECT RECALLDUEDATE FROM SCHEDULED")),
              QStringLiteral("2027-03-15 00:00:00"));
    EXPECT_EQ(column(db, QStringLiteral("SELECT PT_ID FROM SCHEDULED")), QStringLiteral("1"));
    EXPECT_EQ(appointment->userProperty(QStringLiteral("Mileage"))->text(Locale::unitedKingdom()),
              QStringLiteral("1"));

    EXPECT_TRUE(boxes.shown().empty()) << boxes.shown().front().text.toStdString();
    connect.OnDisconnection(host::RemoveMode::HostShutdown, custom);
}

}  // namespace
}  // namespace orlo::test
