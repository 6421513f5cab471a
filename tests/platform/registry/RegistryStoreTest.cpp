// Keys, values and their types in the settings store, as one process sees
// them, and where the store's file lives.

#include <gtest/gtest.h>

#include <QDir>

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSysInfo>
#include "TestSupport.h"
#include "platform/registry/RegistryStore.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace std::chrono_literals;

namespace {

class RegistryStoreTest : public ::testing::Test {
protected:
    QString file() const { return m_dir.filePath(u"cfg/orlo/registry"_s); }

    QTemporaryDir m_dir;
};

RegistryValue text(const char* s) {
    return RegistryValue{kRegSz, QByteArray(s)};
}

class RegistryFileTest : public ::testing::Test {
protected:
    QString file() const { return m_dir.filePath(u"registry"_s); }

    // Every read and every write must fail with `number`, name the file and
    // leave its bytes as they were.
    void expectRefused(long number) {
        const QByteArray before = test::readFile(file());
        RegistryStore store(file());
        const RegistryKey key{RegistryRoot::CurrentUser, u"Software"_s};

        const Status checked = store.check();
        ASSERT_FALSE(checked.ok());
        EXPECT_EQ(checked.error().number, number);
        EXPECT_TRUE(checked.error().description.contains(file()))
            << checked.error().description.toStdString();

        EXPECT_EQ(test::failure(store.queryValue(key, u"v"_s)), number);
        EXPECT_EQ(store.openKey(RegistryRoot::CurrentUser, u"Software").error().number, number);

        EXPECT_EQ(test::failure(store.setValue(key, u"v"_s, {kRegSz, "x"})), number);
        EXPECT_EQ(store.createKey(RegistryRoot::CurrentUser, u"Other").error().number, number);
        EXPECT_EQ(test::readFile(file()), before);
    }

    QTemporaryDir m_dir;
};

QByteArray withTop(const QJsonObject& top) {
    return QJsonDocument(top).toJson();
}

constexpr int kValuesPerWriter = 120;
constexpr char kWriterVariable[] = "ORLO_TEST_REGISTRY_WRITER";
constexpr char16_t kKey[] = u"Software\\Orlo\\Concurrency";

QString valueName(const QString& writer, int i) {
    return writer + QLatin1Char('_') + QString::number(i);
}

}  // namespace

TEST_F(RegistryStoreTest, TypedValuesSurviveANewStoreOnTheSameFile) {
    {
        RegistryStore store(file());
        const Result<RegistryKey> key =
            store.createKey(RegistryRoot::CurrentUser, u"Software\\Orlo\\Test\\");
        ASSERT_TRUE(key.ok()) << key.error().description.toStdString();
        EXPECT_EQ(key->path, u"Software\\Orlo\\Test"_s);
        ASSERT_TRUE(store.setValue(*key, u"sz"_s, text("C:\\x")).ok());
        // Raw bytes as another tool might leave them: a terminating NUL, an
        // embedded one, a type the system never writes.
        ASSERT_TRUE(store.setValue(*key, u"nul"_s, {kRegSz, QByteArray("ab\0", 3)}).ok());
        ASSERT_TRUE(store.setValue(*key, u"multi"_s, {7, QByteArray("a\0b\0\0\xff", 6)}).ok());
        ASSERT_TRUE(store.setValue(*key, u"dw"_s, {kRegDword, QByteArray("\x01\0\0\x80", 4)}).ok());
    }
    RegistryStore again(file());
    const Result<RegistryKey> key =
        again.openKey(RegistryRoot::CurrentUser, u"Software\\Orlo\\Test");
    ASSERT_TRUE(key.ok());
    EXPECT_EQ(again.queryValue(*key, u"sz"_s)->value(), text("C:\\x"));
    EXPECT_EQ(again.queryValue(*key, u"nul"_s)->value().data, QByteArray("ab\0", 3));
    EXPECT_EQ(again.queryValue(*key, u"multi"_s)->value(),
              (RegistryValue{7, QByteArray("a\0b\0\0\xff", 6)}));
    EXPECT_EQ(again.queryValue(*key, u"dw"_s)->value().data, QByteArray("\x01\0\0\x80", 4));
    EXPECT_FALSE(again.queryValue(*key, u"absent"_s)->has_value());
    EXPECT_TRUE(again.check().ok());
}

