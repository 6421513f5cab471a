#include "app/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "app/CalendarView.h"
#include "app/DeskIcon.h"
#include "app/DeskLayout.h"
#include "app/DeskSession.h"
#include "app/FolderItemModel.h"
#include "app/FolderPaths.h"
#include "app/MenuBarBuilder.h"
#include "app/PatientListModel.h"
#include "host/Explorer.h"
#include "host/Item.h"
#include "host/Items.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/StoreSession.h"
#include "host/commandbars/CommandBars.h"
#include "platform/core/ErrorTrap.h"
#include "platform/ui/MessageBox.h"

namespace orlo::desk {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr char16_t kGeometryValue[] = u"MainWindow";
constexpr char16_t kSplitterValue[] = u"MainSplitter";

void styleList(QTableView* view) {
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(24);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setDefaultSectionSize(170);
    view->setAlternatingRowColors(true);
}

}  // namespace

MainWindow::MainWindow(DeskSession& session, std::function<void()> onClosed, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_onClosed(std::move(onClosed)) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QString::fromUtf16(kTitle));
    setWindowIcon(QApplication::windowIcon());
    resize(1200, 760);

    m_splitter = new QSplitter(this);
    m_splitter->setObjectName(QStringLiteral("MainSplitter"));
    m_tree = new QTreeWidget(m_splitter);
    m_tree->setObjectName(QStringLiteral("FolderTree"));
    m_tree->setHeaderLabel(QStringLiteral("Folders"));
    m_stack = new QStackedWidget(m_splitter);
    m_view = new QTableView(m_stack);
    m_view->setObjectName(QStringLiteral("ItemList"));
    m_model = new FolderItemModel(session.locale(), this);
    m_view->setModel(m_model);
    styleList(m_view);
    m_stack->addWidget(m_view);
    m_patientPage = makePatientPage();
    m_stack->addWidget(m_patientPage);
    m_calendar = new CalendarView(session.clock(), session.messageBoxes(), m_stack);
    m_calendar->setOnListView([this] { showCalendar(false); });
    m_stack->addWidget(m_calendar);
    m_splitter->addWidget(m_tree);
    m_splitter->addWidget(m_stack);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({240, 960});
    setCentralWidget(m_splitter);

    m_database = new QLabel(this);
    m_database->setObjectName(QStringLiteral("StatusDatabase"));
    m_addin = new QLabel(this);
    m_addin->setObjectName(QStringLiteral("StatusAddin"));
    statusBar()->addPermanentWidget(m_database);
    statusBar()->addPermanentWidget(m_addin);

    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_N), [this] { newItem(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_F), [this] { focusSearch(); }},
        {QKeySequence(Qt::Key_F5), [this] { refresh(); }},
    };
    for (const auto& [key, run] : keys) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, run);
    }

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { folderPicked(current); });
    connect(m_view, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { openRow(index.row()); });

    if (const auto& explorer = m_session.explorer()) {
        m_subscriptions.push_back(explorer->events.FolderSwitch.connect(
            [this, weak = std::weak_ptr<host::Explorer>(explorer)] {
                if (const auto e = weak.lock()) {
                    showFolder(e->CurrentFolder());
                }
            }));
    }
    m_subscriptions.push_back(
        m_session.nameSpace()->events.profileChanged.connect([this] { reloadFolders(); }));
    m_model->setOnChanged([this] { updateStatus(); });
    m_patients->setOnChanged([this] { updateStatus(); });

    // Add-ins change the menu bar whenever they like; the window follows.
    if (const auto& explorer = m_session.explorer()) {
        if (const auto bar =
                explorer->CommandBars()->Item(QString::fromUtf16(host::CommandBars::kMenuBar))) {
            m_subscriptions.push_back(MenuBarBuilder::follow(*menuBar(), *bar));
        }
    }
    reloadFolders();
    if (const auto& explorer = m_session.explorer()) {
        showFolder(explorer->CurrentFolder());
    }
    restoreLayout();
}

MainWindow::~MainWindow() = default;

