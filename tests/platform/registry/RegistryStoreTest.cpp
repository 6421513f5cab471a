// Keys, values and their types in the settings store, as one process sees
// them, and where the store's file lives.

#include <gtest/gtest.h>

#include <QDir>

#include "TestSupport.h"
#include "platform/registry/RegistryStore.h"

using namespace orlo;

namespace {

class RegistryStoreTest : public ::testing::Test {
protected:
    QString file() const { return m_dir.filePath(QStringLiteral("cfg/orlo/registry")); }

    QTemporaryDir m_dir;
};

RegistryValue text(const char* s) {
    return RegistryValue{kRegSz, QByteArray(s)};
}

}  // namespace

TEST_F(RegistryStoreTest, TypedValuesSurviveANewStoreOnTheSameFile) {
    {
        RegistryStore store(file());
        const Result<RegistryKey> key =
            store.createKey(RegistryRoot::CurrentUser, u"Software\\Orlo\\Test\\");
        ASSERT_TRUE(key.ok()) << key.error().description.toStdString();
        EXPECT_EQ(key->path, QStringLiteral("Software\\Orlo\\Test"));
        ASSERT_TRUE(store.setValue(*key, QStringLiteral("sz"), text("C:\\x")).ok());
        // Raw bytes as another tool might leave them: a terminating NUL, an
        // embedded one, a type the system never writes.
        ASSERT_TRUE(
            store.setValue(*key, QStringLiteral("nul"), {kRegSz, QByteArray("ab\0", 3)}).ok());
        ASSERT_TRUE(
            store.setValue(*key, QStringLiteral("multi"), {7, QByteArray("a\0b\0\0\xff", 6)}).ok());
        ASSERT_TRUE(
            store.setValue(*key, QStringLiteral("dw"), {kRegDword, QByteArray("\x01\0\0\x80", 4)})
                .ok());
    }
    RegistryStore again(file());
    const Result<RegistryKey> key =
        again.openKey(RegistryRoot::CurrentUser, u"Software\\Orlo\\Test");
    ASSERT_TRUE(key.ok());
    EXPECT_EQ(again.queryValue(*key, QStringLiteral("sz"))->value(), text("C:\\x"));
    EXPECT_EQ(again.queryValue(*key, QStringLiteral("nul"))->value().data, QByteArray("ab\0", 3));
    EXPECT_EQ(again.queryValue(*key, QStringLiteral("multi"))->value(),
              (RegistryValue{7, QByteArray("a\0b\0\0\xff", 6)}));
    EXPECT_EQ(again.queryValue(*key, QStringLiteral("dw"))->value().data,
              QByteArray("\x01\0\0\x80", 4));
    EXPECT_FALSE(again.queryValue(*key, QStringLiteral("absent"))->has_value());
    EXPECT_TRUE(again.check().ok());
}

TEST_F(RegistryStoreTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    RegistryStore store(file());
    const RegistryKey key = *store.createKey(RegistryRoot::CurrentUser, u"Software\\OrloNet");
    ASSERT_TRUE(store.setValue(key, QStringLiteral("ManualIP"), text("1")).ok());

    const Result<RegistryKey> other =
        store.createKey(RegistryRoot::CurrentUser, u"SOFTWARE\\orlonet");
    ASSERT_TRUE(other.ok());
    EXPECT_EQ(other->path, QStringLiteral("Software\\OrloNet"));
    ASSERT_TRUE(store.setValue(*other, QStringLiteral("MANUALIP"), text("2")).ok());

    EXPECT_EQ(store.queryValue(key, QStringLiteral("manualip"))->value(), text("2"));
    EXPECT_EQ(*store.valueNames(key), QStringList{QStringLiteral("ManualIP")});

    // The same path under another root is another key.
    EXPECT_EQ(store.openKey(RegistryRoot::LocalMachine, u"software\\orlonet").error().number,
              err::kRegistryFileNotFound);
}

TEST_F(RegistryStoreTest, KeyPathsCreateTheirParentsAndRefuseEmptyNames) {
    RegistryStore store(file());
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
    ASSERT_TRUE(store.setValue(root, QStringLiteral("top"), text("t")).ok());
    EXPECT_EQ(RegistryStore(file()).queryValue(root, QStringLiteral("top"))->value(), text("t"));
}

TEST_F(RegistryStoreTest, AnAbsentFileIsAnEmptyStoreAndIsNotCreatedByReading) {
    RegistryStore store(file());
    EXPECT_TRUE(store.check().ok());
    EXPECT_EQ(store.openKey(RegistryRoot::CurrentUser, u"Software").error().number,
              err::kRegistryFileNotFound);
    EXPECT_FALSE(QFile::exists(file()));
}

TEST(RegistryStoreLocation, ConstructorThenVariableThenXdgConfigHome) {
    const QByteArray savedFile = qgetenv(RegistryStore::kFileVariable);
    const QByteArray savedXdg = qgetenv("XDG_CONFIG_HOME");

    qunsetenv(RegistryStore::kFileVariable);
    qputenv("XDG_CONFIG_HOME", "/srv/ws1/xdg");
    EXPECT_EQ(RegistryStore().filePath(), QStringLiteral("/srv/ws1/xdg/orlo/registry"));
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(RegistryStore().filePath(),
              QDir::homePath() + QStringLiteral("/.config/orlo/registry"));
    qputenv(RegistryStore::kFileVariable, "/srv/ws1/elsewhere/reg");
    EXPECT_EQ(RegistryStore().filePath(), QStringLiteral("/srv/ws1/elsewhere/reg"));
    EXPECT_EQ(RegistryStore(QStringLiteral("/srv/ws1/mine")).filePath(),
              QStringLiteral("/srv/ws1/mine"));

    qputenv(RegistryStore::kFileVariable, savedFile);
    qputenv("XDG_CONFIG_HOME", savedXdg);
    if (savedFile.isNull()) {
        qunsetenv(RegistryStore::kFileVariable);
    }
    if (savedXdg.isNull()) {
        qunsetenv("XDG_CONFIG_HOME");
    }
}

TEST_F(RegistryStoreTest, SubkeysAreTheDirectChildrenOnlyInTheirFirstSpelling) {
    RegistryStore store(file());
    const QString addins = QStringLiteral("Software\\Desk\\Addins");
    for (const char16_t* path :
         {u"Software\\Desk\\Addins\\Zeta.Connect", u"Software\\Desk\\Addins\\alpha.Connect\\Deeper",
          u"Software\\Desk\\AddinsOther\\NotAChild", u"SOFTWARE\\DESK\\ADDINS\\Mid.Connect"}) {
        ASSERT_TRUE(store.createKey(RegistryRoot::CurrentUser, path).ok());
    }
    ASSERT_TRUE(store.createKey(RegistryRoot::LocalMachine, u"Software\\Desk\\Addins\\Other").ok());
    const RegistryKey key = *store.openKey(RegistryRoot::CurrentUser, addins);
    EXPECT_EQ(*store.subkeyNames(key),
              (QStringList{QStringLiteral("alpha.Connect"), QStringLiteral("Mid.Connect"),
                           QStringLiteral("Zeta.Connect")}));
    EXPECT_EQ(*store.subkeyNames(*store.openKey(RegistryRoot::CurrentUser, QString())),
              QStringList{QStringLiteral("Software")});
    EXPECT_TRUE(store
                    .subkeyNames(*store.openKey(RegistryRoot::CurrentUser,
                                                u"Software\\Desk\\Addins\\Zeta.Connect"))
                    ->isEmpty());
}