TEST_F(RegistryStoreTest, NamesIgnoreCaseKeepTheirFirstSpellingAndKeyPathsCreateParents) {
    RegistryStore store(file());
    const RegistryKey key = *store.createKey(RegistryRoot::CurrentUser, u"Software\\OrloNet");
    ASSERT_TRUE(store.setValue(key, u"ManualIP"_s, text("1")).ok());

    const Result<RegistryKey> other =
        store.createKey(RegistryRoot::CurrentUser, u"SOFTWARE\\orlonet");
    ASSERT_TRUE(other.ok());
    EXPECT_EQ(other->path, u"Software\\OrloNet"_s);
    ASSERT_TRUE(store.setValue(*other, u"MANUALIP"_s, text("2")).ok());

    EXPECT_EQ(store.queryValue(key, u"manualip"_s)->value(), text("2"));
    EXPECT_EQ(*store.valueNames(key), QStringList{u"ManualIP"_s});

    // The same path under another root is another key.
    EXPECT_EQ(store.openKey(RegistryRoot::LocalMachine, u"software\\orlonet").error().number,
              err::kRegistryFileNotFound);
    ASSERT_TRUE(store.createKey(RegistryRoot::CurrentUser, u"A\\B\\C").ok());
    EXPECT_TRUE(store.openKey(RegistryRoot::CurrentUser, u"a\\b").ok());
    EXPECT_TRUE(store.openKey(RegistryRoot::CurrentUser, u"A").ok());
    EXPECT_EQ(store.openKey(RegistryRoot::CurrentUser, u"A\\X").error().number,
              err::kRegistryFileNotFound);

    for (const char16_t* bad : {u"\\A", u"A\\\\B", u"\\", u"A\\\\"}) {
        EXPECT_EQ(store.createKey(RegistryRoot::CurrentUser, bad).error().number,
                  err::kRegistryBadPath)
            << QString::fromUtf16(bad).toStdString();
    }

    // Values directly under the root key.
    const RegistryKey root = *store.openKey(RegistryRoot::CurrentUser, u"");
    ASSERT_TRUE(store.setValue(root, u"top"_s, text("t")).ok());
    EXPECT_EQ(RegistryStore(file()).queryValue(root, u"top"_s)->value(), text("t"));
}

TEST_F(RegistryStoreTest, ItsFileIsTheConstructorsThenTheVariablesThenXdgAndAnAbsentOneIsEmpty) {
    const QByteArray savedFile = qgetenv(RegistryStore::kFileVariable);
    const QByteArray savedXdg = qgetenv("XDG_CONFIG_HOME");

    qunsetenv(RegistryStore::kFileVariable);
    qputenv("XDG_CONFIG_HOME", "/srv/ws1/xdg");
    EXPECT_EQ(RegistryStore().filePath(), u"/srv/ws1/xdg/orlo/registry"_s);
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(RegistryStore().filePath(), QDir::homePath() + u"/.config/orlo/registry"_s);
    qputenv(RegistryStore::kFileVariable, "/srv/ws1/elsewhere/reg");
    EXPECT_EQ(RegistryStore().filePath(), u"/srv/ws1/elsewhere/reg"_s);
    EXPECT_EQ(RegistryStore(u"/srv/ws1/mine"_s).filePath(), u"/srv/ws1/mine"_s);

    qputenv(RegistryStore::kFileVariable, savedFile);
    qputenv("XDG_CONFIG_HOME", savedXdg);
    if (savedFile.isNull()) {
        qunsetenv(RegistryStore::kFileVariable);
    }
    if (savedXdg.isNull()) {
        qunsetenv("XDG_CONFIG_HOME");
    }
    // An absent file is an empty store and is not created by reading.
    RegistryStore store(file());
    EXPECT_TRUE(store.check().ok());
    EXPECT_EQ(store.openKey(RegistryRoot::CurrentUser, u"Software").error().number,
              err::kRegistryFileNotFound);
    EXPECT_FALSE(QFile::exists(file()));
}

TEST_F(RegistryStoreTest, SubkeysAreTheDirectChildrenOnlyInTheirFirstSpelling) {
    RegistryStore store(file());
    const QString addins = u"Software\\Desk\\Addins"_s;
    for (const char16_t* path :
         {u"Software\\Desk\\Addins\\Zeta.Connect", u"Software\\Desk\\Addins\\alpha.Connect\\Deeper",
          u"Software\\Desk\\AddinsOther\\NotAChild", u"SOFTWARE\\DESK\\ADDINS\\Mid.Connect"}) {
        ASSERT_TRUE(store.createKey(RegistryRoot::CurrentUser, path).ok());
    }
    ASSERT_TRUE(store.createKey(RegistryRoot::LocalMachine, u"Software\\Desk\\Addins\\Other").ok());
    const RegistryKey key = *store.openKey(RegistryRoot::CurrentUser, addins);
    EXPECT_EQ(*store.subkeyNames(key),
              (QStringList{u"alpha.Connect"_s, u"Mid.Connect"_s, u"Zeta.Connect"_s}));
    EXPECT_EQ(*store.subkeyNames(*store.openKey(RegistryRoot::CurrentUser, QString())),
              QStringList{u"Software"_s});
    EXPECT_TRUE(store
                    .subkeyNames(*store.openKey(RegistryRoot::CurrentUser,
                                                u"Software\\Desk\\Addins\\Zeta.Connect"))
                    ->isEmpty());
}

