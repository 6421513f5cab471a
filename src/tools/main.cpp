// The admin tool `orlo`: "orlo <group> <command> ARGS...". This file only
// dispatches; each command group lives in its own files.

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/core/ProcessMemory.h"
#include "tools/CommandGroup.h"
#include "tools/DbCommands.h"
#include "tools/addin/AddinCommands.h"
#include "tools/report/ReportCommand.h"
#include "tools/store/StoreCommand.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using orlo::tools::CommandGroup;

int runStoreCommands(const QStringList& args, orlo::tools::ToolIo& io) {
    return orlo::tools::storeCommand(args, io.out, io.err);
}

// Every group of the tool; a new group adds one line.
const CommandGroup kGroups[] = {
    {u"db", u"create, query and fill databases", &orlo::tools::runDbCommands},
    {u"store", u"create, list, dump and fill item stores", &runStoreCommands},
    {u"addin", u"list the add-in in the desk's add-in list", &orlo::tools::runAddinCommands},
    {u"report", u"print a report to a PDF or CSV file", &orlo::tools::runReportCommand},
};

void usage(QTextStream& err) {
    err << "usage: orlo <group> <command> [arguments]\n\ngroups:\n";
    for (const CommandGroup& g : kGroups) {
        err << "  " << QString::fromUtf16(g.name) << "\t" << QString::fromUtf16(g.summary) << "\n";
    }
    err << "\n'orlo <group>' lists a group's commands.\n";
}

}  // namespace

int main(int argc, char** argv) {
    (void)orlo::keepFreedMemoryForReuse();  // without it the tool runs as well, only slower
    // Reports lay text out with fonts, which takes a GUI application; it
    // runs offscreen, so a scheduled job without a display prints too.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && std::strcmp(argv[1], "report") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    orlo::tools::ToolIo io{out, err};
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == u"--help"_s || args.first() == u"-h"_s) {
        usage(err);
        return args.isEmpty() ? orlo::tools::kExitUsage : orlo::tools::kExitOk;
    }
    const QString group = args.takeFirst();
    for (const CommandGroup& g : kGroups) {
        if (group == QString::fromUtf16(g.name)) {
            const int code = g.run(args, io);
            out.flush();
            err.flush();
            return code;
        }
    }
    err << "orlo: unknown command group '" << group << "'\n";
    usage(err);
    return orlo::tools::kExitUsage;
}
