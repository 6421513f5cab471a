#pragma once
// MainWindow: the desk's main window, the explorer: the folder tree of the
// open stores on the left, the explorer's folder on the right (a patients
// folder as the patient list with its quick search, the Scheduler as a
// calendar or as its item list, any other folder as its item list), the
// menu bar made from the explorer's "Menu Bar"; the views and the menus
// follow the model's events. The status bar shows the folder's count, the
// database in use and whether the add-in is connected. The window's size
// and splitter are kept per workstation in the settings file. Picking a folder
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

class QLabel;
class QLineEdit;
class QSplitter;
class QStackedWidget;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace orlo::host {
class MAPIFolder;
}

namespace orlo::desk {

class CalendarView;
class DeskSession;
class FolderItemModel;
class PatientListModel;

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
    void openItem(qint64 id);
    // The Scheduler as a calendar (true) or as its item list.
    void showCalendar(bool calendar);
    // Ctrl+N: a new item of the folder shown, in its window.
    void newItem();
    // Ctrl+F: to the patient list's search box (the Patients folder first).
    void focusSearch();
    // The status bar: the folder's count, the database, the add-in.
    void updateStatus();

    FolderItemModel* itemModel() const { return m_model; }
    PatientListModel* patientModel() const { return m_patients; }
    CalendarView* calendar() const { return m_calendar; }
    QTreeWidget* folderTree() const { return m_tree; }
    QTableView* itemView() const { return m_view; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* makePatientPage();
    void showPage();
    void restoreLayout();
    void saveLayout();
    void showFolder(const std::shared_ptr<host::MAPIFolder>& folder);
    void folderPicked(QTreeWidgetItem* item);
    void selectTreeItem(const QString& path);

    DeskSession& m_session;
    std::function<void()> m_onClosed;
    QTreeWidget* m_tree = nullptr;
    QTableView* m_view = nullptr;
    FolderItemModel* m_model = nullptr;
    QSplitter* m_splitter = nullptr;
    QStackedWidget* m_stack = nullptr;
    QWidget* m_patientPage = nullptr;
    QLineEdit* m_search = nullptr;
    QTableView* m_patientView = nullptr;
    PatientListModel* m_patients = nullptr;
    CalendarView* m_calendar = nullptr;
    QLabel* m_database = nullptr;
    QLabel* m_addin = nullptr;
    bool m_calendarShown = true;
    std::vector<host::Subscription> m_subscriptions;
    bool m_syncing = false;
};

}  // namespace orlo::desk