TEST_F(RegistryStoreTest, AProcessValueIsReadInPlaceOfTheFileUntilTheStoreWritesIt) {
    RegistryStore store(file());
    const RegistryKey key = *store.createKey(RegistryRoot::CurrentUser, u"Software\\Orlo");
    ASSERT_TRUE(store.setValue(key, u"db"_s, text("saved.mdb")).ok());
    ASSERT_TRUE(store.setValue(key, u"other"_s, text("kept")).ok());
    // Under a key the file lacks as well: it opens for this process only.
    ASSERT_TRUE(store
                    .setProcessValue(RegistryRoot::CurrentUser, u"software\\orlo\\", u"DB"_s,
                                     text("given.mdb"))
                    .ok());
    ASSERT_TRUE(
        store.setProcessValue(RegistryRoot::CurrentUser, u"Software\\New", u"v"_s, text("n")).ok());
    EXPECT_EQ(store.queryValue(key, u"db"_s)->value(), text("given.mdb"));
    EXPECT_EQ(store.queryValue(*store.openKey(RegistryRoot::CurrentUser, u"Software\\New"), u"v"_s)
                  ->value(),
              text("n"));
    // Another value's write keeps both the process value and the file's own.
    ASSERT_TRUE(store.setValue(key, u"other"_s, text("changed")).ok());
    RegistryStore fileOnly(file());
    EXPECT_EQ(fileOnly.queryValue(key, u"db"_s)->value(), text("saved.mdb"));
    EXPECT_FALSE(fileOnly.openKey(RegistryRoot::CurrentUser, u"Software\\New").ok());
    EXPECT_EQ(store.queryValue(key, u"db"_s)->value(), text("given.mdb"));
    // A write of the value itself is the user's choice from then on.
    ASSERT_TRUE(store.setValue(key, u"Db"_s, text("chosen.mdb")).ok());
    EXPECT_EQ(store.queryValue(key, u"db"_s)->value(), text("chosen.mdb"));
    EXPECT_EQ(fileOnly.queryValue(key, u"db"_s)->value(), text("chosen.mdb"));
}

// The settings file on disk: what a damaged, foreign or unreadable file does
// to reads and writes, and how a write waits for another writer's lock.

TEST_F(RegistryFileTest, DamagedForeignOrUnreadableFilesAreReportedAndNeverOverwritten) {
    const QList<QByteArray> damaged = {
        QByteArray("{\"format\": \"orlo-registry\", \"version\": 1, \"keys\": ["),  // cut short
        QByteArray("\0\0\0\0", 4),
        QByteArray("[]"),
        withTop({{u"keys"_s, QJsonArray()}}),  // no format marker
        withTop({{u"format"_s, u"orlo-registry"_s},
                 {u"version"_s, 2},  // a newer program's file
                 {u"keys"_s, QJsonArray()}}),
        QByteArray(
            R"({"format":"orlo-registry","version":1,"keys":[{"root":"HKEY_NOWHERE","path":"A","values":[]}]})"),
        QByteArray(
            R"({"format":"orlo-registry","version":1,"keys":[{"root":"HKEY_CURRENT_USER","path":"A\\\\B","values":[]}]})"),
        QByteArray(
            R"({"format":"orlo-registry","version":1,"keys":[{"root":"HKEY_CURRENT_USER","path":"A","values":[{"name":"v","type":1,"data":"*not base64*"}]}]})"),
        QByteArray(
            R"({"format":"orlo-registry","version":1,"keys":[{"root":"HKEY_CURRENT_USER","path":"A","values":[{"name":"v","type":-1,"data":""}]}]})"),
        QByteArray(
            R"({"format":"orlo-registry","version":1,"keys":[{"root":"HKEY_CURRENT_USER","path":"A","values":[{"name":"v","data":""}]}]})"),
    };
    for (const QByteArray& bytes : damaged) {
        SCOPED_TRACE(bytes.toStdString());
        test::writeFile(file(), bytes);
        expectRefused(err::kRegistryCorrupt);
    }
    // A folder where the file should be: unreadable even for root.
    ASSERT_TRUE(QFile::remove(file()) && QDir().mkpath(file()));
    expectRefused(err::kRegistryCantRead);
    EXPECT_TRUE(QFileInfo(file()).isDir());
}

