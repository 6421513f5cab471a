// The add-in's registry routines over a real settings file: NUL rules, types,
// the leading backslash and the empty key path.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "common/basRegistry.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;

namespace {

class basRegistryTest : public ::testing::Test {
protected:
    basRegistryTest()
        : m_store(m_dir.filePath(u"registry"_s)), m_reg(m_store, Locale::unitedKingdom()) {}

    RegistryKey addinKey() { return *m_store.createKey(HKEY_CURRENT_USER, AddinRegistryKey); }

    QTemporaryDir m_dir;
    RegistryStore m_store;
    basRegistry m_reg;
};

}  // namespace

TEST_F(basRegistryTest, TextIsWrittenWithoutANulAndReadersDropExactlyOne) {
    const QString path = u"/srv/clinic/Database/Patients.mdb ü"_s;
    ASSERT_TRUE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kDefaultDbLocationValue,
                                       path, REG_SZ));
    const RegistryValue stored = m_store.queryValue(addinKey(), u"defaultDBlocation"_s)->value();
    EXPECT_EQ(stored, (RegistryValue{kRegSz, path.toUtf8()}));
    EXPECT_EQ(m_reg.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, kDefaultDbLocationValue),
              Variant(path));
    // Empty text is a value of no bytes, and reads as empty text.
    ASSERT_TRUE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue,
                                       QString(), REG_SZ));
    EXPECT_EQ(m_store.queryValue(addinKey(), u"ManualIP"_s)->value().data, QByteArray());
    EXPECT_EQ(m_reg.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue),
              Variant(QString()));
    const RegistryKey key = addinKey();
    ASSERT_TRUE(m_store.setValue(key, u"a"_s, {kRegSz, QByteArray("C:\\db\0", 6)}).ok());
    ASSERT_TRUE(m_store.setValue(key, u"b"_s, {kRegSz, QByteArray("x\0\0", 3)}).ok());
    ASSERT_TRUE(m_store.setValue(key, u"c"_s, {kRegSz, QByteArray("\0", 1)}).ok());
    ASSERT_TRUE(m_store.setValue(key, u"d"_s, {kRegSz, QByteArray("a\0b", 3)}).ok());
    auto read = [&](const char16_t* name) {
        return m_reg.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, name);
    };
    EXPECT_EQ(read(u"a"), Variant(u"C:\\db"_s));
    EXPECT_EQ(read(u"b"), Variant(u"x"_s + QChar(0)));
    EXPECT_EQ(read(u"c"), Variant(QString()));
    EXPECT_EQ(read(u"d"), Variant(u"a"_s + QChar(0) + u"b"_s));

    // The typed query itself hands back every byte.
    Variant v;
    ASSERT_TRUE(m_reg.RegQueryTypedValue(key, u"a", v).ok());
    EXPECT_EQ(v, Variant(u"C:\\db"_s + QChar(0)));
}

TEST_F(basRegistryTest, DwordsAreFourBytesAndACorruptStoreIsReportedAndKept) {
    ASSERT_TRUE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, u"Software\\T", u"n", -2, REG_DWORD));
    ASSERT_TRUE(
        m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, u"Software\\T", u"m", u"305419896"_s, REG_DWORD));
    const RegistryKey key = *m_store.openKey(HKEY_CURRENT_USER, u"Software\\T");
    EXPECT_EQ(m_store.queryValue(key, u"n"_s)->value(),
              (RegistryValue{kRegDword, QByteArray("\xfe\xff\xff\xff", 4)}));
    EXPECT_EQ(m_store.queryValue(key, u"m"_s)->value().data, QByteArray("\x78\x56\x34\x12", 4));
    EXPECT_EQ(m_reg.RegReadValue(HKEY_CURRENT_USER, u"Software\\T", u"n"), Variant(-2));
    EXPECT_EQ(m_reg.RegReadValue(HKEY_CURRENT_USER, u"Software\\T", u"m"), Variant(305419896));

    // A number that does not fit, or no number at all, writes nothing.
    EXPECT_FALSE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, u"Software\\T", u"big", u"4294967296"_s,
                                        REG_DWORD));
    EXPECT_EQ(m_reg.writeKeyValue(HKEY_CURRENT_USER, u"Software\\T", u"big", u"x"_s, REG_DWORD)
                  .error()
                  .number,
              err::kTypeMismatch);
    EXPECT_FALSE(m_store.queryValue(key, u"big"_s)->has_value());
    // A write to a corrupt store reports failure and keeps the file.
    test::writeFile(m_store.filePath(), "{broken");
    EXPECT_TRUE(m_reg.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue).isEmpty());
    EXPECT_EQ(test::failure(m_reg.writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue,
                                                u"1"_s, REG_SZ)),
              err::kRegistryCorrupt);
    EXPECT_FALSE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kManualIpValue, u"1"_s,
                                        REG_SZ));
    EXPECT_EQ(test::readFile(m_store.filePath()), QByteArray("{broken"));
}

TEST_F(basRegistryTest, OtherTypesReadAsEmptyALeadingBackslashIsDroppedAndNoPathWritesNothing) {
    const RegistryKey key = addinKey();
    ASSERT_TRUE(m_store.setValue(key, u"multi"_s, {7, QByteArray("a\0\0", 3)}).ok());
    ASSERT_TRUE(m_store.setValue(key, u"short"_s, {kRegDword, QByteArray("\1", 1)}).ok());
    for (const char16_t* name : {u"multi", u"short", u"absent"}) {
        Variant v = u"stale"_s;
        EXPECT_FALSE(m_reg.RegQueryTypedValue(key, name, v).ok());
        EXPECT_TRUE(v.isEmpty());
        EXPECT_TRUE(m_reg.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, name).isEmpty());
    }
    EXPECT_TRUE(m_reg.RegReadValue(HKEY_CURRENT_USER, u"Software\\Nowhere", u"x").isEmpty());
    // Only text and DWORD values are written.
    EXPECT_EQ(m_reg.RegSetTypedValue(key, u"multi", 7, u"a"_s).error().number,
              err::kRegistryBadParameter);
    EXPECT_EQ(m_store.queryValue(key, u"multi"_s)->value().data, QByteArray("a\0\0", 3));
    // One leading backslash is dropped; an empty path writes nothing.
    ASSERT_TRUE(
        m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, u"\\Software\\Lead", u"v", u"1"_s, REG_SZ));
    EXPECT_TRUE(m_store.openKey(HKEY_CURRENT_USER, u"Software\\Lead").ok());
    EXPECT_EQ(m_reg.RegReadValue(HKEY_CURRENT_USER, u"Software\\Lead", u"v"), Variant(u"1"_s));

    EXPECT_FALSE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, u"", u"v", u"1"_s, REG_SZ));
    EXPECT_FALSE(m_reg.RegWriteKeyValue(HKEY_CURRENT_USER, u"\\", u"v", u"1"_s, REG_SZ));
    EXPECT_FALSE(QFile::exists(m_store.filePath()) &&
                 m_store.queryValue({HKEY_CURRENT_USER, QString()}, u"v"_s)->has_value());
}
