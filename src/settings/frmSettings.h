#pragma once
// frmSettings: the settings window "Orlo PRO Settings", a thin widget over
// SettingsForm. Four frames: "Database Location:" (the path box
// txtdblocation and "Test Connection"), "Network:" ("Override IP", the
// manual address box txtRefreshRate and the port box Text1), "Compact
// Database:" and "Database ReSync:" (each a button and a help icon); then
// OK, Cancel, Apply and Help. Shown modeless, one instance, deleted when
// closed.

#include <QWidget>

#include "settings/SettingsForm.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orlo::settings {

class frmSettings final : public QWidget {
    Q_OBJECT
public:
    frmSettings(AddinContext& ctx, HelpService& help);

    SettingsForm& form() { return m_form; }

private:
    // The controls follow the form's state after every event.
    void updateControls();

    SettingsForm m_form;
    QLineEdit* m_location = nullptr;
    QCheckBox* m_override = nullptr;
    QLabel* m_addressLabel = nullptr;
    QLineEdit* m_address = nullptr;
    QPushButton* m_apply = nullptr;
};

}  // namespace orlo::settings
