#pragma once
// WindowOpeners: the add-in's windows by class name, each with the code
// that shows it. The menu and the public methods open a window through
// here, so that a subsystem that brings a window (the patient finder, the
// settings dialog, the recall-by-month window, the history and schedule
// searches) joins the menu by registering its opener, without touching the
// menu. A window class that has no opener yet opens nothing.

#include <QString>
#include <functional>
#include <map>

namespace orlo::addin {

// The window classes the menu and the public methods open.
inline constexpr char16_t kAboutWindow[] = u"frmAbout";
inline constexpr char16_t kSettingsWindow[] = u"frmSettings";
inline constexpr char16_t kPatientSearchWindow[] = u"frmPatientSearch";
inline constexpr char16_t kRecallByMonthWindow[] = u"frmRecallbyMonth";
inline constexpr char16_t kSchedulePatientSearchWindow[] = u"frmSchedulePatientSearch";
inline constexpr char16_t kPatientHistoryWindow[] = u"frmPHistory";

class WindowOpeners {
public:
    using Opener = std::function<void()>;

    // Registers (or replaces) the opener of a window class.
    void set(const QString& windowClass, Opener opener) {
        m_openers[windowClass] = std::move(opener);
    }
    // Shows the window; false when no opener is registered for the class.
    bool open(const QString& windowClass) const {
        const auto it = m_openers.find(windowClass);
        if (it == m_openers.end() || !it->second) {
            return false;
        }
        const Opener opener = it->second;  // an opener may register others
        opener();
        return true;
    }
    bool has(const QString& windowClass) const { return m_openers.contains(windowClass); }

private:
    std::map<QString, Opener> m_openers;
};

}  // namespace orlo::addin
