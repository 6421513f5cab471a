#pragma once
// MainWindow: the desk's main window, the explorer: the folder tree of the
// open stores on the left, the item list of the explorer's folder on the
// right, the menu bar made from the explorer's "Menu Bar"; the list and the
// menus follow the model's events. Picking a folder
// asks the explorer to switch (BeforeFolderSwitch may refuse; FolderSwitch
// follows), and the window follows the explorer whoever switched it.
// Double-clicking an item displays it (Item::Display), which opens its
// window. Closing the window is the explorer's Close.

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "host/events/Subscription.h"

class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace orlo::host {
class MAPIFolder;
}

namespace orlo::desk {

class DeskSession;
class FolderItemModel;

class MainWindow : public QMainWindow {
public:
    static constexpr char16_t kTitle[] = u"Orlo Desk";

    MainWindow(DeskSession& session, std::function<void()> onClosed, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Re-reads the folder tree and the item list (View > Refresh).
    void refresh();
    void reloadFolders();
    // Opens the window of the item in the given row of the list.
    void openRow(int row);

    FolderItemModel* itemModel() const { return m_model; }
    QTreeWidget* folderTree() const { return m_tree; }
    QTableView* itemView() const { return m_view; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showFolder(const std::shared_ptr<host::MAPIFolder>& folder);
    void folderPicked(QTreeWidgetItem* item);
    void selectTreeItem(const QString& path);
    void updateStatus();

    DeskSession& m_session;
    std::function<void()> m_onClosed;
    QTreeWidget* m_tree = nullptr;
    QTableView* m_view = nullptr;
    FolderItemModel* m_model = nullptr;
    std::vector<host::Subscription> m_subscriptions;
    bool m_syncing = false;
};

}  // namespace orlo::desk
