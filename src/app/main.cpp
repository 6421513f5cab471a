// orlo-desk: the desk shell. Sets up one workstation from its options and
// environment (application folder, settings file, profile), opens the main
// window, connects the add-ins and runs until the main window and the last
// item window have closed. With --automation it is driven by JSON commands
// on standard input instead of a user. Where there is no display it runs
// offscreen, and says so.

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/AutomationChannel.h"
#include "app/AutomationCommands.h"
#include "app/DeskIcon.h"
#include "app/DeskOptions.h"
#include "app/DeskSession.h"
#include "app/DeskWindows.h"
#include "app/ManagedAddins.h"
#include "platform/core/ProcessMemory.h"
#include "platform/ui/QtMessageBoxes.h"

namespace {

constexpr int kExitUsage = 2;
// Forms and lists read at arm's length at the front desk.
constexpr qreal kReadablePointSize = 10.5;

void say(const QString& text) {
    std::fprintf(stderr, "orlo-desk: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
}

// Picks the offscreen platform when no display is reachable and no platform
// was chosen; must run before the application object exists.
void chooseOffscreenWithoutDisplay() {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        say(QStringLiteral(
            "no display (DISPLAY and WAYLAND_DISPLAY are unset): running offscreen"));
    }
}

}  // namespace

int main(int argc, char** argv) {
    (void)orlo::keepFreedMemoryForReuse();  // without it the desk runs as well, only slower
    chooseOffscreenWithoutDisplay();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orlo-desk"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(orlo::desk::deskIcon());
    if (QFont font = QApplication::font(); font.pointSizeF() < kReadablePointSize) {
        font.setPointSizeF(kReadablePointSize);
        QApplication::setFont(font);
    }

    using namespace orlo::desk;
    const auto options = DeskOptions::parse(QApplication::arguments().mid(1),
                                            QProcessEnvironment::systemEnvironment());
    if (!options) {
        say(options.error().description);
        std::fputs(DeskOptions::usage().toLocal8Bit().constData(), stderr);
        return kExitUsage;
    }
    if (options->help) {
        std::fputs(DeskOptions::usage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!options->registryFile.isEmpty()) {
        // The add-ins open the settings store themselves: the same file.
        qputenv(DeskOptions::kRegistryVariable, options->registryFile.toLocal8Bit());
    }
    if (!options->database.isEmpty()) {
        // Likewise the database of this start.
        qputenv(DeskOptions::kDatabaseVariable, options->database.toUtf8());
    }

    // In automation the boxes are answered from a queue and recorded.
    orlo::ScriptedMessageBoxes scripted;
    orlo::QtMessageBoxes dialogs;
    orlo::MessageBoxService& boxes =
        options->automation ? static_cast<orlo::MessageBoxService&>(scripted) : dialogs;

    DeskSession session(*options, boxes);
    for (const orlo::Error& e : session.open()) {
        say(e.description);
    }
    session.setAddinHost(
        std::make_unique<ManagedAddins>(session.registryStore(), session.application(), boxes));
    DeskWindows windows(session,
                        [] { QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); }); });
    windows.showMainWindow();

    std::unique_ptr<AutomationCommands> commands;
    std::unique_ptr<AutomationChannel> channel;
    if (options->automation) {
        commands = std::make_unique<AutomationCommands>(session, scripted, windows);
        channel =
            std::make_unique<AutomationChannel>(*commands, 0, 1, [&windows] { windows.quit(); });
        // While the add-ins start, a script may look at what they show.
        channel->startLooking();
    }
    session.connectAddins();
    if (MainWindow* main = windows.mainWindow()) {
        main->updateStatus();  // the add-in has connected (or failed to)
    }
    if (channel) {
        // The add-ins are connected and their start-up is done: a script's
        // first other command runs only now.
        channel->start();
    }
    say(QStringLiteral("ready (application folder %1, profile %2)")
            .arg(options->appDir, options->profile));
    return QApplication::exec();
}
