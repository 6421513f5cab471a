// The road of one change through the desk shell: a real orlo-desk process
// with the add-in library listed and loaded, driven over its automation
// channel as a user would drive it. A new patient is typed into the contact
// form and saved; after another workstation changed the row, opening the
// contact shows the row's values; an appointment with a recall period shows
// its recall due date and saves it to the shared database.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "DeskTestStore.h"
#include "TestSupport.h"
#include "host/addins/AddinList.h"
#include "platform/data/DatabaseFile.h"
#include "platform/registry/RegistryStore.h"
#include "records/Schema.h"

namespace orlo::test {
namespace {

using desk::test::DeskTestStore;

QString qs(const char16_t* s) {
    return QString::fromUtf16(s);
}

class Desk {
public:
    ~Desk() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    bool start(const DeskTestStore& s) {
        m_process.start(QString::fromUtf8(ORLO_DESK_BINARY),
                        {QStringLiteral("--automation"), QStringLiteral("--appdir"), s.appDir,
                         QStringLiteral("--registry"), s.registryFile, QStringLiteral("--locale"),
                         QStringLiteral("uk")});
        return m_process.waitForStarted(10000);
    }
    // Sends a command and expects "ok": true.
    QJsonObject ok(const char* name, QJsonObject fields = {}) {
        fields.insert(QStringLiteral("cmd"), QString::fromLatin1(name));
        m_process.write(QJsonDocument(fields).toJson(QJsonDocument::Compact) + '\n');
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(30000)) {
                ADD_FAILURE() << "no reply to " << name
                              << "; stderr: " << m_process.readAllStandardError().toStdString();
                return {};
            }
        }
        const QByteArray line = m_process.readLine();
        const QJsonObject reply = QJsonDocument::fromJson(line).object();
        EXPECT_TRUE(reply.value(QStringLiteral("ok")).toBool())
            << name << " -> " << line.toStdString();
        return reply;
    }
    int waitForExit() { return m_process.waitForFinished(20000) ? m_process.exitCode() : -1; }

private:
    QProcess m_process;
};

// What the user types: {page, control, value} entries for "set".
QJsonArray typed(const QString& page, const std::vector<std::pair<const char*, QString>>& entries) {
    QJsonArray controls;
    for (const auto& [control, value] : entries) {
        controls.append(QJsonObject{{QStringLiteral("page"), page},
                                    {QStringLiteral("control"), QString::fromLatin1(control)},
                                    {QStringLiteral("value"), value}});
    }
    return controls;
}

// The value a control of the item's window shows.
QString shown(const QJsonObject& form, const QString& page, const QString& control) {
    for (const QJsonValue& p : form.value(QStringLiteral("pages")).toArray()) {
        if (p.toObject().value(QStringLiteral("name")).toString() != page) {
            continue;
        }
        for (const QJsonValue& c : p.toObject().value(QStringLiteral("controls")).toArray()) {
            if (c.toObject().value(QStringLiteral("name")).toString() == control) {
                return c.toObject().value(QStringLiteral("value")).toString();
            }
        }
    }
    return QStringLiteral("<no control>");
}

