#pragma once
// A clinic for the report tests: the shared database in a temporary folder
// (seeded with plain SQLite through the data tests' helpers), the per-user
// settings naming it, an application folder with its logs/, scripted
// message boxes, a clock pinned to 15 June 2026 10:00 and United Kingdom
// regional settings, and the add-in state over them. Helpers read PDFs
// back with pdftotext and CSV files with SQLite's own CSV reader.

#include <QDir>
#include <QProcess>
#include <QStringList>

#include "TestDatabases.h"
#include "common/AddinContext.h"
#include "common/basRegistry.h"
#include "common/mdlLogs.h"
#include "platform/registry/RegistryStore.h"
#include "platform/ui/MessageBox.h"

namespace orlo::test {

struct ReportClinic {
    explicit ReportClinic(Engine engine = Engine::File) : dbs(engine) {
        QDir().mkpath(appFolder.root() + u"/logs"_s);
        setDatabaseLocation(dbs.sharedPath());
    }
    void setDatabaseLocation(const QString& path) {
        EXPECT_TRUE(registry
                        .writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kDefaultDbLocationValue,
                                       path, REG_SZ)
                        .ok());
    }
    QString errorLog() const { return QString::fromUtf8(readFile(ctx.log().logPath())); }
    QString file(const QString& name) const { return dbs.dir() + u'/' + name; }

    TestDatabases dbs;
    AppFolder appFolder{dbs.dir() + u"/app"_s};
    PinnedClock clock{at("2026-06-15 10:00:00")};
    Locale locale = Locale::unitedKingdom();
    ScriptedMessageBoxes boxes;
    RegistryStore store{dbs.dir() + u"/registry"_s};
    basRegistry registry{store, locale};
    AddinContext ctx{clock, locale, boxes, appFolder, registry};
};

// The text of each page of a PDF, as pdftotext reads it.
inline QStringList pdfPages(const QString& pdf) {
    QStringList pages;
    for (int page = 1;; ++page) {
        QProcess p;
        p.start(u"pdftotext"_s, {u"-layout"_s, u"-f"_s, QString::number(page), u"-l"_s,
                                 QString::number(page), pdf, u"-"_s});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            return pages;  // past the last page
        }
        pages << QString::fromUtf8(p.readAllStandardOutput());
    }
}

// The records of a CSV file as SQLite's own CSV import reads them, the
// header first; read back in SQLite's ASCII mode (unit and record
// separators), which no value here contains.
inline std::vector<QStringList> csvRecords(const QString& csv) {
    QProcess p;
    p.start(u"sqlite3"_s, {u":memory:"_s, u"-cmd"_s, u".import --csv '%1' t"_s.arg(csv), u"-cmd"_s,
                           u".mode ascii"_s, u"-cmd"_s, u".headers on"_s, u"SELECT * FROM t"_s});
    p.waitForFinished(30000);
    std::vector<QStringList> rows;
    for (const QString& record :
         QString::fromUtf8(p.readAllStandardOutput()).split(QChar(0x1E), Qt::SkipEmptyParts)) {
        rows.push_back(record.split(QChar(0x1F)));
    }
    return rows;
}

}  // namespace orlo::test
