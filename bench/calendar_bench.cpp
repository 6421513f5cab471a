// The desk's Scheduler calendar and patient list at clinic scale (100,000
// contacts, 500,000 appointments by default):
// - a week of the calendar from the click to the painted grid, through the
//   store's date index, against the naive form that walks the folder's
//   "Start" column to find the week; and the week's read alone, one query
//   of the fields a block shows against loading those fields item by item;
// - a month of navigation: five clicks on "next week", each painted;
// - the patient list: loading it (its rows read by one query, against a
//   pass over the folder per property), and the quick search per keystroke while
//   a name and a telephone number are typed, against a search that filters
//   every patient again on each keystroke.
//   calendar_bench [CONTACTS APPOINTMENTS]

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "DeskTestStore.h"
#include "app/CalendarGrid.h"
#include "app/CalendarView.h"
#include "app/ListLayout.h"
#include "app/PatientListModel.h"
#include "host/Application.h"
#include "host/Folders.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/StoreSession.h"
#include "host/forms/FormRegistry.h"
#include "host/store/FieldRows.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/ui/MessageBox.h"

using namespace orlo;

namespace {

double msSince(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

struct Figures {
    std::vector<double> ms;
    void add(double v) { ms.push_back(v); }
    double median() {
        std::sort(ms.begin(), ms.end());
        return ms.empty() ? 0 : ms[ms.size() / 2];
    }
    double max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

std::shared_ptr<host::MAPIFolder> folderAt(host::NameSpace& ns, const QString& path) {
    const QStringList names = path.split(u'/');
    auto f = ns.Folders()->Item(names.front());
    for (qsizetype i = 1; f.ok() && i < names.size(); ++i) {
        f = (*f)->Folders()->Item(names[i]);
    }
    return f.ok() ? *f : nullptr;
}

// The week's appointments as a walk of the folder finds them.
std::size_t naiveWeek(host::MAPIFolder& folder, QDate monday) {
    auto file = folder.session()->file();
    auto starts = (*file)->column(folder.id(), QStringLiteral("Start"));
    std::size_t n = 0;
    for (const auto& [id, value] : *starts) {
        const QDateTime* d = value.asDate();
        n += d != nullptr && d->date() >= monday && d->date() < monday.addDays(7) ? 1 : 0;
    }
    return n;
}

const QStringList& blockFields() {
    static const QStringList k{QStringLiteral("Start"),  QStringLiteral("End"),
                               QStringLiteral("LNAME"),  QStringLiteral("FNAME"),
                               QStringLiteral("REASON"), QStringLiteral("Status1")};
    return k;
}

// The week's fields as one query reads them.
std::size_t weekByQuery(host::MAPIFolder& folder, QDate monday) {
    auto file = folder.session()->file();
    auto rows =
        host::rowsBetween(**file, folder.id(), QStringLiteral("Start"), naiveDateTime(monday),
                          naiveDateTime(monday.addDays(7)), blockFields());
    return rows ? rows->size() : 0;
}

// The same fields loaded item by item, as the calendar read them before.
std::size_t weekByItem(host::MAPIFolder& folder, QDate monday) {
    auto file = folder.session()->file();
    auto ids = host::rowsBetween(**file, folder.id(), QStringLiteral("Start"),
                                 naiveDateTime(monday), naiveDateTime(monday.addDays(7)), {});
    std::size_t n = 0;
    for (const host::FieldRow& row : *ids) {
        n += (*file)->load(row.id, blockFields()).ok() ? 1 : 0;
    }
    return n;
}

// The patient list's values read with one pass over the folder per property.
std::size_t listByColumns(host::MAPIFolder& folder, const QStringList& properties) {
    auto file = folder.session()->file();
    std::vector<std::vector<Variant>> rows;
    for (const QString& p : properties) {
        auto column = (*file)->column(folder.id(), p);
        rows.resize(column->size());
        for (std::size_t i = 0; i < column->size(); ++i) {
            rows[i].push_back(std::move((*column)[i].second));
        }
    }
    return rows.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const std::int64_t contacts = args.size() > 2 ? args[1].toLongLong() : 100000;
    const std::int64_t appointments = args.size() > 2 ? args[2].toLongLong() : 500000;

    desk::test::DeskTestStore store;
    QElapsedTimer t;
    t.start();
    if (!store.create(contacts, appointments)) {
        return 1;
    }
    std::printf("seeded %lld contacts and %lld appointments in %.1f s\n",
                static_cast<long long>(contacts), static_cast<long long>(appointments),
                msSince(t) / 1000.0);

    PinnedClock clock(naiveDateTime(QDate(2021, 6, 9), QTime(9, 0)));
    const Locale locale = Locale::unitedKingdom();
    ScriptedMessageBoxes boxes;
    auto desk = host::Application::create(clock, locale, host::FormRegistry::standard(), &boxes);
    auto ns = *desk->GetNamespace(QStringLiteral("MAPI"));
    if (!ns->AddStore(store.storePath).ok()) {
        return 1;
    }
    const auto scheduler = folderAt(*ns, QStringLiteral("Orlo Networked V.1/Scheduler"));
    const auto patients = folderAt(*ns, QStringLiteral("Orlo Networked V.1/Patients"));
    if (!scheduler || !patients) {
        return 1;
    }

    // The calendar, one week shown, painted into a pixmap as the screen would be.
    desk::CalendarView view(clock, boxes);
    view.resize(1400, 900);
    view.setFolder(scheduler);
    view.showSpan(desk::CalendarSpan::Week);
    QPixmap canvas(view.grid()->size());
    const QDate monday(2021, 6, 7);
    Figures week;
    std::size_t shown = 0;
    for (int run = 0; run < 9; ++run) {
        t.restart();
        view.showDay(monday.addDays(7 * (run % 3)));
        view.grid()->render(&canvas);
        week.add(msSince(t));
        shown = std::max(shown, view.model().entries().size());
    }
    Figures walk;
    for (int run = 0; run < 3; ++run) {
        t.restart();
        naiveWeek(*scheduler, monday);
        walk.add(msSince(t));
    }
    const double weekMs = week.median();
    const double walkMs = walk.median();
    std::printf("calendar week, click to painted: %.2f ms median, %.2f ms max (%zu visits)\n",
                weekMs, week.max(), shown);
    std::printf("  naive week (walk the folder's Start): %.1f ms; index is %.0fx faster\n", walkMs,
                weekMs > 0 ? walkMs / weekMs : 0.0);

    Figures byQuery;
    Figures byItem;
    for (int run = 0; run < 5; ++run) {
        const QDate from = monday.addDays(7 * run);
        t.restart();
        const std::size_t n = weekByQuery(*scheduler, from);
        byQuery.add(msSince(t));
        t.restart();
        const std::size_t m = weekByItem(*scheduler, from);
        byItem.add(msSince(t));
        if (n != m) {
            std::printf("the week's query read %zu visits, item by item %zu\n", n, m);
            return 1;
        }
    }
    const double queryMs = byQuery.median();
    std::printf("  the week's read: one query %.2f ms, item by item %.2f ms (%.1fx)\n", queryMs,
                byItem.median(), queryMs > 0 ? byItem.median() / queryMs : 0.0);

    Figures month;
    view.showDay(monday);
    t.restart();
    for (int step = 0; step < 5; ++step) {
        QElapsedTimer one;
        one.start();
        view.model().next();
        view.grid()->render(&canvas);
        month.add(msSince(one));
    }
    const double monthMs = msSince(t);
    std::printf("a month of navigation (5 x next week, painted): %.1f ms, %.2f ms per step max\n",
                monthMs, month.max());

    // The patient list and its quick search.
    desk::PatientListModel list(locale);
    t.restart();
    list.setFolder(patients);
    const double listMs = msSince(t);
    std::printf("patient list of %lld: loaded in %.0f ms\n",
                static_cast<long long>(list.totalCount()), listMs);
    {
        // What the list reads: its columns' properties and the search's.
        const QStringList properties =
            desk::ListLayout(patients.get(),
                             {QStringLiteral("HomeTel"), QStringLiteral("WorkTel"),
                              QStringLiteral("Mobile1"), QStringLiteral("PatientID")})
                .properties();
        auto file = patients->session()->file();
        t.restart();
        const auto rows = host::folderRows(**file, patients->id(), properties);
        const double rowsMs = msSince(t);
        t.restart();
        const std::size_t passes = listByColumns(*patients, properties);
        const double passMs = msSince(t);
        std::printf(
            "  its %lld properties of %zu patients: one query %.0f ms, a pass per property "
            "%.0f ms (%.1fx)\n",
            static_cast<long long>(properties.size()), rows ? rows->size() : 0, rowsMs, passMs,
            rowsMs > 0 ? passMs / rowsMs : 0.0);
        if (!rows || rows->size() != passes) {
            return 1;
        }
    }
    const QString typedTexts[] = {QStringLiteral("smith jo"), QStringLiteral("555-01")};
    for (const QString& typed : typedTexts) {
        Figures keys;
        Figures naive;
        for (qsizetype n = 1; n <= typed.size(); ++n) {
            t.restart();
            list.setSearch(typed.left(n));
            keys.add(msSince(t));
        }
        const int found = list.rowCount();
        // The naive form: every keystroke filters all patients again.
        for (qsizetype n = 1; n <= typed.size(); ++n) {
            list.setSearch(QString());
            t.restart();
            list.setSearch(typed.left(n));
            naive.add(msSince(t));
        }
        list.setSearch(QString());
        const double median = keys.median();
        std::printf(
            "quick search \"%s\": %.2f ms per keystroke median, %.2f ms max (%d found);\n"
            "  filtering all patients per keystroke: %.2f ms median (%.1fx)\n",
            typed.toUtf8().constData(), median, keys.max(), found, naive.median(),
            median > 0 ? naive.median() / median : 0.0);
    }
    return 0;
}
