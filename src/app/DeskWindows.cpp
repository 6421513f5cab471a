#include "app/DeskWindows.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>

#include "app/AddinsDialog.h"
#include "app/CalendarCommand.h"
#include "app/DeskLayout.h"
#include "app/DeskSession.h"
#include "app/FolderItemModel.h"
#include "app/InspectorWindow.h"
#include "app/MainWindow.h"
#include "app/WindowDriver.h"
#include "host/Application.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"
#include "host/Inspectors.h"
#include "host/Item.h"
#include "platform/core/ErrorTrap.h"

namespace orlo::desk {

namespace {

constexpr char16_t kItemWindowSize[] = u"ItemWindow";

// Keeps the size an item window is closed at, for the next one to open at.
class SizeKeeper : public QObject {
public:
    SizeKeeper(QWidget* window, RegistryStore& settings) : QObject(window), m_settings(settings) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            const QSize size = static_cast<QWidget*>(watched)->size();
            ignoreError(
                DeskLayout(m_settings)
                    .setValue(
                        QString::fromUtf16(kItemWindowSize),
                        QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toLatin1()),
                "the next item window opens at its default size");
        }
        return QObject::eventFilter(watched, event);
    }

private:
    RegistryStore& m_settings;
};

}  // namespace

DeskWindows::DeskWindows(DeskSession& session, std::function<void()> onFinished)
    : m_session(session), m_onFinished(std::move(onFinished)) {
    m_newInspector = m_session.application()->Inspectors()->events.NewInspector.connect(
        [this](const std::shared_ptr<host::Inspector>& inspector) { inspectorOpened(inspector); });
}

DeskWindows::~DeskWindows() {
    m_newInspector.disconnect();
    for (const auto& w : m_inspectors) {
        delete w.data();
    }
    delete m_main.data();
}

void DeskWindows::showMainWindow() {
    m_session.installDeskCommands(DeskCommandActions{
        [this] { closeMainWindow(); },
        [this] { refresh(); },
        [this] { showAddinsDialog(); },
    });
    m_main = new MainWindow(m_session, [this] { mainClosed(); });
    m_main->show();
}

void DeskWindows::showAddinsDialog() {
    // Not modal to the process: the desk (and its automation channel) runs on.
    auto* dialog = new AddinsDialog(m_session.addinHost(), m_main);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void DeskWindows::inspectorOpened(const std::shared_ptr<host::Inspector>& inspector) {
    auto* window = new InspectorWindow(inspector, m_session.locale(), m_session.messageBoxes());
    const QList<QByteArray> size =
        DeskLayout(m_session.registryStore()).value(QString::fromUtf16(kItemWindowSize)).split('x');
    if (size.size() == 2 && size[0].toInt() > 0 && size[1].toInt() > 0) {
        window->resize(size[0].toInt(), size[1].toInt());
    }
    window->installEventFilter(new SizeKeeper(window, m_session.registryStore()));
    m_inspectors.emplace_back(window);
    QObject::connect(window, &QObject::destroyed, &m_context, [this] {
        // Finish from the event loop, once the inspector has left the list.
        QTimer::singleShot(0, &m_context, [this] { checkFinished(); });
    });
    window->show();
}

InspectorWindow* DeskWindows::windowOf(const host::Item& item) const {
    for (const auto& w : m_inspectors) {
        if (w && w->inspector()->CurrentItem().get() == &item) {
            return w;
        }
    }
    return nullptr;
}

void DeskWindows::closeMainWindow() {
    if (m_main && !m_mainClosed) {
        m_main->close();
    }
}

void DeskWindows::mainClosed() {
    m_mainClosed = true;
    m_session.closeExplorer();
    checkFinished();
}

void DeskWindows::checkFinished() {
    std::erase_if(m_inspectors, [](const auto& w) { return w.isNull(); });
    if (m_finished || !m_mainClosed || !m_inspectors.empty() ||
        m_session.application()->Inspectors()->Count() > 0) {
        return;
    }
    m_finished = true;
    m_session.shutdown();
    if (m_onFinished) {
        m_onFinished();
    }
}

void DeskWindows::quit() {
    // Every item window closes without saving, then the main window.
    for (const auto& w : std::vector<QPointer<InspectorWindow>>(m_inspectors)) {
        if (w) {
            ignoreError(w->inspector()->Close(host::SaveMode::Discard),
                        "the desk is leaving: the window goes whatever its item says");
            if (w) {
                w->close();
            }
        }
    }
    if (m_mainClosed) {
        checkFinished();
    } else {
        closeMainWindow();
    }
    if (!m_finished) {
        // An item window that a handler kept open does not keep the desk
        // alive: quit ends it all the same.
        m_finished = true;
        m_session.shutdown();
        if (m_onFinished) {
            m_onFinished();
        }
    }
}

Status DeskWindows::screenshot(const std::shared_ptr<host::Item>& item, const QString& file,
                               const QString& page) {
    InspectorWindow* itemWindow = item ? windowOf(*item) : nullptr;
    QWidget* window = item ? static_cast<QWidget*>(itemWindow) : m_main.data();
    if (window == nullptr || (!item && m_mainClosed)) {
        return host::err::hostError(host::err::kObjectNotAvailable,
                                    QStringLiteral("That window is not open."));
    }
    if (itemWindow != nullptr && !page.isEmpty() && !itemWindow->showPage(page)) {
        return host::err::hostError(host::err::kControlNotFound,
                                    QStringLiteral("The form has no page \"%1\".").arg(page));
    }
    if (!item) {
        // Commands that arrived together run without the loop turning in
        // between: the list shows what they changed before the picture.
        m_main->itemModel()->applyPendingChanges();
    }
    if (!window->grab().save(file, "PNG")) {
        return host::err::hostError(host::err::kPathFileAccessError,
                                    QStringLiteral("Could not write \"%1\".").arg(file));
    }
    return okStatus();
}

bool DeskWindows::isOtherWindow(const QWidget* w) const {
    return w->isVisible() && w != m_main.data() &&
           std::none_of(m_inspectors.begin(), m_inspectors.end(),
                        [w](const auto& i) { return i.data() == w; });
}

QWidget* DeskWindows::otherWindow(const QString& window) const {
    const auto named = [&](const QWidget* w) {
        return w->windowTitle() == window || w->objectName() == window;
    };
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget* w : all) {
        if (isOtherWindow(w) && named(w)) {
            return w;
        }
    }
    // An add-in's hidden window (the peer connector's console) is read by
    // name too, as a user could not but a script may.
    for (QWidget* w : all) {
        if (!w->isVisible() && w->objectName() == window && !w->inherits("QMenu")) {
            return w;
        }
    }
    return nullptr;
}

