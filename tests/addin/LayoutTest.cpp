// From a built tree to a running add-in: scripts/layout.sh lays out an
// application folder and lists liborlo in the add-in list, and the desk's
// add-in manager then loads it from there. Also the admin tool's "addin"
// group on its own.

#include <QProcess>
#include <QProcessEnvironment>
#include <QTextStream>

#include "AddinFixture.h"
#include "host/addins/AddinList.h"
#include "host/addins/AddinManager.h"
#include "tools/addin/AddinCommands.h"

namespace orlo::addin::test {
namespace {

const QString kOrlo = QStringLiteral("OrlonetPROv1.Connect");

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_FALSE(qEnvironmentVariable("ORLO_TEST_BINARY_DIR").isEmpty());
    }

    int runLayout() {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(RegistryStore::kFileVariable), registryFile());
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(QStringLiteral("bash"),
                {QString::fromUtf8(ORLO_SOURCE_DIR) + QStringLiteral("/scripts/layout.sh"),
                 appDir(), qEnvironmentVariable("ORLO_TEST_BINARY_DIR")});
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        return p.exitCode();
    }

    QString appDir() const { return m_dir.filePath(QStringLiteral("app dir")); }
    QString registryFile() const { return m_dir.filePath(QStringLiteral("registry")); }

    QTemporaryDir m_dir;
};

TEST_F(LayoutTest, TheLaidOutFolderIsListedAndLoadsInTheDesk) {
    ASSERT_EQ(runLayout(), 0);
    RegistryStore settings(registryFile());
    host::AddinList list(settings);
    const auto entry = list.registration(kOrlo);
    ASSERT_TRUE(entry.ok());
    EXPECT_EQ(entry->path, appDir() + QStringLiteral("/liborlo.so"));
    EXPECT_EQ(entry->loadBehavior, host::AddinList::kLoadAtStartup);

    // The desk starts with the same settings file.
    qputenv(RegistryStore::kFileVariable, registryFile().toLocal8Bit());
    PinnedClock clock(naiveDateTime(QDate(2026, 3, 15), QTime(8, 0)));
    ScriptedMessageBoxes boxes;
    auto app = host::Application::create(clock, Locale::unitedKingdom(),
                                         host::FormRegistry::standard(), &boxes);
    auto ns = *app->GetNamespace(QStringLiteral("MAPI"));
    ASSERT_TRUE(ns->AddStore(m_dir.filePath(QStringLiteral("desk.pst"))).ok());
    app->Explorers()->Add(*ns->Folders()->Item(1));
    {
        host::AddinManager manager(settings, app);
        const auto errors = manager.connectStartupAddins();
        qunsetenv(RegistryStore::kFileVariable);
        ASSERT_TRUE(errors.empty()) << errors.front().error.description.toStdString();
        EXPECT_TRUE(ns->Folders()->Item(qs(kAddinTopFolderName)).ok());
        EXPECT_TRUE(boxes.shown().empty());
        // The user switches it off; laying the folder out again keeps it off.
        ASSERT_TRUE(manager.removeAddin(kOrlo).ok());
    }
    ASSERT_EQ(runLayout(), 0);
    EXPECT_EQ(list.registration(kOrlo)->loadBehavior, host::AddinList::kNotLoaded);
}

struct ToolRun {
    int code;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& args) {
    QString out;
    QString err;
    QTextStream o(&out);
    QTextStream e(&err);
    tools::ToolIo io{o, e};
    const int code = tools::runAddinCommands(args, io);
    o.flush();
    e.flush();
    return {code, out, err};
}

TEST_F(LayoutTest, TheAdminToolRegistersOnlyAFolderThatHoldsTheLibrary) {
    const QString registry = registryFile();
    ASSERT_TRUE(QDir().mkpath(appDir()));
    ToolRun r =
        runTool({QStringLiteral("register"), appDir(), QStringLiteral("--registry"), registry});
    EXPECT_EQ(r.code, tools::kExitFailure);
    EXPECT_TRUE(r.err.contains(QStringLiteral("liborlo.so"))) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(registry));

    orlo::test::writeFile(appDir() + QStringLiteral("/liborlo.so"), "library");
    r = runTool({QStringLiteral("register"), appDir(), QStringLiteral("--registry"), registry});
    EXPECT_EQ(r.code, tools::kExitOk) << r.err.toStdString();
    r = runTool({QStringLiteral("list"), QStringLiteral("--registry"), registry});
    EXPECT_EQ(r.code, tools::kExitOk);
    EXPECT_EQ(r.out, kOrlo + QStringLiteral("\t3\t") + appDir() + QStringLiteral("/liborlo.so\n"));

    EXPECT_EQ(runTool({}).code, tools::kExitUsage);
    EXPECT_EQ(runTool({QStringLiteral("register")}).code, tools::kExitUsage);
    EXPECT_EQ(runTool({QStringLiteral("list"), QStringLiteral("--registry")}).code,
              tools::kExitUsage);
}

}  // namespace
}  // namespace orlo::addin::test
