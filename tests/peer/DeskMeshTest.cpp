// Three orlo-desk processes on one shared database, each on its own
// loopback address, driven over the automation channel as a front desk
// works: a patient saved on one shows on the other two, the connector's
// console tells who is connected, and when one desk is killed the other
// two keep working and see every save.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QThread>

#include "DeskDriver.h"
#include "DeskTestStore.h"
#include "host/addins/AddinList.h"
#include "platform/data/DatabaseFile.h"
#include "platform/registry/RegistryStore.h"
#include "records/Schema.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::test {
namespace {

using desk::test::DeskTestStore;

class DeskMeshTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dbDir.isValid());
        ASSERT_TRUE(data::createDatabaseFile(m_db, records::sharedSchemaStatements(),
                                             data::DatabaseKind::Shared));
    }

    // Desk n on 127.0.0.(n + 2), its add-in on the shared database.
    DeskDriver& startDesk(int n) {
        DeskTestStore& s = m_stores[static_cast<size_t>(n)];
        EXPECT_TRUE(s.create());
        for (const char* sub : {"META", "logs", "Database"}) {
            EXPECT_TRUE(QDir(s.appDir).mkpath(QString::fromLatin1(sub)));
        }
        const QString library = s.appDir + u"/liborlo.so"_s;
        EXPECT_TRUE(QFile::copy(QString::fromUtf8(ORLO_ADDIN_LIBRARY), library));
        RegistryStore settings(s.registryFile);
        EXPECT_TRUE(host::AddinList(settings).registerAddin(
            {u"OrlonetPROv1.Connect"_s, library, host::AddinList::kLoadAtStartup, u"Orlo"_s}));
        const auto key = settings.createKey(
            RegistryRoot::CurrentUser,
            u"Software\\Microsoft\\Office\\Outlook\\Addins\\OrlonetPROv1.Connect");
        EXPECT_TRUE(key.ok());
        for (const auto& [name, value] :
             {std::pair{u"defaultDBlocation"_s, m_db}, std::pair{u"ManualIPEnabled"_s, u"1"_s},
              std::pair{u"ManualIP"_s, QStringLiteral("127.0.0.%1").arg(n + 2)}}) {
            EXPECT_TRUE(settings.setValue(*key, name, {kRegSz, value.toUtf8()}));
        }
        DeskDriver& d = m_desks[static_cast<size_t>(n)];
        EXPECT_TRUE(d.start(QString::fromUtf8(ORLO_DESK_BINARY), s.appDir, s.registryFile));
        d.ok("state");
        return d;
    }

    // Asks until `done` holds (about 20 s at most).
    static bool poll(const std::function<bool()>& done) {
        for (int i = 0; i < 100; ++i) {
            if (done()) {
                return true;
            }
            QThread::msleep(200);
        }
        return false;
    }
    // A control of the connector's console: the hosts' count, the echo.
    static QJsonValue console(DeskDriver& d, const char* control, const char* field) {
        for (const QJsonValue& c :
             d.ok("controls", {{u"window"_s, u"formMain"_s}})[u"controls"_s].toArray()) {
            if (c[u"name"_s] == QString::fromLatin1(control)) {
                return c[QString::fromLatin1(field)];
            }
        }
        return {};
    }
    static bool connectedTo(DeskDriver& d, int n) {
        return poll([&] { return console(d, "listHosts", "count").toInt() == n; });
    }
    // Waits for desk d's patients to be exactly "last/city", in order.
    static bool showsPatients(DeskDriver& d, const QStringList& expected) {
        QStringList seen;
        const QJsonObject columns{{u"folder"_s, QString::fromUtf16(desk::test::kPatients)},
                                  {u"columns"_s, QJsonArray{u"Last Name"_s, u"City1"_s}}};
        return poll([&] {
            seen.clear();
            for (const QJsonValue& row : d.ok("items", columns)[u"items"_s].toArray()) {
                seen << row[u"values"_s][u"Last Name"_s].toString() + u"/" +
                            row[u"values"_s][u"City1"_s].toString();
            }
            return seen == expected;
        });
    }
    // What a user types into a new patient's window on desk d, then saves.
    static void typePatient(DeskDriver& d, const QString& id, const QString& last,
                            const QString& city) {
        d.ok("create", {{u"folder"_s, QString::fromUtf16(desk::test::kPatients)}});
        d.ok("display", {{u"id"_s, id}});
        QJsonArray controls;
        for (const auto& [control, value] :
             {std::pair{u"LastNameTextBox"_s, last}, std::pair{u"FirstNameTextBox"_s, u"Ann"_s},
              std::pair{u"DateOfBirth"_s, u"03/04/1981"_s}, std::pair{u"CityBox"_s, city}}) {
            controls.append(QJsonObject{
                {u"page"_s, u"General"_s}, {u"control"_s, control}, {u"value"_s, value}});
        }
        d.ok("set", {{u"id"_s, id}, {u"controls"_s, controls}});
        d.ok("save", {{u"id"_s, id}});
    }

    QTemporaryDir m_dbDir;
    QString m_db = m_dbDir.filePath(u"Patients.mdb"_s);
    std::array<DeskTestStore, 3> m_stores;
    std::array<DeskDriver, 3> m_desks;
};

TEST_F(DeskMeshTest, ASaveShowsOnEveryRunningDeskAndAKilledOneStopsNobody) {
    DeskDriver& a = startDesk(0);
    DeskDriver& b = startDesk(1);
    DeskDriver& c = startDesk(2);
    // The later desks connect to the earlier ones, one every four seconds.
    for (DeskDriver* d : {&a, &b, &c}) {
        EXPECT_TRUE(connectedTo(*d, 2));
    }
    typePatient(a, u"new1"_s, u"O'Brien"_s, u"Leeds, West Yorkshire"_s);
    EXPECT_TRUE(showsPatients(b, {u"O'Brien/Leeds, West Yorkshire"_s}));
    EXPECT_TRUE(showsPatients(c, {u"O'Brien/Leeds, West Yorkshire"_s}));
    EXPECT_TRUE(console(a, "textOutput", "text")
                    .toString()
                    .startsWith(u"[127.0.0.2] P,1,1,O'Brien,Ann,03/04/1981,"_s));
    EXPECT_TRUE(console(b, "textOutput", "text").toString().isEmpty());

    // One desk dies; the first keeps saving: a new patient, then an edit.
    c.kill();
    typePatient(a, u"new2"_s, u"Patel"_s, u"Ripon"_s);
    const QJsonArray york{QJsonObject{
        {u"page"_s, u"General"_s}, {u"control"_s, u"CityBox"_s}, {u"value"_s, u"York"_s}}};
    a.ok("set", {{u"id"_s, u"new1"_s}, {u"controls"_s, york}});
    a.ok("save", {{u"id"_s, u"new1"_s}});
    EXPECT_TRUE(showsPatients(b, {u"O'Brien/York"_s, u"Patel/Ripon"_s}));
    EXPECT_TRUE(connectedTo(a, 1));
    a.ok("quit");
    b.ok("quit");
    EXPECT_EQ(a.waitForExit(), 0);
    EXPECT_EQ(b.waitForExit(), 0);
}

}  // namespace
}  // namespace orlo::test