std::vector<WindowControl::OtherWindow> DeskWindows::otherWindows() const {
    std::vector<OtherWindow> out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (isOtherWindow(w)) {
            OtherWindow other{w->windowTitle(), w->objectName(), w->isModal(), -1, QString()};
            if (const auto* bar = w->findChild<QProgressBar*>()) {
                other.progress = bar->value();
                if (const auto* label = w->findChild<QLabel*>()) {
                    other.status = label->text();
                }
            }
            out.push_back(std::move(other));
        }
    }
    return out;
}

Status DeskWindows::screenshotWindow(const QString& window, const QString& file) {
    QWidget* w = otherWindow(window);
    if (w == nullptr) {
        return host::err::hostError(host::err::kObjectNotAvailable,
                                    QStringLiteral("No window \"%1\" is open.").arg(window));
    }
    if (!w->grab().save(file, "PNG")) {
        return host::err::hostError(host::err::kPathFileAccessError,
                                    QStringLiteral("Could not write \"%1\".").arg(file));
    }
    return okStatus();
}

Status DeskWindows::closeWindow(const QString& window) {
    QWidget* w = otherWindow(window);
    if (w == nullptr) {
        return host::err::hostError(host::err::kObjectNotAvailable,
                                    QStringLiteral("No window \"%1\" is open.").arg(window));
    }
    w->close();
    return okStatus();
}

Result<QJsonObject> DeskWindows::driveWindow(const QString& window, const QString& command,
                                             const QJsonObject& arguments) {
    // The main window by its name: its search box, lists and calendar buttons.
    if (mainWindowOpen() && window == m_main->objectName()) {
        return desk::driveWindow(*m_main, command, arguments);
    }
    QWidget* w = otherWindow(window);
    if (w == nullptr) {
        return host::err::hostError(host::err::kObjectNotAvailable,
                                    QStringLiteral("No window \"%1\" is open.").arg(window));
    }
    return desk::driveWindow(*w, command, arguments);
}

Result<QJsonObject> DeskWindows::calendar(const QJsonObject& arguments) {
    if (!mainWindowOpen()) {
        return host::err::hostError(host::err::kObjectNotAvailable,
                                    QStringLiteral("The main window is not open."));
    }
    return runCalendarCommand(*m_main, arguments);
}

void DeskWindows::refresh() {
    if (m_main && !m_mainClosed) {
        m_main->refresh();
    }
    for (const auto& w : m_inspectors) {
        if (w) {
            w->refresh();
        }
    }
}

}  // namespace orlo::desk