QString rawValue(const QString& db, const char* sql) {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(db.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(raw, sql, -1, &stmt, nullptr);
    QString value = QStringLiteral("<no row>");
    if (stmt != nullptr && sqlite3_step(stmt) == SQLITE_ROW) {
        value =
            sqlite3_column_type(stmt, 0) == SQLITE_NULL
                ? QStringLiteral("<null>")
                : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    sqlite3_close_v2(raw);
    return value;
}

TEST(ShellRoadTest, PatientAndAppointmentSavedAndShownThroughTheDesk) {
    DeskTestStore s;
    ASSERT_TRUE(s.create());
    const QDir app(s.appDir);
    for (const char* sub : {"META", "logs", "Database"}) {
        ASSERT_TRUE(app.mkpath(QString::fromLatin1(sub)));
    }
    const QString db = app.filePath(QStringLiteral("Database/Patients.mdb"));
    ASSERT_TRUE(
        data::createDatabaseFile(db, records::sharedSchemaStatements(), data::DatabaseKind::Shared)
            .ok());
    const QString library = app.filePath(QStringLiteral("liborlo.so"));
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(ORLO_ADDIN_LIBRARY), library));
    RegistryStore settings(s.registryFile);
    ASSERT_TRUE(host::AddinList(settings)
                    .registerAddin({QStringLiteral("OrlonetPROv1.Connect"), library,
                                    host::AddinList::kLoadAtStartup, QStringLiteral("Orlo")})
                    .ok());

    Desk desk;
    ASSERT_TRUE(desk.start(s));
    const QJsonArray addins = desk.ok("state").value(QStringLiteral("addins")).toArray();
    ASSERT_EQ(addins.size(), 1);
    ASSERT_TRUE(addins.at(0).toObject().value(QStringLiteral("connected")).toBool());

    // A new patient typed into the contact form, saved on closing.
    const QString patients = qs(desk::test::kPatients);
    desk.ok("switchFolder", {{QStringLiteral("folder"), patients}});
    const QString contact = desk.ok("create", {{QStringLiteral("folder"), patients}})
                                .value(QStringLiteral("id"))
                                .toString();
    desk.ok("display", {{QStringLiteral("id"), contact}});
    const QString general = QStringLiteral("General");
    desk.ok("set", {{QStringLiteral("id"), contact},
                    {QStringLiteral("controls"),
                     typed(general, {{"LastNameTextBox", QStringLiteral("O'Brien")},
                                     {"FirstNameTextBox", QStringLiteral("Zoë")},
                                     {"DateOfBirth", QStringLiteral("01/02/1970")},
                                     {"CityBox", QStringLiteral("Leeds")}})}});
    const QString saved = desk.ok("close", {{QStringLiteral("id"), contact},
                                            {QStringLiteral("mode"), QStringLiteral("save")}})
                              .value(QStringLiteral("id"))
                              .toString();
    EXPECT_EQ(rawValue(db,
                       "SELECT \"LAST NAME\" || '/' || \"FIRST NAME\" || '/' || CITY "
                       "FROM PATIENTS WHERE PT_ID = 1"),
              QStringLiteral("O'Brien/Zoë/Leeds"));

    // Another workstation changes the row; reopening shows the row's values.
    sqlite3* raw = nullptr;
    sqlite3_open_v2(db.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(raw, "UPDATE PATIENTS SET CITY = 'York', MOBILE = '07700 900123'", nullptr,
                 nullptr, nullptr);
    sqlite3_close_v2(raw);
    desk.ok("display", {{QStringLiteral("id"), saved}});
    const QJsonObject form = desk.ok("form", {{QStringLiteral("id"), saved}});
    EXPECT_EQ(shown(form, general, QStringLiteral("Patient ID")), QStringLiteral("1"));
    EXPECT_EQ(shown(form, general, QStringLiteral("CityBox")), QStringLiteral("York"));
    EXPECT_EQ(shown(form, general, QStringLiteral("Phone3")), QStringLiteral("07700 900123"));
    desk.ok("close",
            {{QStringLiteral("id"), saved}, {QStringLiteral("mode"), QStringLiteral("discard")}});

    // An appointment for the patient with a recall period of 12 months.
    const QString scheduler = qs(desk::test::kScheduler);
    desk.ok("switchFolder", {{QStringLiteral("folder"), scheduler}});
    const QString visit = desk.ok("create", {{QStringLiteral("folder"), scheduler}})
                              .value(QStringLiteral("id"))
                              .toString();
    desk.ok("display", {{QStringLiteral("id"), visit}});
    const QString page = QStringLiteral("Patient Scheduler");
    desk.ok("set", {{QStringLiteral("id"), visit},
                    {QStringLiteral("controls"),
                     typed(page, {{"Start", QStringLiteral("15/03/2026 09:30:00")},
                                  {"End", QStringLiteral("15/03/2026 10:00:00")},
                                  {"sPTID", QStringLiteral("1")},
                                  {"LNAME", QStringLiteral("O'Brien")},
                                  {"REASON", QStringLiteral("Check-up")},
                                  {"RecallMonths", QStringLiteral("12")}})}});
    const QJsonObject visitForm = desk.ok("form", {{QStringLiteral("id"), visit}});
    EXPECT_EQ(shown(visitForm, page, QStringLiteral("RecallDBFormattedMASK")),
              QStringLiteral("15/03/2027"));
    desk.ok("close",
            {{QStringLiteral("id"), visit}, {QStringLiteral("mode"), QStringLiteral("save")}});
    EXPECT_EQ(
        rawValue(db, "SELECT RECALLDUEDATE || '/' || PT_ID || '/' || LAST_NAME FROM SCHEDULED"),
        QStringLiteral("2027-03-15 00:00:00/1/O'Brien"));

    EXPECT_TRUE(desk.ok("messageBoxes").value(QStringLiteral("boxes")).toArray().isEmpty());
    desk.ok("quit");
    EXPECT_EQ(desk.waitForExit(), 0);
}

}  // namespace
}  // namespace orlo::test
