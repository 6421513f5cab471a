// The settings dialog's form on the test desk: what load, edits, Apply, OK
// and Cancel write; the connection test, resync and compaction on the typed
// path; the help topics.

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "RecordsFixture.h"
#include "host/Items.h"
#include "platform/registry/RegistryStore.h"
#include "platform/ui/HelpViewer.h"
#include "settings/SettingsForm.h"

namespace orlo::test {
namespace {

using settings::SettingsForm;

const MessageBoxRequest kRestart{u"Please restart MS Outlook for these settings to take effect."_s,
                                 u"Orlo Software"_s, MsgIcon::Exclamation, MsgButtons::OK};
const MessageBoxRequest kUserCancelled{u"User cancelled"_s, u"Software Message"_s,
                                       MsgIcon::Information, MsgButtons::OK};
const MessageBoxRequest kConfirmResync{
    u"Are you sure you want to ReSync all records?\rThis operation can take some time to "
    "complete, depending on the number of records in the database."_s,
    u"Software - Confirm ReSync"_s, MsgIcon::Exclamation, MsgButtons::YesNo};
const MessageBoxRequest kConfirmCompact{
    u"Are you sure you want to compact the database?\rAll users must be logged out."_s,
    u"Software - Confirm Compact"_s, MsgIcon::Exclamation, MsgButtons::YesNo};
const MessageBoxRequest kInUse{
    u"All users need to be out of the database before this operation is possible."_s,
    u"Database Error"_s, MsgIcon::Critical, MsgButtons::OK};

class SettingsFormTest : public RecordsFixture {
protected:
    void SetUp() override {
        RecordsFixture::SetUp();
        boxes.clear();
    }
    SettingsForm& loaded() {
        form = std::make_unique<SettingsForm>(*ctx, help);
        form->Form_Load();
        return *form;
    }
    QString stored(const char16_t* name) const {
        const Variant v = registry->RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, name);
        return v.asText() ? *v.asText() : u"<empty>"_s;
    }
    // The stored type of a value of the add-in's key.
    std::optional<quint32> storedType(const char16_t* name) const {
        const auto key = registryStore->openKey(HKEY_CURRENT_USER, AddinRegistryKey);
        if (!key) {
            return std::nullopt;
        }
        const auto value = registryStore->queryValue(*key, QString::fromUtf16(name));
        return value && *value ? std::optional<quint32>((*value)->type) : std::nullopt;
    }
    QString helpFolder() const { return QDir(dbs.dir()).filePath(u"Help"_s); }

    QtHelpViewer help{helpFolder()};
    std::unique_ptr<SettingsForm> form;
};

TEST_F(SettingsFormTest, LoadEditsAndSavesWriteOnlyWhatWasEdited) {
    // Load puts the stored values in; nothing counts as an edit.
    SettingsForm& f = loaded();
    EXPECT_EQ(f.databaseLocation(), dbPath);
    EXPECT_TRUE(f.manualIpEnabled());
    EXPECT_FALSE(f.applyEnabled());
    EXPECT_FALSE(f.changed());

    // OK without an edit: nothing written, no message.
    const QByteArray file = readFile(registryStore->filePath());
    EXPECT_TRUE(f.cmdOK_Click());
    EXPECT_EQ(readFile(registryStore->filePath()), file);
    EXPECT_TRUE(boxes.shown().empty());

    // One typed character enables Apply; Apply writes all three as text in
    // order and says so once.
    f.txtdblocation_Change(dbPath + u"x"_s);
    EXPECT_TRUE(f.applyEnabled());
    f.chkRefresh_Click(false);
    EXPECT_FALSE(f.addressEnabled());
    f.txtRefreshRate_Change(u""_s);
    f.cmdApply_Click();
    EXPECT_FALSE(f.applyEnabled());
    EXPECT_EQ(stored(kDefaultDbLocationValue), dbPath + u"x"_s);
    EXPECT_EQ(stored(kManualIpValue), u""_s);
    EXPECT_EQ(stored(kManualIpEnabledValue), u"0"_s);
    for (const char16_t* name : {kDefaultDbLocationValue, kManualIpValue, kManualIpEnabledValue}) {
        EXPECT_EQ(storedType(name), std::optional<quint32>(1u));  // REG_SZ
    }
    EXPECT_EQ(boxes.shown(), std::vector<MessageBoxRequest>{kRestart});

    // A second edit and OK save again and close.
    f.txtRefreshRate_Change(u"10.0.0.7"_s);
    EXPECT_TRUE(f.cmdOK_Click());
    EXPECT_EQ(stored(kManualIpValue), u"10.0.0.7"_s);
    EXPECT_EQ(boxes.shown().size(), 2u);

    // A dialog opened afterwards shows what was saved, the address box off.
    SettingsForm& again = loaded();
    EXPECT_EQ(again.manualIp(), u"10.0.0.7"_s);
    EXPECT_FALSE(again.addressEnabled());
    again.chkRefresh_Click(true);
    EXPECT_TRUE(again.addressEnabled());
    EXPECT_TRUE(again.applyEnabled());
}

TEST_F(SettingsFormTest, ASaveThatCannotBeWrittenIsSaidAndKeepsTheEdit) {
    SettingsForm& f = loaded();
    f.txtdblocation_Change(u"/srv/clinic/Patients.mdb"_s);
    writeFile(registryStore->filePath(), "{ not the settings");
    EXPECT_FALSE(f.cmdOK_Click());
    EXPECT_TRUE(f.applyEnabled());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, u"Software Error"_s);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(u"There has been an error\r\n  "_s));
    EXPECT_EQ(readFile(registryStore->filePath()), QByteArray("{ not the settings"));
}

