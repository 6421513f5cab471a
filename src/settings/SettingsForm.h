#pragma once
// SettingsForm: what the settings window "Orlo PRO Settings" (frmSettings)
// does, apart from its widgets: the three settings read at load and written
// on Apply or OK, Apply enabled only by a real edit, the manual address box
// enabled by "Override IP", and the maintenance buttons, which act at once
// on the path typed in the box, saved or not: the connection test, the
// resync of both folders behind the progress window, the compaction, and
// the help topics. The window is a thin widget over it, and tests drive the
// form directly.
//
// Saved settings reach the rest of the add-in at the desk's next start, as
// the restart message says.

#include <QString>
#include <functional>

namespace orlo {
struct AddinContext;
class HelpService;
struct Error;
}  // namespace orlo

namespace orlo::settings {

inline constexpr char16_t kSettingsWindow[] = u"frmSettings";
inline constexpr char16_t kSettingsCaption[] = u"Orlo PRO Settings";

// Help topics: the contents (Help), compaction and resync (the frames'
// help icons).
inline constexpr int kHelpContentsContext = 1;
inline constexpr int kCompactHelpContext = 9;
inline constexpr int kResyncHelpContext = 10;

// The port box shows the peer network's port; it is never read.
inline constexpr char16_t kPeerPortText[] = u"20050";

class SettingsForm {
public:
    SettingsForm(AddinContext& ctx, HelpService& help);

    // Reads the three values; `fillControls` puts them into the window's
    // controls while the form is loading, so that the fill is no edit.
    // Afterwards nothing is changed and Apply is disabled.
    void Form_Load(const std::function<void()>& fillControls = {});

    // Edits: each marks the settings changed and enables Apply, unless the
    // form is loading.
    void txtdblocation_Change(const QString& text);
    void txtRefreshRate_Change(const QString& text);
    void chkRefresh_Click(bool checked);

    // Apply: saves; Apply stays enabled when the save failed. OK: saves
    // when Apply is enabled; true when the window may close (a failed save
    // keeps it open, with what was typed). Cancel closes without saving.
    void cmdApply_Click();
    bool cmdOK_Click();

    void cmdTestDSN_Click();
    void cmdReSync_Click();
    void cmdCompact_Click();
    void cmdHelp_Click();
    void Picture2_Click();  // resync help
    void Picture3_Click();  // compaction help

    const QString& databaseLocation() const { return m_dbLocation; }
    const QString& manualIp() const { return m_manualIp; }
    bool manualIpEnabled() const { return m_manualIpEnabled; }
    bool changed() const { return m_changed; }
    bool applyEnabled() const { return m_applyEnabled; }
    // The manual address label and box.
    bool addressEnabled() const { return m_manualIpEnabled; }

private:
    void markChanged();
    bool saveSettings();
    void showHelp(int context);
    void showError(const QString& title, const Error& error);

    AddinContext& m_ctx;
    HelpService& m_help;
    QString m_dbLocation;
    QString m_manualIp;
    bool m_manualIpEnabled = false;
    bool m_changed = false;
    bool m_loading = false;
    bool m_applyEnabled = false;
};

}  // namespace orlo::settings
