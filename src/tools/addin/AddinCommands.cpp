#include "tools/addin/AddinCommands.h"

#include <QDir>
#include <QFileInfo>

#include "host/addins/AddinList.h"
#include "platform/registry/RegistryStore.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::tools {

namespace {

// The ProgId the add-in library answers to.
constexpr QStringView kProgId = u"OrlonetPROv1.Connect";

void usage(ToolIo& io) {
    io.err << "usage: orlo addin register APPDIR [--registry FILE]\n"
              "       orlo addin list [--registry FILE]\n"
              "       orlo addin set NAME VALUE [--registry FILE]\n";
}

// Takes "--registry FILE" out of args; false when FILE is missing.
bool takeRegistry(QStringList& args, QString& file) {
    const qsizetype at = args.indexOf(u"--registry"_s);
    if (at < 0) {
        return true;
    }
    if (at + 1 >= args.size()) {
        return false;
    }
    file = args.at(at + 1);
    args.remove(at, 2);
    return true;
}

int registerAddin(const QString& appDir, RegistryStore& store, ToolIo& io) {
    const QFileInfo library(QDir(appDir).filePath(kAddinLibraryName.toString()));
    if (!library.isFile()) {
        io.err << "orlo addin: " << library.filePath() << " does not exist\n";
        return kExitFailure;
    }
    host::AddinList list(store);
    host::AddinRegistration entry{kProgId.toString(), library.absoluteFilePath(),
                                  host::AddinList::kLoadAtStartup, kAddinFriendlyName.toString()};
    if (const auto existing = list.registration(entry.progId)) {
        entry.loadBehavior = existing->loadBehavior;
    }
    if (const Status s = list.registerAddin(entry); !s) {
        io.err << "orlo addin: " << s.error().description << "\n";
        return kExitFailure;
    }
    io.out << entry.progId << "\t" << entry.loadBehavior << "\t" << entry.path << "\n";
    return kExitOk;
}

int listAddins(RegistryStore& store, ToolIo& io) {
    const auto all = host::AddinList(store).registrations();
    if (!all) {
        io.err << "orlo addin: " << all.error().description << "\n";
        return kExitFailure;
    }
    for (const host::AddinRegistration& r : *all) {
        io.out << r.progId << "\t" << r.loadBehavior << "\t" << r.path << "\n";
    }
    return kExitOk;
}

// One of the add-in's own settings ("defaultDBlocation", "ManualIP",
// "ManualIPEnabled"), as text.
int setValue(const QString& name, const QString& value, RegistryStore& store, ToolIo& io) {
    const QString path = u"Software\\Microsoft\\Office\\Outlook\\Addins\\"_s + kProgId;
    const auto key = store.createKey(RegistryRoot::CurrentUser, path);
    const Status s = key ? store.setValue(*key, name, RegistryValue{kRegSz, value.toUtf8()})
                         : Status(key.error());
    if (!s) {
        io.err << "orlo addin: " << s.error().description << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

int runAddinCommands(const QStringList& arguments, ToolIo& io) {
    QStringList args = arguments;
    QString registryFile;
    if (!takeRegistry(args, registryFile) || args.isEmpty()) {
        usage(io);
        return kExitUsage;
    }
    RegistryStore store(registryFile);
    const QString command = args.takeFirst();
    if (command == u"register"_s && args.size() == 1) {
        return registerAddin(args.first(), store, io);
    }
    if (command == u"set"_s && args.size() == 2) {
        return setValue(args.at(0), args.at(1), store, io);
    }
    if (command == u"list"_s && args.isEmpty()) {
        return listAddins(store, io);
    }
    usage(io);
    return kExitUsage;
}

}  // namespace orlo::tools
