// The search windows at a clinic's full size: 100,000 patients and 500,000
// appointments, seeded once into a file that later runs reuse (ORLO_BENCH_DB
// names it; by default it sits in the build folder). Figures, each the
// median of a few runs:
//   - the patient finder from the click to its rows on screen: the search
//     data opened, the list filled, the window laid out and painted;
//   - "Advanced Search..." with a last-name fragment, filter and reload, and
//     "&Refresh" (each to the first rows shown);
//   - the incremental find per keystroke while a surname is typed, against
//     the naive find that scans from the first row at every keystroke;
//   - a sort by each column (and the reverse on the second click);
//   - the monthly recall window opened on every recall to come, and a
//     month clicked;
// A window fills a long list in steps after its first rows show: both
// parts are printed.
//   - the process's peak memory.
// The machine is shared: beside each wall-clock figure the bench prints the
// CPU time the process's thread spent, which other load does not inflate.

#include <sys/resource.h>
#include <time.h>

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "TestDatabases.h"
#include "common/AddinContext.h"
#include "common/basRegistry.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/registry/RegistryStore.h"
#include "platform/ui/HelpViewer.h"
#include "platform/ui/MessageBox.h"
#include "records/Schema.h"
#include "search/PatientFinder.h"
#include "search/PatientSearchWindow.h"
#include "search/RecallByMonth.h"
#include "search/RecallByMonthWindow.h"
#include "search/SearchData.h"
#include "search/SearchListView.h"
#include "tools/Seeder.h"

using namespace orlo;

