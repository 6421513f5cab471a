#pragma once
// SingleWindow<W>: one instance of a window class, created on first use and
// shown again (raised and activated) while it stays open; a window that
// deletes itself on close is made anew by the next use. A window still
// open when its holder goes is closed with it, so no window outlives the
// code that handles its events. In a process without a widget application
// (a headless test, a tool) nothing is created.
//
//   SingleWindow<frmAbout> m_about;
//   m_about.show([&] { return new frmAbout(ctx); });

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace orlo {

template <typename Window>
class SingleWindow {
public:
    SingleWindow() = default;
    SingleWindow(const SingleWindow&) = delete;
    SingleWindow& operator=(const SingleWindow&) = delete;
    ~SingleWindow() { delete m_window.data(); }

    template <typename Make>
    Window* show(Make&& make) {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
            return nullptr;
        }
        if (!m_window) {
            m_window = make();
        }
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        return m_window.data();
    }
    // The open instance, or null.
    Window* get() const { return m_window.data(); }

private:
    QPointer<Window> m_window;
};

}  // namespace orlo
