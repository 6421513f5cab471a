// Files that are not sound stores: each gives a clear error naming the file,
// never a crash, and is left byte for byte as it was.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFile>
#include <QTemporaryDir>

#include "GarbledFile.h"
#include "TestSupport.h"
#include "host/store/StoreFile.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::host;

namespace {

class StoreDamageTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    // A store big enough to span many pages.
    QString makeStore(const char* name) {
        const QString p = path(name);
        auto store = StoreFile::create(p, u"Top"_s).value();
        const FolderId f =
            *store->createFolder(store->topFolder(), u"Patients"_s, FolderKind::Contacts, {});
        std::vector<PropertyMap> items;
        for (int i = 0; i < 2000; ++i) {
            items.push_back({{u"PatientID"_s, QString::number(i)},
                             {u"Notes"_s, QString(100, QChar(u'a' + i % 26))}});
        }
        EXPECT_TRUE(store->insertMany(f, u"IPM.Contact"_s, items).ok());
        return p;
    }

    // Opens `p`, expects the refusal to name the file and say `what`, and
    // the file to be unchanged.
    void expectRefused(const QString& p, const QString& what) {
        const QByteArray before = test::readFile(p);
        auto opened = StoreFile::open(p);
        ASSERT_EQ(test::failure(opened), err::kProviderFailure);
        EXPECT_TRUE(opened.error().description.contains(QLatin1Char('"') + p + QLatin1Char('"')))
            << opened.error().description.toStdString();
        EXPECT_TRUE(opened.error().description.contains(what))
            << opened.error().description.toStdString();
        EXPECT_EQ(test::readFile(p), before);
        EXPECT_FALSE(QFile::exists(p + u"-journal"_s));
    }

    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(StoreDamageTest, ForeignNewerAndTruncatedFilesAreRefused) {
    const QString text = path("notes.pst");
    test::writeFile(text, QByteArray("This is a text file, not a store.\n").repeated(20));
    expectRefused(text, u"is not an item store"_s);

    const QString empty = path("empty.pst");
    test::writeFile(empty, {});
    expectRefused(empty, u"is not an item store"_s);

    const QString foreign = path("other.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE items(x); INSERT INTO items VALUES(1);", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    expectRefused(foreign, u"another program's database"_s);

    expectRefused(m_dir.path(), u"is not a file"_s);

    const QString newer = makeStore("newer.pst");
    QByteArray bytes = test::readFile(newer);
    bytes[63] = 9;  // user_version (offset 60, big-endian) = 9
    test::writeFile(newer, bytes);
    expectRefused(newer, u"has store version 9"_s);

    const QString cut = makeStore("cut.pst");
    bytes = test::readFile(cut);
    test::writeFile(cut, bytes.left(bytes.size() / 2));
    expectRefused(cut, u"is damaged (truncated"_s);

    test::writeFile(cut, bytes.left(60));
    expectRefused(cut, u"is not an item store"_s);
}

TEST_F(StoreDamageTest, GarbageInsideASoundHeaderGivesErrorsNotCrashes) {
    const QString p = makeStore("garbage.pst");
    auto opened = StoreFile::open(p);
    ASSERT_TRUE(opened.ok());
    const QByteArray bytes = test::garbleAfterFirstPage(p);  // behind the open store

    expectRefused(p, u"is damaged"_s);
    // The store opened before answers every read with an error naming the
    // file, never with an empty answer.
    const StoreFile& store = **opened;
    const auto errorOf = [](const auto& r) { return r.ok() ? Error() : r.error(); };
    const std::pair<const char*, Error> reads[] = {
        {"subfolders", errorOf(store.subfolders(store.topFolder()))},
        {"itemIds", errorOf(store.itemIds(2))},
        {"itemCount", errorOf(store.itemCount(2))},
        {"findFirst", errorOf(store.findFirst(2, u"PatientID"_s, 5))},
        {"column", errorOf(store.column(2, u"Notes"_s))},
        {"load", errorOf(store.load(1))},
        {"checkIntegrity", errorOf(store.checkIntegrity())},
    };
    for (const auto& [name, error] : reads) {
        EXPECT_EQ(error.number, err::kProviderFailure) << name;
        EXPECT_TRUE(error.description.contains(QLatin1Char('"') + p + QLatin1Char('"'))) << name;
    }
    EXPECT_EQ(test::readFile(p), bytes);
}
