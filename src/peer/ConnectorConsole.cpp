#include "peer/ConnectorConsole.h"

#include <QAction>
#include <QFontDatabase>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "peer/formMain.h"

namespace orlo::peer {

ConnectorConsole::ConnectorConsole(formMain& form)
    : m_form(form),
      listHosts(new QListWidget(this)),
      textOutput(new QPlainTextEdit(this)),
      textInput(new QLineEdit(this)) {
    setObjectName(QStringLiteral("formMain"));
    setWindowTitle(QString::fromUtf16(kConnectorCaption));
    listHosts->setObjectName(QStringLiteral("listHosts"));
    listHosts->setSelectionMode(QAbstractItemView::ExtendedSelection);
    textOutput->setObjectName(QStringLiteral("textOutput"));
    textOutput->setReadOnly(true);
    textInput->setObjectName(QStringLiteral("textInput"));
    const QFont courier = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    textOutput->setFont(courier);
    textInput->setFont(courier);

    auto* bar = new QMenuBar(this);
    QMenu* menu = bar->addMenu(QStringLiteral("&Connect"));
    menuDisconnect = menu->addAction(QStringLiteral("Disconnect"));
    menuDisconnect->setObjectName(QStringLiteral("menuDisconnect"));
    menuDisconnect->setEnabled(false);
    menu->addAction(QStringLiteral("E&xit"), this, [this] { m_form.frmMainClose(); });
    connect(menuDisconnect, &QAction::triggered, this, [this] {
        std::vector<int> rows;
        for (const QModelIndex& i : listHosts->selectionModel()->selectedRows()) {
            rows.push_back(i.row());
        }
        m_form.menuDisconnect(rows);
        menuDisconnect->setEnabled(false);
    });
    connect(listHosts, &QListWidget::itemSelectionChanged, this,
            [this] { menuDisconnect->setEnabled(!listHosts->selectedItems().isEmpty()); });

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(listHosts);
    layout->addWidget(textOutput);
    layout->addWidget(textInput);

    connect(&form, &formMain::hostsChanged, this, &ConnectorConsole::showHosts);
    connect(&form, &formMain::echoed, this, [this](const QString& text) {
        textInput->clear();
        textOutput->moveCursor(QTextCursor::End);
        textOutput->insertPlainText(text);
    });
    showHosts();
}

void ConnectorConsole::showHosts() {
    listHosts->clear();
    for (const formMain::Host& h : m_form.listHosts()) {
        auto* item = new QListWidgetItem(h.address, listHosts);
        item->setData(Qt::UserRole, QVariant::fromValue(static_cast<qlonglong>(h.handle)));
    }
}

}  // namespace orlo::peer
