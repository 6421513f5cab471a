// The road of a front desk's first morning through the desk shell: a real
// orlo-desk process with the add-in library listed and loaded, driven over
// its automation channel with what a user types. The first part of the
// script is piped in at once, before the desk is ready, as a clinic's own
// scripts do: two patient windows open while the main window shows
// "Scheduler", a save in the window opened first, a second save after an
// edit, a visit without a recall date saved twice, a patient deleted and a
// new one saved.

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
    // Writes a command without waiting for its reply.
    void send(const char* name, QJsonObject fields = {}) {
        fields.insert(QStringLiteral("cmd"), QString::fromLatin1(name));
        m_process.write(QJsonDocument(fields).toJson(QJsonDocument::Compact) + '\n');
        m_sent << QString::fromLatin1(name);
    }
    // The reply to the oldest command sent and not answered; "ok" expected.
    QJsonObject reply() {
        const QString name = m_sent.isEmpty() ? QString() : m_sent.takeFirst();
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(30000)) {
                ADD_FAILURE() << "no reply to " << name.toStdString()
                              << "; stderr: " << m_process.readAllStandardError().toStdString();
                return {};
            }
        }
        const QByteArray line = m_process.readLine();
        const QJsonObject answer = QJsonDocument::fromJson(line).object();
        EXPECT_TRUE(answer.value(QStringLiteral("ok")).toBool())
            << name.toStdString() << " -> " << line.toStdString();
        return answer;
    }
    QJsonObject ok(const char* name, QJsonObject fields = {}) {
        send(name, std::move(fields));
        return reply();
    }
    bool awaitingReplies() const { return !m_sent.isEmpty(); }
    int waitForExit() { return m_process.waitForFinished(20000) ? m_process.exitCode() : -1; }

private:
    QProcess m_process;
    QStringList m_sent;
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

QJsonObject withId(const QString& id, QJsonObject fields = {}) {
    fields.insert(QStringLiteral("id"), id);
    return fields;
}

TEST(ShellRoadTest, AFrontDeskMorningThroughTheDesk) {
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
    const QString patients = qs(desk::test::kPatients);
    const QString scheduler = qs(desk::test::kScheduler);
    const QString general = QStringLiteral("General");
    const QString visitPage = QStringLiteral("Patient Scheduler");
    auto newPatient = [&](const QString& id, const QString& last, const QString& first,
                          const QString& dob, const QString& city) {
        desk.send("create", {{QStringLiteral("folder"), patients}});
        desk.send("display", withId(id));
        desk.send(
            "set",
            withId(id, {{QStringLiteral("controls"), typed(general, {{"LastNameTextBox", last},
                                                                     {"FirstNameTextBox", first},
                                                                     {"DateOfBirth", dob},
                                                                     {"CityBox", city}})}}));
    };
    // Piped in at once, before the desk has even started.
    desk.send("switchFolder", {{QStringLiteral("folder"), scheduler}});
    newPatient(QStringLiteral("new1"), QStringLiteral("O'Brien"), QStringLiteral("Zoë"),
               QStringLiteral("1/2/1970"), QStringLiteral("Leeds"));
    newPatient(QStringLiteral("new2"), QStringLiteral("Jones"), QStringLiteral("Bob"),
               QStringLiteral("03/04/1980"), QStringLiteral("Hull"));
    // The first window, while "Scheduler" is shown; then an edit and again.
    desk.send("save", withId(QStringLiteral("new1")));
    desk.send("set", withId(QStringLiteral("new1"),
                            {{QStringLiteral("controls"),
                              typed(general, {{"CityBox", QStringLiteral("York")}})}}));
    desk.send("save", withId(QStringLiteral("new1")));
    desk.send("save", withId(QStringLiteral("new2")));
    // A visit as the form leaves it (no recall date), saved, edited, saved.
    desk.send("create", {{QStringLiteral("folder"), scheduler}});
    desk.send("display", withId(QStringLiteral("new3")));
    desk.send("set", withId(QStringLiteral("new3"),
                            {{QStringLiteral("controls"),
                              typed(visitPage, {{"Start", QStringLiteral("16/03/2026 09:30:00")},
                                                {"End", QStringLiteral("16/03/2026 10:00:00")},
                                                {"sPTID", QStringLiteral("1")},
                                                {"REASON", QStringLiteral("Check-up")}})}}));
    desk.send("save", withId(QStringLiteral("new3")));
    desk.send("set", withId(QStringLiteral("new3"),
                            {{QStringLiteral("controls"),
                              typed(visitPage, {{"REASON", QStringLiteral("Eye test")}})}}));
    desk.send("save", withId(QStringLiteral("new3")));
    // A patient deleted from the desk, then a new one saved in its window.
    desk.send("delete", withId(QStringLiteral("new2")));
    newPatient(QStringLiteral("new4"), QStringLiteral("Patel"), QStringLiteral("Ravi"),
               QStringLiteral("05/06/1990"), QStringLiteral("Ripon"));
    desk.send("save", withId(QStringLiteral("new4")));
    desk.send("messageBoxes");
    QJsonObject last;
    while (desk.awaitingReplies()) {
        last = desk.reply();
    }
    EXPECT_TRUE(last.value(QStringLiteral("boxes")).toArray().isEmpty())
        << QJsonDocument(last).toJson().toStdString();
    EXPECT_EQ(rawValue(db,
                       "SELECT group_concat(\"LAST NAME\" || '/' || DOB || '/' || CITY, ' ') "
                       "FROM (SELECT * FROM PATIENTS ORDER BY PT_ID)"),
              QStringLiteral("O'Brien/01/02/1970/York Jones/03/04/1980/Hull "
                             "Patel/05/06/1990/Ripon"));
    EXPECT_EQ(rawValue(db,
                       "SELECT group_concat(REASON || '/' || IFNULL(RECALLDUEDATE, 'none'), ' ') "
                       "FROM SCHEDULED"),
              QStringLiteral("Eye test/none"));

    EXPECT_TRUE(desk.ok("messageBoxes").value(QStringLiteral("boxes")).toArray().isEmpty());
    desk.ok("quit");
    EXPECT_EQ(desk.waitForExit(), 0);
}

}  // namespace
}  // namespace orlo::test