namespace {

constexpr qint64 kPatients = 100000;
constexpr qint64 kAppointments = 500000;
constexpr int kRuns = 3;

double threadCpu() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Wall-clock and CPU seconds of one measured step.
struct Span {
    double wall = 0;
    double cpu = 0;
};

class Stopwatch {
public:
    Stopwatch() { restart(); }
    void restart() {
        m_wall.start();
        m_cpu = threadCpu();
    }
    Span lap() const { return {double(m_wall.nsecsElapsed()) / 1e9, threadCpu() - m_cpu}; }

private:
    QElapsedTimer m_wall;
    double m_cpu = 0;
};

// The median run by wall-clock time.
Span median(std::vector<Span> v) {
    std::sort(v.begin(), v.end(), [](const Span& a, const Span& b) { return a.wall < b.wall; });
    return v[v.size() / 2];
}

Span slowest(const std::vector<Span>& v) {
    return *std::max_element(v.begin(), v.end(),
                             [](const Span& a, const Span& b) { return a.wall < b.wall; });
}

// "0.123 s (CPU 0.100 s)", and a note when the CPU time misses the goal.
QByteArray shown(const Span& s, double goal = 0, double scale = 1, const char* unit = "s") {
    QByteArray out = QByteArray::number(s.wall * scale, 'f', 3) + ' ' + unit + " (CPU " +
                     QByteArray::number(s.cpu * scale, 'f', 3) + ' ' + unit + ')';
    if (goal > 0 && s.cpu > goal) {
        out += " over the goal of " + QByteArray::number(goal * scale, 'g', 3) + ' ' + unit;
    }
    return out;
}

long peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// The naive incremental find: every keystroke scans from the first row.
int naiveFind(search::ListViewModel& list, const QString& text) {
    for (int r = 0; r < list.rowCount(); ++r) {
        for (int c = 0; c < list.columnCount(); ++c) {
            if (list.text(r, c).startsWith(text, Qt::CaseInsensitive)) {
                return r;
            }
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const PinnedClock clock(naiveDateTime(QDate(2026, 6, 15), QTime(10, 0)));
    const Locale locale = Locale::unitedKingdom();
    const Result<QString> clinic = orlo::test::benchClinic(QStringLiteral(ORLO_BENCH_DEFAULT_DB),
                                                           kPatients, kAppointments, clock, locale);
    if (!clinic) {
        std::fprintf(stderr, "cannot seed: %s\n", qPrintable(clinic.error().description));
        return 1;
    }
    const QString& db = *clinic;

    QTemporaryDir dir;
    ScriptedMessageBoxes boxes;
    RegistryStore store(dir.filePath(QStringLiteral("registry")));
    basRegistry registry(store, locale);
    AddinContext ctx(clock, locale, boxes, AppFolder(dir.path()), registry);
    if (!registry.writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, kDefaultDbLocationValue, db,
                                REG_SZ)) {
        return 1;
    }
    search::SearchData data(ctx);
    QtHelpViewer help(dir.filePath(QStringLiteral("Help")));
    const search::SearchServices services{ctx, data, help};

    // The finder: click to rows painted, and its parts.
    std::vector<Span> toRows;
    std::vector<Span> opened;
    std::vector<Span> filled;
    std::vector<Span> rest;
    int rows = 0;
    for (int run = 0; run < kRuns; ++run) {
        Stopwatch t;
        {
            search::SearchLease lease = data.OpenSearchData({.patientList = true});
            opened.push_back(t.lap());
            search::ListViewRows cells(int(search::patientListFields().size()));
            t.restart();
            if (!search::appendRecords(*lease.set().PatientListRecordset,
                                       search::patientListFields(), locale, cells)) {
                return 1;
            }
            filled.push_back(t.lap());
            rows = cells.rowCount();
        }
        t.restart();
        auto* window =
            new search::PatientSearchWindow(services, search::PatientFinder::Kind::Finder);
        if (!window->load()) {
            return 1;
        }
        window->show();
        (void)window->grab();
        toRows.push_back(t.lap());
        t.restart();
        while (window->form().isFilling()) {
            window->form().loadMore();
        }
        rest.push_back(t.lap());
        delete window;
    }
    std::printf("\nfinder, %d patients: click to rows painted %s\n", rows,
                shown(median(toRows), 0.5).constData());
    std::printf(
        "  the list's recordset opened %s; all its rows read into the list at once %s; "
        "the rows after the first screen, filled in steps after it shows, %s\n",
        shown(median(opened)).constData(), shown(median(filled)).constData(),
        shown(median(rest)).constData());

    // From here on the finder's form fills in the window's steps, and each
    // figure is the time to the first rows shown; the rest is filled before
    // the next step, as the window's idle time does.
    search::PatientFinder finder(services);
    finder.setFillSteps(search::kFirstListRows, search::kListRowsPerStep);
    if (!finder.Form_Load()) {
        return 1;
    }
    const auto fillRest = [](search::SearchForm& form) {
        while (form.isFilling()) {
            form.loadMore();
        }
    };
    fillRest(finder);

    // "Advanced Search..." then "&Refresh".
    std::vector<Span> searched;
    std::vector<Span> refreshed;
    int found = 0;
    for (int run = 0; run < kRuns; ++run) {
        finder.setSearchBy(QStringLiteral("Last Name"));
        finder.Text1_Change(QStringLiteral("son"));
        Stopwatch t;
        finder.Search1_Click();
        searched.push_back(t.lap());
        fillRest(finder);
        found = finder.list().rowCount();
        t.restart();
        finder.cmdRefresh_Click();
        refreshed.push_back(t.lap());
        fillRest(finder);
    }
    std::printf("advanced search [LAST NAME] LIKE *son*, %d rows: %s; refresh %s\n", found,
                shown(median(searched), 0.3).constData(), shown(median(refreshed)).constData());

    // The incremental find, a keystroke at a time, in list order: a surname
    // found near the end of the list, and a text that nothing begins with.
    for (const QString& typed : {QStringLiteral("Wright"), QStringLiteral("Zq#9")}) {
        std::vector<Span> keys;
        Span naive;
        for (int n = 1; n <= typed.size(); ++n) {
            const QString text = typed.left(n);
            Stopwatch t;
            finder.Text1_Change(text);
            keys.push_back(t.lap());
            t.restart();
            naiveFind(finder.list(), text);
            naive.wall += t.lap().wall / typed.size();
            naive.cpu += t.lap().cpu / typed.size();
        }
        Span mean;
        for (const Span& k : keys) {
            mean.wall += k.wall / double(keys.size());
            mean.cpu += k.cpu / double(keys.size());
        }
        std::printf(
            "incremental find typing \"%s\": %s a keystroke, slowest %s; naive scan "
            "from the top %s, ratio %.1f\n",
            qPrintable(typed), shown(mean, 0, 1e3, "ms").constData(),
            shown(slowest(keys), 0.030, 1e3, "ms").constData(),
            shown(naive, 0, 1e3, "ms").constData(), mean.cpu > 0 ? naive.cpu / mean.cpu : 0.0);
    }

    // A sort by each column, then the same column again (descending).
    std::vector<Span> sorts;
    for (int column = 0; column < finder.list().columnCount(); ++column) {
        for (int click = 0; click < 2; ++click) {
            Stopwatch t;
            finder.lvwTransactions_ColumnClick(column);
            sorts.push_back(t.lap());
        }
    }
    std::printf("sort by a column (%zu clicks): median %s, slowest %s\n", sorts.size(),
                shown(median(sorts)).constData(), shown(slowest(sorts), 0.5).constData());

    // The monthly recall window: every recall to come, then one month.
    std::vector<Span> loads;
    std::vector<Span> loadRest;
    std::vector<Span> months;
    int recalls = 0;
    int december = 0;
    for (int run = 0; run < kRuns; ++run) {
        Stopwatch t;
        auto* window = new search::RecallByMonthWindow(services, {});
        window->show();
        (void)window->grab();
        loads.push_back(t.lap());
        t.restart();
        fillRest(window->form());
        loadRest.push_back(t.lap());
        recalls = window->form().list().rowCount();
        t.restart();
        window->form().lstMonths_Click(QStringLiteral("December"));
        months.push_back(t.lap());
        fillRest(window->form());
        december = window->form().list().rowCount();
        delete window;
    }
    std::printf(
        "monthly recall window, %d recalls to come: click to rows painted %s, the rest "
        "filled in steps %s; December (%d rows) clicked to rows shown %s\n",
        recalls, shown(median(loads)).constData(), shown(median(loadRest)).constData(), december,
        shown(median(months)).constData());
    std::printf("peak memory: %ld MB\n", peakRssMb());
    return 0;
}
