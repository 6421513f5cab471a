#pragma once
// AutomationChannel: reads one JSON command a line from a file descriptor
// (standard input) as data arrives on the event loop, and writes one JSON
// reply a line to another (standard output), flushed at once. Commands run
// one at a time: a line that arrives while a command runs a nested event
// loop (a modal window is open) waits its turn, unless it only looks at
// windows, answers boxes or closes a window: those run at once, so that a
// script can see and close the modal window its command opened. Their
// replies come before the waiting command's. End of input ends the desk as
// "quit" does. A blank line is answered with an error like any line that is
// no command; a line longer than 16 MiB is dropped with an error reply.
//
// Until start() the channel only looks: from startLooking() on, lines that
// arrive while the add-ins start (and yield to the event loop, as their
// folder refresh does) run when they only look at windows or answer boxes,
// so that a script can watch the progress window; every other line waits
// for start(), once the desk is ready (its add-ins connected and their
// start-up done), so a script piped in at once finds the add-ins' folders
// and its saves reach them.

#include <QByteArray>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace orlo::desk {

class AutomationCommands;

class AutomationChannel {
public:
    AutomationChannel(AutomationCommands& commands, int inFd, int outFd,
                      std::function<void()> onEndOfInput);
    ~AutomationChannel();

    // Reads from here on, but runs only the lines that look (see above).
    void startLooking();
    // Takes the commands from here on, those already waiting first.
    void start();

private:
    void readAvailable();
    void drain();
    // Runs the complete lines in the buffer; inside a nested event loop only
    // those that may run there, stopping at the first that may not.
    void runLines(bool nested);
    void reply(QByteArray line);
    void scheduleDrain();
    // A line that grows past kMaxLineBytes is dropped as it arrives (up to
    // its line end) and answered with an error once the lines before it
    // have run, so that one endless line cannot take the desk's memory.
    void dropOverlongLine();
    void replyToDroppedLines();

    AutomationCommands& m_commands;
    int m_in;
    int m_out;
    std::function<void()> m_onEnd;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_buffer;
    bool m_busy = false;
    bool m_ended = false;
    bool m_looking = false;
    bool m_dropping = false;
    int m_droppedLines = 0;
};

inline constexpr qsizetype kMaxLineBytes = qsizetype(16) * 1024 * 1024;

}  // namespace orlo::desk
