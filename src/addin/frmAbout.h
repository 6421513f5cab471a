#pragma once
// frmAbout: the about window of the "&Orlo" menu: the system's name, its
// version and the shared database this workstation uses. Modeless; closing
// it deletes it, and the menu makes a new one next time.

#include <QDialog>

namespace orlo {
struct AddinContext;
}

namespace orlo::addin {

inline constexpr char16_t kAboutTitle[] = u"About Orlo";

class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(const AddinContext& ctx, QWidget* parent = nullptr);
};

}  // namespace orlo::addin
