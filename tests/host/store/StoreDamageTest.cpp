// Files that are not sound stores: each gives a clear error naming the file,
// never a crash, and is left byte for byte as it was.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFile>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "host/store/StoreFile.h"

using namespace orlo;
using namespace orlo::host;

namespace {

class StoreDamageTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    // A store big enough to span many pages.
    QString makeStore(const char* name) {
        const QString p = path(name);
        auto store = StoreFile::create(p, QStringLiteral("Top")).value();
        const FolderId f = *store->createFolder(store->topFolder(), QStringLiteral("Patients"),
                                                FolderKind::Contacts, {});
        std::vector<PropertyMap> items;
        for (int i = 0; i < 2000; ++i) {
            items.push_back({{QStringLiteral("PatientID"), QString::number(i)},
                             {QStringLiteral("Notes"), QString(100, QChar(u'a' + i % 26))}});
        }
        EXPECT_TRUE(store->insertMany(f, QStringLiteral("IPM.Contact"), items).ok());
        return p;
    }

    // Opens `p`, expects the refusal to name the file and say `what`, and
    // the file to be unchanged.
    void expectRefused(const QString& p, const QString& what) {
        const QByteArray before = test::readFile(p);
        auto opened = StoreFile::open(p);
        ASSERT_FALSE(opened.ok());
        EXPECT_EQ(opened.error().number, err::kProviderFailure);
        EXPECT_TRUE(opened.error().description.contains(QLatin1Char('"') + p + QLatin1Char('"')))
            << opened.error().description.toStdString();
        EXPECT_TRUE(opened.error().description.contains(what))
            << opened.error().description.toStdString();
        EXPECT_EQ(test::readFile(p), before);
        EXPECT_FALSE(QFile::exists(p + QStringLiteral("-journal")));
    }

    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(StoreDamageTest, ForeignFilesAreRefused) {
    const QString text = path("notes.pst");
    test::writeFile(text, QByteArray("This is a text file, not a store.\n").repeated(20));
    expectRefused(text, QStringLiteral("is not an item store"));

    const QString empty = path("empty.pst");
    test::writeFile(empty, {});
    expectRefused(empty, QStringLiteral("is not an item store"));

    const QString foreign = path("other.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE items(x); INSERT INTO items VALUES(1);", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    expectRefused(foreign, QStringLiteral("another program's database"));

    expectRefused(m_dir.path(), QStringLiteral("is not a file"));
}

TEST_F(StoreDamageTest, NewerSchemaAndTruncatedFilesAreRefused) {
    const QString newer = makeStore("newer.pst");
    QByteArray bytes = test::readFile(newer);
    bytes[63] = 9;  // user_version (offset 60, big-endian) = 9
    test::writeFile(newer, bytes);
    expectRefused(newer, QStringLiteral("has store version 9"));

    const QString cut = makeStore("cut.pst");
    bytes = test::readFile(cut);
    test::writeFile(cut, bytes.left(bytes.size() / 2));
    expectRefused(cut, QStringLiteral("is damaged (truncated"));

    test::writeFile(cut, bytes.left(60));
    expectRefused(cut, QStringLiteral("is not an item store"));
}

TEST_F(StoreDamageTest, GarbageInsideASoundHeaderGivesErrorsNotCrashes) {
    const QString p = makeStore("garbage.pst");
    QByteArray bytes = test::readFile(p);
    for (qsizetype i = 4096; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 7919) & 0xff);
    }
    test::writeFile(p, bytes);

    auto opened = StoreFile::open(p);
    if (!opened.ok()) {
        EXPECT_EQ(opened.error().number, err::kProviderFailure);
        EXPECT_TRUE(opened.error().description.contains(p));
    } else {
        // Reads fail with a store error; nothing crashes.
        const StoreFile& store = **opened;
        (void)store.subfolders(store.topFolder());
        const Error listing = store.lastError();
        EXPECT_TRUE(listing.isError());
        EXPECT_TRUE(listing.description.contains(p)) << listing.description.toStdString();
        (void)store.findFirst(2, QStringLiteral("PatientID"), 5);
        (void)store.column(2, QStringLiteral("Notes"));
        (void)store.load(1);
        const Status check = store.checkIntegrity();
        EXPECT_FALSE(check.ok());
        EXPECT_EQ(check.error().number, err::kProviderFailure);
    }
    EXPECT_EQ(test::readFile(p), bytes);
}