QWidget* MainWindow::makePatientPage() {
    auto* page = new QWidget(m_stack);
    page->setObjectName(QStringLiteral("PatientPage"));
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    m_search = new QLineEdit(page);
    m_search->setObjectName(QStringLiteral("QuickSearch"));
    m_search->setPlaceholderText(
        QStringLiteral("Find a patient by name, telephone or patient no."));
    m_search->setClearButtonEnabled(true);
    m_patientView = new QTableView(page);
    m_patientView->setObjectName(QStringLiteral("PatientList"));
    m_patients = new PatientListModel(m_session.locale(), this);
    m_patientView->setModel(m_patients);
    styleList(m_patientView);
    m_patientView->setSortingEnabled(true);
    m_patientView->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    column->addWidget(m_search);
    column->addWidget(m_patientView, 1);
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_patients->setSearch(text);
        updateStatus();
    });
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        if (m_patients->rowCount() > 0) {
            openItem(m_patients->itemIdAt(0));
        }
    });
    connect(m_patientView, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { openItem(m_patients->itemIdAt(index.row())); });
    return page;
}

void MainWindow::restoreLayout() {
    DeskLayout layout(m_session.registryStore());
    if (const QByteArray g = layout.value(QString::fromUtf16(kGeometryValue)); !g.isEmpty()) {
        restoreGeometry(g);
    }
    if (const QByteArray s = layout.value(QString::fromUtf16(kSplitterValue)); !s.isEmpty()) {
        m_splitter->restoreState(s);
    }
}

void MainWindow::saveLayout() {
    DeskLayout layout(m_session.registryStore());
    Status saved = layout.setValue(QString::fromUtf16(kGeometryValue), saveGeometry());
    if (saved) {
        saved = layout.setValue(QString::fromUtf16(kSplitterValue), m_splitter->saveState());
    }
    ignoreError(saved, "the window opens at its default size next time");
}

void MainWindow::reloadFolders() {
    m_syncing = true;
    m_tree->clear();
    std::vector<QTreeWidgetItem*> parents;
    for (const FolderEntry& e : allFolders(*m_session.nameSpace())) {
        parents.resize(static_cast<std::size_t>(e.depth));
        auto* node =
            e.depth == 0 ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(parents.back());
        node->setText(0, e.folder->Name());
        node->setIcon(0, folderIcon(e.folder->kind()));
        node->setData(0, kPathRole, e.path);
        parents.push_back(node);
    }
    m_tree->expandAll();
    m_syncing = false;
    if (const auto& explorer = m_session.explorer(); explorer && explorer->CurrentFolder()) {
        selectTreeItem(pathOf(*m_session.nameSpace(), *explorer->CurrentFolder()));
    }
}

void MainWindow::selectTreeItem(const QString& path) {
    m_syncing = true;
    QTreeWidgetItemIterator it(m_tree);
    while (*it != nullptr) {
        if ((*it)->data(0, kPathRole).toString() == path) {
            m_tree->setCurrentItem(*it);
            break;
        }
        ++it;
    }
    m_syncing = false;
}

void MainWindow::folderPicked(QTreeWidgetItem* item) {
    if (m_syncing || item == nullptr) {
        return;
    }
    const auto& explorer = m_session.explorer();
    const auto folder = folderAt(*m_session.nameSpace(), item->data(0, kPathRole).toString());
    if (!explorer || !folder) {
        return;
    }
    if (Status s = explorer->SelectFolder(*folder); !s) {
        // Refused by a BeforeFolderSwitch handler: the tree goes back.
        if (explorer->CurrentFolder()) {
            selectTreeItem(pathOf(*m_session.nameSpace(), *explorer->CurrentFolder()));
        }
    }
}

void MainWindow::showFolder(const std::shared_ptr<host::MAPIFolder>& folder) {
    m_model->setFolder(folder);
    m_view->resizeColumnsToContents();
    const host::FolderKind kind = folder ? folder->kind() : host::FolderKind::Mail;
    if (kind == host::FolderKind::Contacts) {
        if (m_patients->folder() != folder) {
            m_patients->setFolder(folder);
            m_patientView->resizeColumnsToContents();
        }
    } else if (kind == host::FolderKind::Calendar && m_calendar->model().folder() != folder) {
        m_calendar->setFolder(folder);
    }
    if (folder) {
        selectTreeItem(pathOf(*m_session.nameSpace(), *folder));
        setWindowTitle(QStringLiteral("%1 — %2").arg(QString::fromUtf16(kTitle), folder->Name()));
    } else {
        setWindowTitle(QString::fromUtf16(kTitle));
    }
    showPage();
    updateStatus();
}

