// The add-in's registry routines over a real settings file: NUL rules, types,
// the leading backslash and the empty key path.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "common/basRegistry.h"

using namespace orlo;

namespace {

class basRegistryTest : public ::testing::Test {
protected:
    basRegistryTest()
        : m_store(m_dir.filePath(QStringLiteral("registry"))),
          m_reg(m_store, Locale::unitedKingdom()) {}

    RegistryKey addinKey() { return *m_store.createKey(HKEY_CURRENT_USER, AddinRegistryKey); }

    QTemporaryDir m_dir;
    RegistryStore m_store;
    basRegistry m_reg;
};

}  // namespace

TEST_F(basRegistryTest, TextIsWrittenWithoutANulAndReadsBackIdentical) {
    const QString path = QStringLiteral("/srv/clinic/Database/Patients.mdb ü");
    ASSERT_TRUE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kDefaultDbLocationValue,
                                       path, REG_SZ));
    const RegistryValue stored =
        m_store.queryValue(addinKey(), QStringLiteral("defaultDBlocation"))->value();
    EXPECT_EQ(stored, (RegistryValue{kRegSz, path.toUtf8()}));
    EXPECT_EQ(m_reg.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, kDefaultDbLocationValue),
              Variant(path));
    // Empty text is a value of no bytes, and reads as empty text.
    ASSERT_TRUE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue,
                                       QString(), REG_SZ));
    EXPECT_EQ(m_store.queryValue(addinKey(), QStringLiteral("ManualIP"))->value().data,
              QByteArray());
    EXPECT_EQ(m_reg.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue),
              Variant(QString()));
}

TEST_F(basRegistryTest, ReadersDropExactlyOneTrailingNul) {
    const RegistryKey key = addinKey();
    ASSERT_TRUE(
        m_store.setValue(key, QStringLiteral("a"), {kRegSz, QByteArray("C:\\db\0", 6)}).ok());
    ASSERT_TRUE(m_store.setValue(key, QStringLiteral("b"), {kRegSz, QByteArray("x\0\0", 3)}).ok());
    ASSERT_TRUE(m_store.setValue(key, QStringLiteral("c"), {kRegSz, QByteArray("\0", 1)}).ok());
    ASSERT_TRUE(m_store.setValue(key, QStringLiteral("d"), {kRegSz, QByteArray("a\0b", 3)}).ok());
    auto read = [&](const char16_t* name) {
        return m_reg.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, name);
    };
    EXPECT_EQ(read(u"a"), Variant(QStringLiteral("C:\\db")));
    EXPECT_EQ(read(u"b"), Variant(QStringLiteral("x") + QChar(0)));
    EXPECT_EQ(read(u"c"), Variant(QString()));
    EXPECT_EQ(read(u"d"), Variant(QStringLiteral("a") + QChar(0) + QStringLiteral("b")));

    // The typed query itself hands back every byte.
    Variant v;
    ASSERT_TRUE(m_reg.RegQueryTypedValue(key, u"a", v).ok());
    EXPECT_EQ(v, Variant(QStringLiteral("C:\\db") + QChar(0)));
}

TEST_F(basRegistryTest, DwordsAreFourBytesOfASigned32BitInteger) {
    ASSERT_TRUE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, u"Software\\T", u"n", -2, REG_DWORD));
    ASSERT_TRUE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, u"Software\\T", u"m",
                                       QStringLiteral("305419896"), REG_DWORD));
    const RegistryKey key = *m_store.openKey(HKEY_CURRENT_USER, u"Software\\T");
    EXPECT_EQ(m_store.queryValue(key, QStringLiteral("n"))->value(),
              (RegistryValue{kRegDword, QByteArray("\xfe\xff\xff\xff", 4)}));
    EXPECT_EQ(m_store.queryValue(key, QStringLiteral("m"))->value().data,
              QByteArray("\x78\x56\x34\x12", 4));
    EXPECT_EQ(m_reg.RegReadValue(HKEY_CURRENT_USER, u"Software\\T", u"n"), Variant(-2));
    EXPECT_EQ(m_reg.RegReadValue(HKEY_CURRENT_USER, u"Software\\T", u"m"), Variant(305419896));

    // A number that does not fit, or no number at all, writes nothing.
    EXPECT_FALSE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, u"Software\\T", u"big",
                                        QStringLiteral("4294967296"), REG_DWORD));
    EXPECT_EQ(m_reg
                  .writeKeyValue(HKEY_CURRENT_USER, u"Software\\T", u"big", QStringLiteral("x"),
                                 REG_DWORD)
                  .error()
                  .number,
              err::kTypeMismatch);
    EXPECT_FALSE(m_store.queryValue(key, QStringLiteral("big"))->has_value());
}

TEST_F(basRegistryTest, OtherTypesAndMalformedDwordsReadAsEmpty) {
    const RegistryKey key = addinKey();
    ASSERT_TRUE(m_store.setValue(key, QStringLiteral("multi"), {7, QByteArray("a\0\0", 3)}).ok());
    ASSERT_TRUE(
        m_store.setValue(key, QStringLiteral("short"), {kRegDword, QByteArray("\1", 1)}).ok());
    for (const char16_t* name : {u"multi", u"short", u"absent"}) {
        Variant v = QStringLiteral("stale");
        EXPECT_FALSE(m_reg.RegQueryTypedValue(key, name, v).ok());
        EXPECT_TRUE(v.isEmpty());
        EXPECT_TRUE(m_reg.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, name).isEmpty());
    }
    EXPECT_TRUE(m_reg.RegReadValue(HKEY_CURRENT_USER, u"Software\\Nowhere", u"x").isEmpty());
    // Only text and DWORD values are written.
    EXPECT_EQ(m_reg.RegSetTypedValue(key, u"multi", 7, QStringLiteral("a")).error().number,
              err::kRegistryBadParameter);
    EXPECT_EQ(m_store.queryValue(key, QStringLiteral("multi"))->value().data,
              QByteArray("a\0\0", 3));
}

TEST_F(basRegistryTest, OneLeadingBackslashIsDroppedAndAnEmptyPathWritesNothing) {
    ASSERT_TRUE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, u"\\Software\\Lead", u"v",
                                       QStringLiteral("1"), REG_SZ));
    EXPECT_TRUE(m_store.openKey(HKEY_CURRENT_USER, u"Software\\Lead").ok());
    EXPECT_EQ(m_reg.RegReadValue(HKEY_CURRENT_USER, u"Software\\Lead", u"v"),
              Variant(QStringLiteral("1")));

    EXPECT_FALSE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, u"", u"v", QStringLiteral("1"), REG_SZ));
    EXPECT_FALSE(
        m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, u"\\", u"v", QStringLiteral("1"), REG_SZ));
    EXPECT_FALSE(
        QFile::exists(m_store.filePath()) &&
        m_store.queryValue({HKEY_CURRENT_USER, QString()}, QStringLiteral("v"))->has_value());
}

TEST_F(basRegistryTest, AWriteToACorruptStoreReportsFailureAndKeepsTheFile) {
    test::writeFile(m_store.filePath(), "{broken");
    EXPECT_TRUE(m_reg.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue).isEmpty());
    const Status s = m_reg.writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue,
                                         QStringLiteral("1"), REG_SZ);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().number, err::kRegistryCorrupt);
    EXPECT_FALSE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue,
                                        QStringLiteral("1"), REG_SZ));
    EXPECT_EQ(test::readFile(m_store.filePath()), QByteArray("{broken"));
}
