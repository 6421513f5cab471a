#include "tools/store/StoreCommand.h"

#include <QElapsedTimer>
#include <functional>
#include <map>

#include "host/store/StoreFile.h"
#include "tools/store/AddinStore.h"
#include "tools/store/ItemJson.h"
#include "tools/store/StoreSeeder.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::tools {

namespace {

using host::FolderId;
using host::FolderInfo;
using host::StoreFile;

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr QStringView kUsageText =
    u"usage: orlo store ls PATH\n"
    u"       orlo store dump PATH FOLDER\n"
    u"       orlo store init-addin PATH\n"
    u"       orlo store seed PATH --contacts N --appointments M\n";

QString kindName(host::FolderKind kind) {
    switch (kind) {
        case host::FolderKind::Mail:
            return u"Mail"_s;
        case host::FolderKind::Contacts:
            return u"Contacts"_s;
        case host::FolderKind::Calendar:
            return u"Calendar"_s;
    }
    return u"?"_s;
}

int fail(QTextStream& err, const Error& error) {
    err << "orlo store: " << error.description << Qt::endl;
    return kFailed;
}

int usage(QTextStream& err, const QString& why) {
    err << "orlo store: " << why << '\n' << kUsageText << Qt::flush;
    return kUsage;
}

// Prints `folder` and, indented, its subfolders.
Status listTree(const StoreFile& store, const FolderInfo& folder, int depth, QTextStream& out) {
    ORLO_TRY_ASSIGN(const std::int64_t count, store.itemCount(folder.id));
    out << QString(depth * 2, u' ') << folder.name << " [" << kindName(folder.kind);
    if (!folder.defaultMessageClass.isEmpty()) {
        out << ", " << folder.defaultMessageClass;
    }
    out << "] " << count << (count == 1 ? " item" : " items") << '\n';
    ORLO_TRY_ASSIGN(const std::vector<FolderInfo> subs, store.subfolders(folder.id));
    for (const FolderInfo& sub : subs) {
        ORLO_TRY(listTree(store, sub, depth + 1, out));
    }
    return okStatus();
}

int ls(const QStringList& a, QTextStream& out, QTextStream& err) {
    if (a.size() != 1) {
        return usage(err, u"ls takes one store path"_s);
    }
    auto store = StoreFile::open(a[0]);
    if (!store) {
        return fail(err, store.error());
    }
    Result<FolderInfo> top = (*store)->folder((*store)->topFolder());
    if (!top) {
        return fail(err, top.error());
    }
    const Status listed = listTree(**store, *top, 0, out);
    out.flush();
    return listed ? kOk : fail(err, listed.error());
}

int dump(const QStringList& a, QTextStream& out, QTextStream& err) {
    if (a.size() != 2) {
        return usage(err, u"dump takes a store path and a folder"_s);
    }
    auto store = StoreFile::open(a[0]);
    if (!store) {
        return fail(err, store.error());
    }
    Result<FolderId> folder = folderByPath(**store, a[1]);
    if (!folder) {
        return fail(err, folder.error());
    }
    const Result<std::vector<host::ItemId>> ids = (*store)->itemIds(*folder);
    if (!ids) {
        return fail(err, ids.error());
    }
    for (host::ItemId id : *ids) {
        Result<host::ItemRecord> item = (*store)->load(id);
        if (!item) {
            out.flush();
            return fail(err, item.error());
        }
        out << itemJsonLine(*item) << '\n';
    }
    out.flush();
    return kOk;
}

int initAddin(const QStringList& a, QTextStream& out, QTextStream& err) {
    if (a.size() != 1) {
        return usage(err, u"init-addin takes one store path"_s);
    }
    auto store = createAddinStore(a[0]);
    if (!store) {
        return fail(err, store.error());
    }
    out << "Created " << a[0] << Qt::endl;
    return kOk;
}

int seed(const QStringList& a, QTextStream& out, QTextStream& err) {
    if (a.isEmpty()) {
        return usage(err, u"seed takes a store path"_s);
    }
    std::map<QString, std::int64_t> counts = {{u"--contacts"_s, 0}, {u"--appointments"_s, 0}};
    for (qsizetype i = 1; i < a.size(); i += 2) {
        auto it = counts.find(a[i]);
        if (it == counts.end()) {
            return usage(err, u"unknown option \"%1\""_s.arg(a[i]));
        }
        bool ok = false;
        const std::int64_t n = i + 1 < a.size() ? a[i + 1].toLongLong(&ok) : 0;
        if (!ok || n < 0) {
            return usage(err, u"%1 needs a count of 0 or more"_s.arg(a[i]));
        }
        it->second = n;
    }
    auto store = StoreFile::open(a[0]);
    if (!store) {
        return fail(err, store.error());
    }
    QElapsedTimer clock;
    clock.start();
    const SeedCounts wanted{counts[u"--contacts"_s], counts[u"--appointments"_s]};
    if (Status s = StoreSeeder::seed(**store, wanted); !s) {
        return fail(err, s.error());
    }
    out << "Added " << wanted.contacts << " contacts and " << wanted.appointments
        << " appointments in " << QString::number(clock.elapsed() / 1000.0, 'f', 1) << " s"
        << Qt::endl;
    return kOk;
}

}  // namespace

int storeCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QStringList a = args;
    if (!a.isEmpty() && a.front() == u"store") {
        a.removeFirst();
    }
    if (a.isEmpty()) {
        return usage(err, u"which store command?"_s);
    }
    const QString command = a.takeFirst();
    const std::map<QString, std::function<int(const QStringList&, QTextStream&, QTextStream&)>>
        commands = {
            {u"ls"_s, ls}, {u"dump"_s, dump}, {u"init-addin"_s, initAddin}, {u"seed"_s, seed}};
    const auto it = commands.find(command);
    if (it == commands.end()) {
        return usage(err, u"unknown command \"%1\""_s.arg(command));
    }
    return it->second(a, out, err);
}

}  // namespace orlo::tools