TEST_F(SettingsFormTest, TheConnectionTestOpensOnlyWhatExists) {
    const MessageBoxRequest good{u"Database Connection Successful!"_s, u"Software Message"_s,
                                 MsgIcon::Information, MsgButtons::OK};
    const MessageBoxRequest bad{u"The database connection could not be made."_s,
                                u"Software Error"_s, MsgIcon::Critical, MsgButtons::OK};
    const struct {
        QString path;
        MessageBoxRequest box;
    } cases[] = {
        {dbPath, good},
        {QDir(dbs.dir()).filePath(u"Database/Other.mdb"_s), bad},
        {QDir(dbs.dir()).filePath(u"Database"_s), bad},
        {u""_s, bad},
        {QDir(dbs.dir()).filePath(u"logs"_s) + u"/../registry"_s, bad},  // no database
    };
    SettingsForm& f = loaded();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        boxes.clear();
        f.txtdblocation_Change(c.path);  // typed, not saved
        f.cmdTestDSN_Click();
        EXPECT_EQ(boxes.shown(), std::vector<MessageBoxRequest>{c.box});
    }
    EXPECT_FALSE(QFileInfo::exists(QDir(dbs.dir()).filePath(u"Database/Other.mdb"_s)));
    EXPECT_EQ(stored(kDefaultDbLocationValue), dbPath);
}

TEST_F(SettingsFormTest, ResyncOnTheTypedPath) {
    const MessageBoxRequest complete{u"Database ReSync Complete!"_s, u"Software Message"_s,
                                     MsgIcon::Information, MsgButtons::OK};
    dbs.addPatients({{1, "Adams", "Ann"}, {2, "Brown", "Bob"}});
    dbs.addAppointments({{7, 1, "2026-04-01 09:00:00"}});
    SettingsForm& f = loaded();

    boxes.queueAnswer(MsgAnswer::No);
    f.cmdReSync_Click();
    EXPECT_EQ(boxes.shown(), (std::vector<MessageBoxRequest>{kConfirmResync, kUserCancelled}));
    EXPECT_EQ(*patientsFolder->Items()->Count(), 0);

    // A path that does not open: the resync's own boxes, no completion.
    boxes.clear();
    f.txtdblocation_Change(QDir(dbs.dir()).filePath(u"Database/Gone.mdb"_s));
    boxes.queueAnswer(MsgAnswer::Yes);
    f.cmdReSync_Click();
    ASSERT_GE(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown().front(), kConfirmResync);
    EXPECT_EQ(std::count(boxes.shown().begin(), boxes.shown().end(), complete), 0);
    EXPECT_EQ(boxes.shown()[1].title, u"Software Error - Patients Resync"_s);

    boxes.clear();
    f.txtdblocation_Change(dbPath);
    boxes.queueAnswer(MsgAnswer::Yes);
    f.cmdReSync_Click();
    EXPECT_EQ(boxes.shown(), (std::vector<MessageBoxRequest>{kConfirmResync, complete}));
    EXPECT_EQ(*patientsFolder->Items()->Count(), 2);
    EXPECT_EQ(*schedulerFolder->Items()->Count(), 1);
}

