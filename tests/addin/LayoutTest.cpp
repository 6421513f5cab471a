// From a built tree to a running add-in: scripts/layout.sh lays out an
// application folder (keeping every file of one in use) and lists liborlo in
// the add-in list, and the desk's add-in manager then loads it from there.
// Also the admin tool's "addin" group on its own.

#include <QProcess>
#include <QProcessEnvironment>
#include <QTextStream>

#include "AddinFixture.h"
#include "ProgramRun.h"
#include "TestDesk.h"
#include "host/addins/AddinList.h"
#include "host/addins/AddinManager.h"
#include "tools/addin/AddinCommands.h"

namespace orlo::addin::test {
namespace {

const QString kOrlo = u"OrlonetPROv1.Connect"_s;

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_FALSE(qEnvironmentVariable("ORLO_TEST_BINARY_DIR").isEmpty());
    }

    // Runs the script on the application folder and the build tree (or on
    // `args` alone).
    int runLayout(std::optional<QStringList> args = std::nullopt) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(RegistryStore::kFileVariable), registryFile());
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(
            u"bash"_s,
            QStringList{QString::fromUtf8(ORLO_SOURCE_DIR) + u"/scripts/layout.sh"_s} +
                args.value_or(QStringList{appDir(), qEnvironmentVariable("ORLO_TEST_BINARY_DIR")}));
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        return p.exitCode();
    }

    QString appDir() const { return m_dir.filePath(u"app dir"_s); }
    QString registryFile() const { return m_dir.filePath(u"registry"_s); }

    QTemporaryDir m_dir;
};

TEST_F(LayoutTest, TheLaidOutFolderIsListedAndLoadsInTheDesk) {
    EXPECT_NE(runLayout(QStringList{}), 0);  // no folder named: refused
    ASSERT_EQ(runLayout(), 0);
    // The tree, the help topics the windows open by number, empty unload lists.
    for (const char* path :
         {"PST/", "META/", "logs/", "Help/", "Database/", "Help/1.html", "Help/9.html",
          "Help/10.html", "META/UNLOADP.log", "META/UNLOADS.log"}) {
        const QFileInfo laid(appDir() + u'/' + QLatin1String(path));
        EXPECT_TRUE(QLatin1String(path).endsWith(u'/') ? laid.isDir() : laid.isFile()) << path;
    }
    EXPECT_EQ(orlo::test::readFile(appDir() + u"/META/UNLOADP.log"_s) +
                  orlo::test::readFile(appDir() + u"/META/UNLOADS.log"_s),
              QByteArray());
    RegistryStore settings(registryFile());
    host::AddinList list(settings);
    const auto entry = list.registration(kOrlo);
    ASSERT_TRUE(entry.ok());
    EXPECT_EQ(entry->path, appDir() + u"/liborlo.so"_s);
    EXPECT_EQ(entry->loadBehavior, host::AddinList::kLoadAtStartup);

    // The desk starts with the same settings file.
    qputenv(RegistryStore::kFileVariable, registryFile().toLocal8Bit());
    ScriptedMessageBoxes boxes;
    orlo::test::TestDesk desk;
    desk.open(m_dir.filePath(u"desk.pst"_s), &boxes);
    const auto app = desk.app;
    const auto ns = desk.ns;
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
    // Laid out again on a folder in use: every file is kept.
    orlo::test::writeFile(appDir() + u"/META/UNLOADP.log"_s, "12\r\n13\r\n");
    orlo::test::writeFile(appDir() + u"/Database/Patients.mdb"_s, "db");
    ASSERT_EQ(runLayout(), 0);
    EXPECT_EQ(list.registration(kOrlo)->loadBehavior, host::AddinList::kNotLoaded);
    EXPECT_EQ(orlo::test::readFile(appDir() + u"/META/UNLOADP.log"_s), "12\r\n13\r\n");
    EXPECT_EQ(orlo::test::readFile(appDir() + u"/Database/Patients.mdb"_s), "db");
}

orlo::test::ProgramRun runTool(const QStringList& args) {
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
    orlo::test::ProgramRun r = runTool({u"register"_s, appDir(), u"--registry"_s, registry});
    EXPECT_EQ(r.code, tools::kExitFailure);
    EXPECT_TRUE(r.err.contains(u"liborlo.so"_s)) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(registry));

    orlo::test::writeFile(appDir() + u"/liborlo.so"_s, "library");
    r = runTool({u"register"_s, appDir(), u"--registry"_s, registry});
    EXPECT_EQ(r.code, tools::kExitOk) << r.err.toStdString();
    r = runTool({u"list"_s, u"--registry"_s, registry});
    EXPECT_EQ(r.code, tools::kExitOk);
    EXPECT_EQ(r.out, kOrlo + u"\t3\t"_s + appDir() + u"/liborlo.so\n"_s);

    EXPECT_EQ(runTool({}).code, tools::kExitUsage);
    EXPECT_EQ(runTool({u"register"_s}).code, tools::kExitUsage);
    EXPECT_EQ(runTool({u"list"_s, u"--registry"_s}).code, tools::kExitUsage);
}

}  // namespace
}  // namespace orlo::addin::test
