// Two processes writing the same settings file at once: every value of both
// arrives and the file still parses. The test binary starts copies of itself
// that run only the writer below.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include "TestSupport.h"
#include "platform/registry/RegistryStore.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;

namespace {

constexpr int kValuesPerWriter = 120;
constexpr char kWriterVariable[] = "ORLO_TEST_REGISTRY_WRITER";
constexpr char16_t kKey[] = u"Software\\Orlo\\Concurrency";

QString valueName(const QString& writer, int i) {
    return writer + QLatin1Char('_') + QString::number(i);
}

}  // namespace

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
