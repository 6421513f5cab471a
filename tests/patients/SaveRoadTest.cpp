// Patient saves through a real orlo-desk with the add-in loaded, driven over
// its automation channel: a store the desk can only read is told at start
// and at every save, with nothing written half.

#include <QFile>
#include <QJsonArray>

#include "DeskDriver.h"
#include "DeskTestStore.h"
#include "TestDatabases.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::test {
namespace {

QJsonObject onItem(const QString& id, QJsonObject fields = {}) {
    fields.insert(u"id"_s, id);
    return fields;
}

QJsonObject typedInto(const QString& id,
                      const std::vector<std::pair<const char*, QString>>& typed) {
    QJsonArray controls;
    for (const auto& [name, value] : typed) {
        controls.append(QJsonObject{{u"page"_s, u"General"_s},
                                    {u"control"_s, QString::fromLatin1(name)},
                                    {u"value"_s, value}});
    }
    return onItem(id, {{u"controls"_s, controls}});
}

// The commands a user's typing of one new patient becomes: the window
// opened, the name, date of birth and city typed.
void typePatient(DeskDriver& desk, const QString& id, const QString& last, const QString& city) {
    desk.send("create", {{u"folder"_s, QString::fromUtf16(desk::test::kPatients)}});
    desk.send("display", onItem(id));
    desk.send("set", typedInto(id, {{"LastNameTextBox", last},
                                    {"FirstNameTextBox", u"Ann"_s},
                                    {"DateOfBirth", u"01/02/1970"_s},
                                    {"CityBox", city}}));
}

class SaveRoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.create());
        db = store.addDatabase();
        ASSERT_FALSE(db.isEmpty());
        ASSERT_TRUE(store.listAddin(QString::fromUtf8(ORLO_ADDIN_LIBRARY)));
    }
    void start(DeskDriver& desk) {
        ASSERT_TRUE(desk.start(QString::fromUtf8(ORLO_DESK_BINARY), store));
    }
    QJsonArray boxes(DeskDriver& desk) {
        return desk.ok("messageBoxes", {{u"clear"_s, true}}).value(u"boxes"_s).toArray();
    }
    qint64 rows(const QString& last) {
        return rawValueAt(db,
                          u"SELECT COUNT(*) FROM PATIENTS WHERE \"LAST NAME\" = '%1'"_s.arg(last))
            .value_or(u"-1"_s)
            .toLongLong();
    }

    desk::test::DeskTestStore store;
    QString db;
};

// Read-only for everyone, so that even the superuser's desk does not write it.
void setReadOnly(const QString& path, bool readOnly) {
    const auto base = QFile::ReadOwner | QFile::ReadGroup | QFile::ExeOwner | QFile::ExeGroup;
    ASSERT_TRUE(QFile::setPermissions(path, readOnly ? base : base | QFile::WriteOwner));
}

TEST_F(SaveRoadTest, AStoreThatCannotBeWrittenIsToldAndKeepsWhatWasTyped) {
    const QString folder = store.appDir + u"/PST"_s;
    const QString refused =
        u"The item store file \"%1\" cannot be written: the file or its "
        "folder is read-only."_s.arg(store.storePath);
    struct Case {
        const char* name;
        QString path;  // made read-only
        bool atStart;  // before the desk starts, else once it is running
    };
    const Case cases[] = {
        {"file at start", store.storePath, true},
        {"folder at start", folder, true},
        {"file while running", store.storePath, false},
        {"folder while running", folder, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString last = u"Ro%1"_s.arg(++n);
        if (c.atStart) {
            setReadOnly(c.path, true);
        }
        DeskDriver desk;
        start(desk);
        const QJsonArray atStart = boxes(desk);
        if (c.atStart) {
            ASSERT_EQ(atStart.size(), 1);
            EXPECT_EQ(atStart[0][u"title"_s].toString(), u"Open PST Error"_s);
            EXPECT_EQ(atStart[0][u"text"_s].toString(), u"-2147467259\r\n"_s + refused);
        } else {
            EXPECT_TRUE(atStart.isEmpty());
            setReadOnly(c.path, true);
        }
        typePatient(desk, u"new1"_s, last, u"Leeds"_s);
        for (int i = 0; i < 3; ++i) {
            desk.reply();
        }
        const QByteArray before = readFile(store.storePath);
        EXPECT_EQ(desk.refused("save", onItem(u"new1"_s))[u"error"_s][u"description"_s].toString(),
                  refused);
        const QJsonArray told = boxes(desk);
        ASSERT_EQ(told.size(), 1);
        EXPECT_EQ(told[0][u"title"_s].toString(), u"Orlo Desk"_s);
        EXPECT_EQ(told[0][u"text"_s].toString(), refused);
        // Nothing written half: neither the database nor the store.
        EXPECT_EQ(rows(last), 0);
        EXPECT_TRUE(readFile(store.storePath) == before);
        const QJsonObject kept = desk.ok("dump", onItem(u"new1"_s));
        EXPECT_FALSE(kept[u"saved"_s].toBool());
        EXPECT_EQ(kept[u"properties"_s][u"Last Name"_s].toString(), last);
        EXPECT_EQ(kept[u"properties"_s][u"City1"_s].toString(), u"Leeds"_s);

        setReadOnly(c.path, false);
        if (!c.atStart) {
            // Writable again, the next save stores what was typed. (A store
            // opened for reading stays so until the desk starts again.)
            desk.ok("save", onItem(u"new1"_s));
            EXPECT_TRUE(boxes(desk).isEmpty());
            EXPECT_EQ(rows(last), 1);
        }
        desk.ok("close", onItem(u"new1"_s, {{u"mode"_s, u"discard"_s}}));
        desk.ok("quit");
        EXPECT_EQ(desk.waitForExit(), 0);
    }
}

}  // namespace
}  // namespace orlo::test
