// The settings file on disk: what a damaged, foreign or unreadable file does
// to reads and writes, and how a write waits for another writer's lock.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>

#include "TestSupport.h"
#include "platform/registry/RegistryStore.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace std::chrono_literals;

namespace {

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

}  // namespace

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
