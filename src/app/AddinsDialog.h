#pragma once
// AddinsDialog: "Add-ins..." under Tools: the registered add-ins with their
// state, and Remove, which disconnects the chosen one with remove mode 1
// (the user removed it).

#include <QDialog>

class QListWidget;
class QPushButton;

namespace orlo::desk {

class AddinHost;

class AddinsDialog : public QDialog {
public:
    static constexpr char16_t kTitle[] = u"Add-ins";
    static constexpr char16_t kNoLoader[] = u"This desk has no add-in loader.";

    AddinsDialog(AddinHost* host, QWidget* parent = nullptr);

    void reload();
    // Removes the add-in of the selected row.
    void removeSelected();
    QListWidget* list() const { return m_list; }

private:
    AddinHost* m_host;
    QListWidget* m_list = nullptr;
    QPushButton* m_remove = nullptr;
};

}  // namespace orlo::desk