TEST_F(SettingsFormTest, CompactionShrinksAloneAndLeavesABusyDatabaseAlone) {
    const MessageBoxRequest compacted{u"Database successfully compacted."_s, u"Completed"_s,
                                      MsgIcon::Information, MsgButtons::OK};
    std::vector<SeedPatient> many;
    for (int i = 1; i <= 600; ++i) {
        many.push_back({i, "Patient", "Many"});
    }
    dbs.addPatients(many);
    rawExec(u"UPDATE PATIENTS SET NOTES_NOTES1 = hex(randomblob(900))"_s);
    rawExec(u"DELETE FROM PATIENTS WHERE PT_ID > 60"_s);
    SettingsForm& f = loaded();

    // No: nothing at all.
    boxes.queueAnswer(MsgAnswer::No);
    const QByteArray bytes = readFile(dbPath);
    f.cmdCompact_Click();
    EXPECT_EQ(boxes.shown(), std::vector<MessageBoxRequest>{kConfirmCompact});
    EXPECT_EQ(readFile(dbPath), bytes);

    // Another workstation registered: the file is not touched. This
    // workstation's own row does not count.
    ASSERT_EQ(
        rawCount(u"SELECT count(*) FROM CURRENTSESSIONS WHERE IP = '"_s + ctx->LocalIP + u"'"_s),
        1);
    rawExec(u"INSERT INTO CURRENTSESSIONS (IP) VALUES ('127.9.9.9')"_s);
    const QByteArray busy = readFile(dbPath);
    boxes.clear();
    boxes.queueAnswer(MsgAnswer::Yes);
    f.cmdCompact_Click();
    EXPECT_EQ(boxes.shown(), (std::vector<MessageBoxRequest>{kConfirmCompact, kInUse}));
    EXPECT_EQ(readFile(dbPath), busy);

    rawExec(u"DELETE FROM CURRENTSESSIONS WHERE IP = '127.9.9.9'"_s);
    const qint64 before = QFileInfo(dbPath).size();
    boxes.clear();
    boxes.queueAnswer(MsgAnswer::Yes);
    f.cmdCompact_Click();
    EXPECT_EQ(boxes.shown(), (std::vector<MessageBoxRequest>{kConfirmCompact, compacted}));
    const qint64 after = QFileInfo(dbPath).size();
    EXPECT_LT(after * 2, before);
    EXPECT_EQ(rawCount(u"SELECT count(*) FROM PATIENTS"_s), 60);
    EXPECT_TRUE(errorLog().contains(
        u"] Database compacted: %1 (%2 bytes before, %3 after)\r\n"_s.arg(dbPath).arg(before).arg(
            after)))
        << errorLog().toStdString();

    // A path that does not open is said, and nothing is created.
    const QString gone = QDir(dbs.dir()).filePath(u"Database/Gone.mdb"_s);
    f.txtdblocation_Change(gone);
    boxes.clear();
    boxes.queueAnswer(MsgAnswer::Yes);
    f.cmdCompact_Click();
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].title, u"Database Error"_s);
    EXPECT_EQ(boxes.shown()[1].text,
              u"There has been an error\r\n  Could not find file '%1'.  -2147467259  Orlo Data "
              "Provider (SQLite)"_s.arg(gone));
    EXPECT_FALSE(QFileInfo::exists(gone));
}

TEST_F(SettingsFormTest, HelpTopicsByNumberAndAMissingOneSaidInABox) {
    SettingsForm& f = loaded();
    const struct {
        void (SettingsForm::*click)();
        const char* page;
    } cases[] = {{&SettingsForm::cmdHelp_Click, "1.html"},
                 {&SettingsForm::Picture3_Click, "9.html"},
                 {&SettingsForm::Picture2_Click, "10.html"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        ASSERT_TRUE(QDir().mkpath(helpFolder()));
        boxes.clear();
        (f.*c.click)();
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title, u"Software Error"_s);
        EXPECT_TRUE(boxes.shown()[0].text.contains(QString::fromLatin1(c.page)));
        writeFile(QDir(helpFolder()).filePath(QString::fromLatin1(c.page)), "<p>topic</p>");
        boxes.clear();
        (f.*c.click)();
        EXPECT_TRUE(boxes.shown().empty());
    }
}

}  // namespace
}  // namespace orlo::test
