#include "settings/SettingsForm.h"

#include "common/AddinContext.h"
#include "common/ErrorReport.h"
#include "common/basRegistry.h"
#include "platform/ui/HelpService.h"

namespace orlo::settings {

namespace {

constexpr char16_t kRestartTitle[] = u"Orlo Software";
constexpr char16_t kRestartText[] = u"Please restart MS Outlook for these settings to take effect.";
constexpr char16_t kSettingsErrorTitle[] = u"Software Error";

QString readText(const AddinContext& ctx, const char16_t* name) {
    const Variant v = ctx.registry.RegReadValue(HKEY_CURRENT_USER, AddinRegistryKey, name);
    const QString* text = v.asText();
    return text != nullptr ? *text : QString();
}

}  // namespace

SettingsForm::SettingsForm(AddinContext& ctx, HelpService& help) : m_ctx(ctx), m_help(help) {}

void SettingsForm::Form_Load(const std::function<void()>& fillControls) {
    m_applyEnabled = false;
    m_loading = true;
    // Only values that are set replace the controls' own (empty) texts.
    if (const QString path = readText(m_ctx, kDefaultDbLocationValue); !path.isEmpty()) {
        m_dbLocation = path;
    }
    if (const QString ip = readText(m_ctx, kManualIpValue); !ip.isEmpty()) {
        m_manualIp = ip;
    }
    if (const QString on = readText(m_ctx, kManualIpEnabledValue); !on.isEmpty()) {
        m_manualIpEnabled = on == u"1";
    }
    if (fillControls) {
        fillControls();
    }
    m_loading = false;
    m_changed = false;
}

void SettingsForm::markChanged() {
    if (m_loading) {
        return;
    }
    m_changed = true;
    m_applyEnabled = true;
}

void SettingsForm::txtdblocation_Change(const QString& text) {
    m_dbLocation = text;
    markChanged();
}

void SettingsForm::txtRefreshRate_Change(const QString& text) {
    m_manualIp = text;
    markChanged();
}

void SettingsForm::chkRefresh_Click(bool checked) {
    m_manualIpEnabled = checked;  // the address controls follow the box
    markChanged();
}

bool SettingsForm::saveSettings() {
    // In this order, each as text. A value that cannot be written stops the
    // save with the reason shown: the restart message would claim settings
    // that were never kept. What was typed stays in the window to try again.
    const std::pair<const char16_t*, QString> values[] = {
        {kDefaultDbLocationValue, m_dbLocation},
        {kManualIpValue, m_manualIp},
        {kManualIpEnabledValue, m_manualIpEnabled ? QStringLiteral("1") : QStringLiteral("0")},
    };
    for (const auto& [name, value] : values) {
        if (Status s = m_ctx.registry.writeKeyValue(HKEY_CURRENT_USER, AddinRegistryKey, name,
                                                    Variant(value), REG_SZ);
            !s) {
            showError(QString::fromUtf16(kSettingsErrorTitle), s.error());
            return false;
        }
    }
    m_ctx.messageBoxes.show(QString::fromUtf16(kRestartText), MsgButtons::OK, MsgIcon::Exclamation,
                            QString::fromUtf16(kRestartTitle));
    return true;
}

void SettingsForm::cmdApply_Click() {
    if (saveSettings()) {
        m_applyEnabled = false;
        m_changed = false;
    }
}

bool SettingsForm::cmdOK_Click() {
    if (!m_applyEnabled) {
        return true;
    }
    if (!saveSettings()) {
        return false;
    }
    m_applyEnabled = false;
    m_changed = false;
    return true;
}

void SettingsForm::showError(const QString& title, const Error& error) {
    m_ctx.messageBoxes.show(errorBoxText(error), MsgButtons::OK, MsgIcon::Critical, title);
}

void SettingsForm::showHelp(int context) {
    if (Status s = m_help.showTopic(context); !s) {
        showError(QString::fromUtf16(kSettingsErrorTitle), s.error());
    }
}

void SettingsForm::cmdHelp_Click() {
    showHelp(kHelpContentsContext);
}

void SettingsForm::Picture2_Click() {
    showHelp(kResyncHelpContext);
}

void SettingsForm::Picture3_Click() {
    showHelp(kCompactHelpContext);
}

}  // namespace orlo::settings