void MainWindow::showPage() {
    const auto& folder = m_model->folder();
    const host::FolderKind kind = folder ? folder->kind() : host::FolderKind::Mail;
    if (kind == host::FolderKind::Contacts) {
        m_stack->setCurrentWidget(m_patientPage);
    } else if (kind == host::FolderKind::Calendar && m_calendarShown) {
        m_stack->setCurrentWidget(m_calendar);
    } else {
        m_stack->setCurrentWidget(m_view);
    }
}

void MainWindow::showCalendar(bool calendar) {
    m_calendarShown = calendar;
    showPage();
}

void MainWindow::newItem() {
    const auto& folder = m_model->folder();
    if (!folder) {
        return;
    }
    const auto item = folder->Items()->Add();
    const Status s = item ? (*item)->Display() : Status(item.error());
    if (!s) {
        m_session.messageBoxes().show(s.error().description, MsgButtons::OK, MsgIcon::Critical,
                                      QString::fromUtf16(kTitle));
    }
}

void MainWindow::focusSearch() {
    if (m_stack->currentWidget() != m_patientPage) {
        // The patients folder of the store shown, else the first one found.
        for (const FolderEntry& e : allFolders(*m_session.nameSpace())) {
            if (e.folder->kind() == host::FolderKind::Contacts && m_session.explorer()) {
                if (!m_session.explorer()->SelectFolder(e.folder)) {
                    return;
                }
                break;
            }
        }
    }
    if (m_stack->currentWidget() == m_patientPage) {
        m_search->setFocus(Qt::ShortcutFocusReason);
        m_search->selectAll();
    }
}

void MainWindow::updateStatus() {
    const QString database = DeskLayout(m_session.registryStore()).databaseInUse();
    m_database->setText(database.isEmpty() ? QStringLiteral("No database set")
                                           : QStringLiteral("Database: %1").arg(database));
    bool connected = false;
    if (const AddinHost* host = m_session.addinHost()) {
        for (const AddinEntry& a : host->addins()) {
            connected = connected || a.connected;
        }
    }
    m_addin->setText(connected ? QStringLiteral("Add-in connected")
                               : QStringLiteral("Add-in not connected"));
    const bool patients = m_stack->currentWidget() == m_patientPage;
    const Status& loaded = patients ? m_patients->loadStatus() : m_model->loadStatus();
    if (!loaded) {
        statusBar()->showMessage(loaded.error().description);
        return;
    }
    const qint64 n = m_model->totalCount();
    QString count = n == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(n);
    if (patients && !m_patients->searchText().trimmed().isEmpty()) {
        count = QStringLiteral("%1 of %2 patients found").arg(m_patients->rowCount()).arg(n);
    }
    statusBar()->showMessage(count);
}

void MainWindow::refresh() {
    reloadFolders();
    // Keep the selection on the same item across the re-read.
    const QModelIndex current = m_view->currentIndex();
    const host::ItemId selected = current.isValid() ? m_model->itemIdAt(current.row()) : 0;
    m_model->refresh();
    if (m_patients->folder()) {
        m_patients->refresh();
    }
    m_calendar->model().reload();
    if (selected != 0) {
        if (const int row = m_model->rowOf(selected); row >= 0) {
            m_view->setCurrentIndex(m_model->index(row, 0));
        }
    }
    updateStatus();
}

void MainWindow::openRow(int row) {
    openItem(m_model->itemIdAt(row));
}

void MainWindow::openItem(qint64 id) {
    const auto& folder = m_model->folder();
    if (id == 0 || !folder) {
        return;
    }
    const auto item = folder->session()->itemObject(id);
    Status s = item ? (*item)->Display() : Status(item.error());
    if (!s) {
        m_session.messageBoxes().show(s.error().description, MsgButtons::OK, MsgIcon::Critical,
                                      QString::fromUtf16(kTitle));
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    saveLayout();
    if (m_onClosed) {
        const auto onClosed = std::move(m_onClosed);
        m_onClosed = nullptr;
        onClosed();
    }
}

}  // namespace orlo::desk
