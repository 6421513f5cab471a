#include "app/AddinsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AddinHost.h"

namespace orlo::desk {

AddinsDialog::AddinsDialog(AddinHost* host, QWidget* parent) : QDialog(parent), m_host(host) {
    setWindowTitle(QString::fromUtf16(kTitle));
    setObjectName(QStringLiteral("AddinsDialog"));
    resize(520, 300);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Add-ins available:"), this));
    m_list = new QListWidget(this);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_remove = buttons->addButton(QStringLiteral("&Remove"), QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_remove, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(m_list, &QListWidget::currentRowChanged, this,
            [this](int row) { m_remove->setEnabled(row >= 0 && m_host != nullptr); });
    reload();
}

void AddinsDialog::reload() {
    m_list->clear();
    if (m_host == nullptr) {
        m_list->addItem(QString::fromUtf16(kNoLoader));
        m_list->item(0)->setFlags(Qt::NoItemFlags);
        m_remove->setEnabled(false);
        return;
    }
    for (const AddinEntry& a : m_host->addins()) {
        QString state = a.connected ? QStringLiteral("loaded") : QStringLiteral("not loaded");
        if (!a.problem.isEmpty()) {
            state += QStringLiteral(": ") + a.problem;
        }
        auto* row = new QListWidgetItem(
            QStringLiteral("%1 (%2)\n    %3")
                .arg(a.description.isEmpty() ? a.progId : a.description, a.progId, state),
            m_list);
        row->setData(Qt::UserRole, a.progId);
    }
    m_remove->setEnabled(m_list->currentRow() >= 0);
}

void AddinsDialog::removeSelected() {
    QListWidgetItem* row = m_list->currentItem();
    if (m_host == nullptr || row == nullptr) {
        return;
    }
    const Status removed = m_host->remove(row->data(Qt::UserRole).toString());
    reload();
    if (!removed) {
        QMessageBox::warning(this, QString::fromUtf16(kTitle), removed.error().description);
    }
}

}  // namespace orlo::desk
