// The error log: entry format, appending, the missing folder, provider error
// entries and the error report.

#include <gtest/gtest.h>

#include <QDir>

#include "TestSupport.h"
#include "common/ErrorReport.h"
#include "common/SqlTrace.h"
#include "common/mdlLogs.h"

using namespace Qt::Literals::StringLiterals;

using namespace orlo;

namespace {

class mdlLogsTest : public ::testing::Test {
protected:
    mdlLogsTest()
        : m_folder(m_dir.path()),
          m_clock(naiveDateTime(QDate(2026, 3, 5), QTime(14, 7, 9))),
          m_log(LogContext{m_folder, m_clock, m_locale}) {
        QDir().mkpath(m_dir.filePath(u"logs"_s));
    }

    QByteArray logBytes() const { return test::readFile(m_dir.filePath(u"logs/error.log"_s)); }

    QTemporaryDir m_dir;
    AppFolder m_folder;
    PinnedClock m_clock;
    const Locale m_locale = Locale::unitedStates();
    mdlLogs m_log;
};

}  // namespace

TEST_F(mdlLogsTest, EntriesAreAppendedOneLineEachInTheWorkstationsDateForm) {
    EXPECT_EQ(m_log.logPath(), m_dir.filePath(u"logs/error.log"_s));
    ASSERT_TRUE(m_log.WriteErrorLog(u"[ERROR] Cannot Load Patient Unload File."_s).ok());
    m_clock.advance(3600 * 24 * 30);
    ASSERT_TRUE(m_log.WriteErrorLog(QString()).ok());
    ASSERT_TRUE(m_log.WriteErrorLog(u"two\r\nlines é"_s).ok());
    EXPECT_EQ(logBytes(),
              QByteArray("[3/5/2026 : 2:07:09 PM] [ERROR] Cannot Load Patient Unload File.\r\n"
                         "[4/4/2026 : 2:07:09 PM] \r\n"
                         "[4/4/2026 : 2:07:09 PM] two\r\nlines \xc3\xa9\r\n"));
}

TEST_F(mdlLogsTest, ProviderErrorsBecomeOneEntryEach) {
    const ProviderErrors errors = {
        {-2147467259,
         u"Disk or network error."_s,
         u"Microsoft JET Database Engine"_s,
         u"3043"_s,
         -534971980,
         {}},
        {3021, QString(), QString(), QString(), 0, {}},
    };
    ASSERT_TRUE(m_log.writeProviderErrors(errors).ok());
    EXPECT_EQ(logBytes(), QByteArray("[3/5/2026 : 2:07:09 PM] Error #-2147467259\r"
                                     "   Disk or network error.\r"
                                     "   (Source: Microsoft JET Database Engine)\r"
                                     "   (SQL State: 3043)\r"
                                     "   (NativeError: -534971980)\r\r\n"
                                     "[3/5/2026 : 2:07:09 PM] Error #3021\r   \r   (Source: )\r"
                                     "   (SQL State: )\r   (NativeError: 0)\r\r\n"));
    EXPECT_TRUE(m_log.writeProviderErrors({}).ok());

    ASSERT_TRUE(QDir(m_dir.filePath(u"logs"_s)).removeRecursively());
    EXPECT_EQ(m_log.writeProviderErrors(errors).error().number, err::kPathNotFound);
}

TEST_F(mdlLogsTest, TheErrorReportShowsTheBoxThenLogsTheConnectionsErrors) {
    const Error e = makeError(3021, u"Either BOF or EOF is True"_s, u"ADODB.Recordset"_s);
    EXPECT_EQ(errorBoxText(e),
              u"There has been an error\r\n  Either BOF or EOF is "
              "True  3021  ADODB.Recordset"_s);
    ScriptedMessageBoxes boxes;
    const ProviderErrors errors = {{3021, u"d"_s, u"s"_s, u"q"_s, 7, {}}};
    ASSERT_TRUE(reportDatabaseError(e, u"Patient Save Errors"_s, errors, boxes, m_log).ok());
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0], (MessageBoxRequest{errorBoxText(e), u"Patient Save Errors"_s,
                                                   MsgIcon::Critical, MsgButtons::OK}));
    EXPECT_EQ(logBytes(), QByteArray("[3/5/2026 : 2:07:09 PM] Error #3021\r   d\r   (Source: s)\r"
                                     "   (SQL State: q)\r   (NativeError: 7)\r\r\n"));
}

namespace {

QStringList g_traced;

void captureTrace(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (QLatin1String(context.category) == QLatin1String("orlo.sql")) {
        g_traced << message;
    }
}

}  // namespace

TEST_F(mdlLogsTest, TracedStatementsLoseTheirValuesAndAMissingLogsFolderIsTheCallers) {
    const std::pair<const char*, const char*> elided[] = {
        {"UPDATE PATIENTS SET [LAST NAME] = 'O''Brien', EMAIL1 = 'a@b', CLINICAL_MED1 = "
         "'Aspirin 75' WHERE PT_ID = 12",
         "UPDATE PATIENTS SET [LAST NAME] = ?, EMAIL1 = ?, CLINICAL_MED1 = ? WHERE PT_ID = ?"},
        {"Select * from SCHEDULED WHERE START_TIME > #3/5/2026# AND BALANCE1 >'0' AND "
         "TOTALCOST > 12.50",
         "Select * from SCHEDULED WHERE START_TIME > ? AND BALANCE1 >? AND TOTALCOST > ?"},
        {"INSERT INTO T (A) Values(\"x, y\", -7)", "INSERT INTO T (A) Values(?, -?)"},
        {"UPDATE T SET A = 'unclosed", "UPDATE T SET A = ?"},
    };
    for (const auto& [sql, expected] : elided) {
        EXPECT_EQ(elideSqlValues(QString::fromUtf8(sql)), QString::fromUtf8(expected)) << sql;
    }

    ProviderError e;
    e.number = -2147217873;
    e.description = u"read only"_s;
    e.source = u"Orlo Data Provider (SQLite)"_s;
    e.sqlState = u"23000"_s;
    e.sql = u"UPDATE PATIENTS SET CLINICAL_DIAGNOSIS = 'Glaucoma' WHERE PT_ID = 3"_s;
    g_traced.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureTrace);
    ASSERT_TRUE(m_log.writeProviderErrors({e}).ok());
    EXPECT_TRUE(g_traced.isEmpty());
    QLoggingCategory::setFilterRules(u"orlo.sql.debug=true"_s);
    ASSERT_TRUE(m_log.writeProviderErrors({e}).ok());
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_traced,
              QStringList{u"failed statement: UPDATE PATIENTS SET CLINICAL_DIAGNOSIS = ? WHERE "
                          "PT_ID = ?"_s});
    EXPECT_FALSE(logBytes().contains("Glaucoma"));
    // A missing logs folder is the caller's error and is not created.
    ASSERT_TRUE(QDir(m_dir.filePath(u"logs"_s)).removeRecursively());
    const Status s = m_log.WriteErrorLog(u"x"_s);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().number, err::kPathNotFound);
    EXPECT_TRUE(s.error().description.contains(m_log.logPath()));
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(u"logs"_s)));

    // A log that cannot be opened for appending (a folder in its place).
    ASSERT_TRUE(QDir().mkpath(m_log.logPath()));
    EXPECT_EQ(m_log.WriteErrorLog(u"x"_s).error().number, err::kPathFileAccessError);
}
