#include "app/InspectorWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QTabWidget>
#include <QToolBar>

#include "app/FormPageWidget.h"
#include "app/MenuBarBuilder.h"
#include "app/SaveFailure.h"
#include "host/HostErrors.h"
#include "host/Inspector.h"
#include "host/Item.h"
#include "host/commandbars/CommandBars.h"
#include "host/forms/FormPage.h"
#include "platform/core/Locale.h"
#include "platform/ui/MessageBox.h"

namespace orlo::desk {

InspectorWindow::InspectorWindow(std::shared_ptr<host::Inspector> inspector, const Locale& locale,
                                 MessageBoxService& messageBoxes, QWidget* parent)
    : QMainWindow(parent),
      m_inspector(std::move(inspector)),
      m_item(m_inspector->CurrentItem()),
      m_locale(locale),
      m_messageBoxes(messageBoxes) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("InspectorWindow"));
    resize(1040, 760);

    if (const auto bar =
            m_inspector->CommandBars()->Item(QString::fromUtf16(host::CommandBars::kMenuBar))) {
        m_subscriptions.push_back(MenuBarBuilder::follow(*menuBar(), *bar));
    }
    QToolBar* tools = addToolBar(QStringLiteral("Item"));
    tools->setObjectName(QStringLiteral("ItemToolBar"));
    tools->setMovable(false);
    QAction* saveAction =
        tools->addAction(QString::fromUtf16(kSaveCaption), this, [this] { save(); });
    saveAction->setShortcut(QKeySequence::Save);
    saveAction->setToolTip(QStringLiteral("Save (Ctrl+S)"));
    tools->addAction(QString::fromUtf16(kSaveAndCloseCaption), this, [this] { saveAndClose(); });
    tools->addAction(QString::fromUtf16(kDeleteCaption), this, [this] { deleteItem(); });

    m_tabs = new QTabWidget(this);
    setCentralWidget(m_tabs);
    for (const auto& page : m_inspector->formPages()) {
        auto* widget = new FormPageWidget(page, m_locale);
        auto* scroll = new QScrollArea(m_tabs);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidget(widget);
        m_tabs->addTab(scroll, page->Name());
        m_pages.push_back(widget);
    }
    if (m_pages.empty()) {
        m_tabs->addTab(new QLabel(QStringLiteral("This item has no custom form."), m_tabs),
                       QStringLiteral("General"));
    }

    // The model leads: property changes show on the form, the inspector's
    // Close closes the window.
    if (m_item) {
        m_subscriptions.push_back(
            m_item->events.CustomPropertyChange.connect([this](const QString&) { refresh(); }));
        m_subscriptions.push_back(
            m_item->events.PropertyChange.connect([this](const QString&) { refresh(); }));
    }
    m_subscriptions.push_back(m_inspector->events.Close.connect([this] {
        m_modelClosed = true;
        if (!m_closing) {
            close();
        }
    }));
    updateTitle();
}

InspectorWindow::~InspectorWindow() = default;

bool InspectorWindow::showPage(const QString& name) {
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (m_tabs->tabText(i).compare(name, Qt::CaseInsensitive) == 0) {
            m_tabs->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void InspectorWindow::updateTitle() {
    setWindowTitle(m_inspector->Caption());
}

void InspectorWindow::refresh() {
    for (FormPageWidget* page : m_pages) {
        page->refresh();
    }
    updateTitle();
}

void InspectorWindow::commit() {
    for (FormPageWidget* page : m_pages) {
        page->commit();
    }
}

void InspectorWindow::report(const Error& error) {
    tellSaveFailure(m_messageBoxes, error);
}

void InspectorWindow::save() {
    commit();
    if (Status s = m_item->Save(); !s) {
        report(s.error());
    }
    refresh();
}

void InspectorWindow::saveAndClose() {
    commit();
    if (Status s = m_inspector->Close(host::SaveMode::Save); !s) {
        report(s.error());
    }
}

void InspectorWindow::deleteItem() {
    if (Status s = m_item->Delete(); !s) {
        report(s.error());
    }
}

void InspectorWindow::closeEvent(QCloseEvent* event) {
    if (m_modelClosed || m_item == nullptr || m_item->isDeleted()) {
        event->accept();
        return;
    }
    commit();
    host::SaveMode mode = host::SaveMode::Discard;
    if (!m_item->Saved()) {
        const MsgAnswer a =
            m_messageBoxes.show(QString::fromUtf16(kSaveChangesText), MsgButtons::YesNoCancel,
                                MsgIcon::Exclamation, QString::fromUtf16(kDeskTitle));
        if (a == MsgAnswer::Cancel) {
            event->ignore();
            return;
        }
        mode = a == MsgAnswer::Yes ? host::SaveMode::Save : host::SaveMode::Discard;
    }
    m_closing = true;
    const Status s = m_inspector->Close(mode);
    m_closing = false;
    if (!s || !m_modelClosed) {
        if (!s) {
            report(s.error());
        }
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace orlo::desk
