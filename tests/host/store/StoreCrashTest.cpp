// A writer process killed in the middle of saving: the store opens again,
// passes its integrity check, and every item holds one complete version, no
// older than the last save the writer saw succeed.
//
// The writer is this test binary run again with ORLO_STORE_WRITER set to the
// store's path; it rewrites every item in turn with a higher version and
// prints "saved ITEM VERSION" after each save returns.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <map>

#include "TestSupport.h"
#include "host/store/StoreFile.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;
using namespace orlo::host;

namespace {

constexpr char kWriterVariable[] = "ORLO_STORE_WRITER";
constexpr int kItems = 6;
constexpr int kRounds = 4;

// Version `v` of item `i`: how many properties and what they hold depend on
// the version, so a half-written save would show.
PropertyMap version(int i, qint64 v) {
    PropertyMap p = {
        {u"Version"_s, v},
        {u"Key"_s, QString::number(i * 1000000 + v)},
        {u"Text"_s, u"item %1 version %2;"_s.arg(i).arg(v).repeated(300)},
        {u"Half"_s, static_cast<double>(v) / 2},
    };
    for (qint64 k = 0; k < v % 7; ++k) {
        p[u"Extra%1"_s.arg(k)] = v;
    }
    return p;
}

std::map<int, qint64> parseSaved(const QByteArray& output) {
    std::map<int, qint64> saved;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> f = line.trimmed().split(' ');
        if (f.size() == 3 && f[0] == "saved") {
            saved[f[1].toInt()] = f[2].toLongLong();
        }
    }
    return saved;
}

// The item's version, or -1 when it has none (a half-written save).
qint64 versionOf(const ItemRecord& item) {
    const auto it = item.properties.find(u"Version"_s);
    return it != item.properties.end() && it->second.asInteger() ? *it->second.asInteger() : -1;
}

}  // namespace

// The writer's body; skipped unless run as the writer.
TEST(StoreCrash, WriterChild) {
    const QString path = qEnvironmentVariable(kWriterVariable);
    if (path.isEmpty()) {
        GTEST_SKIP() << "runs only as the writer process of KilledWriterLeavesCompleteItems";
    }
    auto store = StoreFile::open(path).value();
    const FolderId folder = store->subfolders(store->topFolder())->front().id;
    const std::vector<ItemId> ids = *store->itemIds(folder);
    QTextStream out(stdout);
    QElapsedTimer clock;
    clock.start();
    qint64 v = versionOf(*store->load(ids[0]));
    while (clock.elapsed() < 60000) {  // the parent kills it long before
        ++v;
        for (int i = 0; i < kItems; ++i) {
            ASSERT_TRUE(store->update(ids[i], version(i, v)).ok());
            out << "saved " << i << ' ' << v << Qt::endl;
        }
    }
}

TEST(StoreCrash, KilledWriterLeavesCompleteItems) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"crash.pst"_s);
    std::vector<ItemId> ids;
    FolderId folder = 0;
    {
        auto store = StoreFile::create(path, u"Top"_s).value();
        folder = *store->createFolder(store->topFolder(), u"Items"_s, FolderKind::Mail, {});
        for (int i = 0; i < kItems; ++i) {
            ids.push_back(*store->insert(folder, u"IPM.Note"_s, version(i, 0)));
        }
    }
    std::map<int, qint64> confirmed;
    for (int round = 0; round < kRounds; ++round) {
        QProcess writer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kWriterVariable), path);
        writer.setProcessEnvironment(env);
        writer.start(QCoreApplication::applicationFilePath(),
                     {u"--gtest_filter=StoreCrash.WriterChild"_s});
        ASSERT_TRUE(writer.waitForStarted());
        QByteArray output;
        const int wanted = 20 + round * 15;
        ASSERT_TRUE(test::waitFor(
            [&] {
                output += writer.readAllStandardOutput();
                return output.count("saved") >= wanted;
            },
            60000))
            << writer.readAllStandardError().toStdString();
        // Land the kill at a different point of a save each round.
        QElapsedTimer pause;
        pause.start();
        const int extraMs = static_cast<int>(QRandomGenerator::global()->bounded(15));
        while (pause.elapsed() < extraMs) {
        }
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));
        output += writer.readAllStandardOutput();
        for (const auto& [i, v] : parseSaved(output)) {
            confirmed[i] = v;
        }

        auto opened = StoreFile::open(path);
        ASSERT_TRUE(opened.ok()) << opened.error().description.toStdString();
        const StoreFile& store = **opened;
        ASSERT_TRUE(store.checkIntegrity().ok());
        ASSERT_EQ(*store.itemIds(folder), ids);
        qint64 newest = 0;
        for (int i = 0; i < kItems; ++i) {
            const Result<ItemRecord> item = store.load(ids[i]);
            ASSERT_TRUE(item.ok());
            const qint64 v = versionOf(*item);
            EXPECT_EQ(item->properties, version(i, v)) << "item " << i << " version " << v;
            EXPECT_GE(v, confirmed[i]) << "a save the writer saw succeed was lost";
            EXPECT_LE(v, confirmed[i] + 1);
            EXPECT_EQ(*store.findFirst(folder, u"Key"_s, i * 1000000 + v), ids[i]);
            newest = std::max(newest, v);
        }
        // Every item is a whole version: the next writer continues from the
        // first item's, so bring them level.
        EXPECT_LE(newest - versionOf(*store.load(ids[kItems - 1])), 1);
    }
}
