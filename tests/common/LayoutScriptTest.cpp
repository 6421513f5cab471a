// scripts/layout.sh lays out an application folder that the add-in can use
// at once, and running it again on a folder in use keeps every file.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include "TestSupport.h"
#include "common/mdlLogs.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;

namespace {

int runLayout(const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(u"bash"_s,
            QStringList{QString::fromUtf8(ORLO_SOURCE_DIR) + u"/scripts/layout.sh"_s} + args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return p.exitCode();
}

}  // namespace

TEST(LayoutScript, CreatesTheTreeAndKeepsExistingFiles) {
    QTemporaryDir dir;
    const QString app = dir.filePath(u"app dir"_s);
    // No build folder to copy the add-in from: only the tree is laid out.
    const QStringList args = {app, u"no-such-build"_s};
    ASSERT_EQ(runLayout(args), 0);
    for (const char* sub : {"PST", "META", "logs", "Help", "Database"}) {
        EXPECT_TRUE(QFileInfo(app + QLatin1Char('/') + QLatin1String(sub)).isDir()) << sub;
    }
    // The help topics the windows open by number.
    for (const char* topic : {"Help/1.html", "Help/9.html", "Help/10.html"}) {
        EXPECT_TRUE(QFileInfo(app + QLatin1Char('/') + QLatin1String(topic)).isFile()) << topic;
    }
    for (const char* list : {"META/UNLOADP.log", "META/UNLOADS.log"}) {
        const QFileInfo f(app + QLatin1Char('/') + QLatin1String(list));
        EXPECT_TRUE(f.isFile()) << list;
        EXPECT_EQ(f.size(), 0) << list;
    }

    // The add-in works in it: the error log needs only the folder.
    const AppFolder folder(app);
    const PinnedClock clock(naiveDateTime(QDate(2026, 3, 5), QTime(8, 0)));
    const Locale locale = Locale::unitedKingdom();
    ASSERT_TRUE(mdlLogs(LogContext{folder, clock, locale}).WriteErrorLog(u"x"_s).ok());

    test::writeFile(folder.path(u"\\META\\UNLOADP.log"_s), "12\r\n13\r\n");
    test::writeFile(folder.path(u"\\Database\\Patients.mdb"_s), "db");
    const QByteArray log = test::readFile(folder.path(u"\\logs\\error.log"_s));
    ASSERT_EQ(runLayout(args), 0);
    EXPECT_EQ(test::readFile(folder.path(u"\\META\\UNLOADP.log"_s)), "12\r\n13\r\n");
    EXPECT_EQ(test::readFile(folder.path(u"\\Database\\Patients.mdb"_s)), "db");
    EXPECT_EQ(test::readFile(folder.path(u"\\logs\\error.log"_s)), log);
    EXPECT_EQ(QDir(app).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 5);
}

TEST(LayoutScript, RefusesToRunWithoutAFolder) {
    EXPECT_NE(runLayout({}), 0);
}
