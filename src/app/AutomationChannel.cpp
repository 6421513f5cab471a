#include "app/AutomationChannel.h"

#include <unistd.h>

#include <cerrno>

#include "app/AutomationCommands.h"

namespace orlo::desk {

AutomationChannel::AutomationChannel(AutomationCommands& commands, int inFd, int outFd,
                                     std::function<void()> onEndOfInput)
    : m_commands(commands), m_in(inFd), m_out(outFd), m_onEnd(std::move(onEndOfInput)) {
    m_notifier = std::make_unique<QSocketNotifier>(m_in, QSocketNotifier::Read);
    m_notifier->setEnabled(false);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { readAvailable(); });
}

AutomationChannel::~AutomationChannel() = default;

void AutomationChannel::startLooking() {
    m_looking = true;
    m_notifier->setEnabled(true);
}

void AutomationChannel::start() {
    m_looking = false;
    m_notifier->setEnabled(true);
    scheduleDrain();
}

void AutomationChannel::runLines(bool nested) {
    qsizetype eol = 0;
    while ((eol = m_buffer.indexOf('\n')) >= 0) {
        QByteArray line = m_buffer.left(eol).trimmed();
        if (nested && !line.isEmpty() && !m_commands.runsInsideModal(line)) {
            return;
        }
        m_buffer.remove(0, eol + 1);
        if (!nested && m_buffer.contains('\n')) {
            scheduleDrain();  // lines already here get their look if this one opens a modal window
        }
        reply(m_commands.handleLine(line));
    }
    replyToDroppedLines();
}

void AutomationChannel::dropOverlongLine() {
    if (m_dropping) {
        const qsizetype eol = m_buffer.indexOf('\n');
        if (eol < 0) {
            m_buffer.clear();
            return;
        }
        m_buffer.remove(0, eol + 1);
        m_dropping = false;
    }
    const qsizetype lastEnd = m_buffer.lastIndexOf('\n') + 1;
    if (m_buffer.size() - lastEnd > kMaxLineBytes) {
        m_buffer.truncate(lastEnd);
        m_buffer.squeeze();  // the memory goes back now, not at the next line
        m_dropping = true;
        ++m_droppedLines;
    }
}

void AutomationChannel::replyToDroppedLines() {
    for (; m_droppedLines > 0; --m_droppedLines) {
        reply(AutomationCommands::refusedLine(
            QStringLiteral("A command line longer than %1 bytes was dropped.").arg(kMaxLineBytes)));
    }
}

void AutomationChannel::reply(QByteArray line) {
    line.append('\n');
    qsizetype written = 0;
    while (written < line.size()) {
        const ssize_t w = ::write(m_out, line.constData() + written,
                                  static_cast<std::size_t>(line.size() - written));
        if (w < 0 && errno == EINTR) {
            continue;
        }
        if (w <= 0) {
            break;  // the reader went away; nothing to tell it
        }
        written += w;
    }
}

void AutomationChannel::readAvailable() {
    char chunk[65536];
    const ssize_t n = ::read(m_in, chunk, sizeof chunk);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (n <= 0) {
        m_notifier->setEnabled(false);
        m_ended = true;
        if (!m_buffer.isEmpty()) {
            m_buffer.append('\n');  // a last command without its line end
        }
    } else {
        m_buffer.append(chunk, static_cast<qsizetype>(n));
        dropOverlongLine();
    }
    if (m_looking) {
        // The start-up yields seldom: what looks runs now, in this pass.
        // Those lines open no window and run no event loop of their own.
        runLines(true);
        return;
    }
    // The commands run outside this notifier's own activation: one that
    // opens a modal window runs a nested event loop, in which the notifier
    // must go on reading, and the event dispatcher does not enter a source
    // again while it is dispatching it.
    scheduleDrain();
}

void AutomationChannel::scheduleDrain() {
    QMetaObject::invokeMethod(
        m_notifier.get(), [this] { drain(); }, Qt::QueuedConnection);
}

void AutomationChannel::drain() {
    if (m_busy || m_looking) {
        runLines(true);  // the running command's caller drains the rest
        return;
    }
    m_busy = true;
    runLines(false);
    m_busy = false;
    if (m_ended && m_onEnd) {
        const auto onEnd = std::move(m_onEnd);
        m_onEnd = nullptr;
        onEnd();
    }
}

}  // namespace orlo::desk