TEST_F(RegistryFileTest, AWriteWaitsForALiveLockAndTakesOverADeadOne) {
    RegistryStore store(file());
    const RegistryKey key{RegistryRoot::CurrentUser, u"K"_s};
    {
        // A folder where the lock file goes is refused at once, not waited on.
        ASSERT_TRUE(QDir().mkpath(file() + u".lock"_s));
        store.setLockTimeout(60000ms);
        const Status s = store.setValue(key, u"v"_s, {kRegSz, "x"});
        ASSERT_FALSE(s.ok());
        EXPECT_EQ(s.error().number, err::kRegistryCantWrite);
        EXPECT_EQ(s.error().description, u"Cannot lock the settings file "_s + file() + u": "_s +
                                             file() +
                                             u".lock is not a file; remove it or move it away"_s);
        ASSERT_TRUE(QDir().rmdir(file() + u".lock"_s));
    }
    {
        QLockFile held(file() + u".lock"_s);
        ASSERT_TRUE(held.tryLock(0));
        store.setLockTimeout(150ms);
        const Status s = store.setValue(key, u"v"_s, {kRegSz, "x"});
        ASSERT_FALSE(s.ok());
        EXPECT_EQ(s.error().number, err::kRegistryLocked);
        EXPECT_FALSE(QFile::exists(file()));
    }

    // A writer that died holding the lock leaves its lock file behind.
    QProcess gone;
    gone.start(u"true"_s, {});
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    test::writeFile(file() + u".lock"_s, QByteArray::number(deadPid) + "\nregistry_tests\n" +
                                             QSysInfo::machineHostName().toUtf8() + "\n");
    store.setLockTimeout(5000ms);
    const Status s = store.setValue(key, u"v"_s, {kRegSz, "y"});
    ASSERT_TRUE(s.ok()) << s.error().description.toStdString();
    EXPECT_EQ(store.queryValue(key, u"v"_s)->value().data, QByteArray("y"));
}

// Two processes writing the same settings file at once: every value of both
// arrives and the file still parses. The test binary starts copies of itself
// that run only the writer below.

// Run only as a child of the test below: writes this writer's values, through
// the file named by ORLO_REGISTRY_FILE, each write its own locked update.
TEST(RegistryWriterChild, DISABLED_WritesItsValues) {
    const QString writer = qEnvironmentVariable(kWriterVariable);
    ASSERT_FALSE(writer.isEmpty());
    RegistryStore store;
    for (int i = 0; i < kValuesPerWriter; ++i) {
        const Result<RegistryKey> key = store.createKey(RegistryRoot::CurrentUser, kKey);
        ASSERT_TRUE(key.ok()) << key.error().description.toStdString();
        const Status s =
            store.setValue(*key, valueName(writer, i), {kRegSz, valueName(writer, i).toUtf8()});
        ASSERT_TRUE(s.ok()) << s.error().description.toStdString();
    }
}

TEST(RegistryConcurrency, TwoProcessesWritingAtOnceLoseNothing) {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"registry"_s);
    const QStringList writers = {u"alpha"_s, u"beta"_s};
    std::vector<std::unique_ptr<QProcess>> children;
    for (const QString& w : writers) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(RegistryStore::kFileVariable), file);
        env.insert(QString::fromLatin1(kWriterVariable), w);
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(QCoreApplication::applicationFilePath(),
                 {u"--gtest_also_run_disabled_tests"_s, u"--gtest_filter=RegistryWriterChild.*"_s});
        children.push_back(std::move(p));
    }
    for (auto& p : children) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0) << p->readAll().toStdString();
    }

    RegistryStore store(file);
    ASSERT_TRUE(store.check().ok());
    const RegistryKey key = *store.openKey(RegistryRoot::CurrentUser, kKey);
    EXPECT_EQ(store.valueNames(key)->size(), writers.size() * kValuesPerWriter);
    for (const QString& w : writers) {
        for (int i = 0; i < kValuesPerWriter; ++i) {
            const auto v = store.queryValue(key, valueName(w, i));
            ASSERT_TRUE(v.ok() && v->has_value()) << valueName(w, i).toStdString();
            EXPECT_EQ(v->value().data, valueName(w, i).toUtf8());
        }
    }
}
