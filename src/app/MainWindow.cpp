#include "app/MainWindow.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "app/DeskSession.h"
#include "app/FolderItemModel.h"
#include "app/FolderPaths.h"
#include "app/MenuBarBuilder.h"
#include "host/Explorer.h"
#include "host/Item.h"
#include "host/MAPIFolder.h"
#include "host/NameSpace.h"
#include "host/StoreSession.h"
#include "host/commandbars/CommandBars.h"
#include "platform/ui/MessageBox.h"

namespace orlo::desk {

namespace {

constexpr int kPathRole = Qt::UserRole;

}  // namespace

MainWindow::MainWindow(DeskSession& session, std::function<void()> onClosed, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_onClosed(std::move(onClosed)) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QString::fromUtf16(kTitle));
    resize(1000, 620);

    auto* splitter = new QSplitter(this);
    m_tree = new QTreeWidget(splitter);
    m_tree->setObjectName(QStringLiteral("FolderTree"));
    m_tree->setHeaderLabel(QStringLiteral("Folders"));
    m_view = new QTableView(splitter);
    m_view->setObjectName(QStringLiteral("ItemList"));
    m_model = new FolderItemModel(session.locale(), this);
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(22);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->horizontalHeader()->setDefaultSectionSize(170);
    m_view->setAlternatingRowColors(true);
    splitter->addWidget(m_tree);
    splitter->addWidget(m_view);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 740});
    setCentralWidget(splitter);

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
}

MainWindow::~MainWindow() = default;

void MainWindow::reloadFolders() {
    m_syncing = true;
    m_tree->clear();
    std::vector<QTreeWidgetItem*> parents;
    for (const FolderEntry& e : allFolders(*m_session.nameSpace())) {
        parents.resize(static_cast<std::size_t>(e.depth));
        auto* node =
            e.depth == 0 ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(parents.back());
        node->setText(0, e.folder->Name());
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
    if (folder) {
        selectTreeItem(pathOf(*m_session.nameSpace(), *folder));
        setWindowTitle(QStringLiteral("%1 - %2").arg(folder->Name(), QString::fromUtf16(kTitle)));
    }
    updateStatus();
}

void MainWindow::updateStatus() {
    if (const Status& loaded = m_model->loadStatus(); !loaded) {
        statusBar()->showMessage(loaded.error().description);
        return;
    }
    const qint64 n = m_model->totalCount();
    statusBar()->showMessage(n == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(n));
}

void MainWindow::refresh() {
    reloadFolders();
    // Keep the selection on the same item across the re-read.
    const QModelIndex current = m_view->currentIndex();
    const host::ItemId selected = current.isValid() ? m_model->itemIdAt(current.row()) : 0;
    m_model->refresh();
    if (selected != 0) {
        if (const int row = m_model->rowOf(selected); row >= 0) {
            m_view->setCurrentIndex(m_model->index(row, 0));
        }
    }
    updateStatus();
}

void MainWindow::openRow(int row) {
    const host::ItemId id = m_model->itemIdAt(row);
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
    if (m_onClosed) {
        const auto onClosed = std::move(m_onClosed);
        m_onClosed = nullptr;
        onClosed();
    }
}

}  // namespace orlo::desk
