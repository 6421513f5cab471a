// OutAddIn: the peer network's part of start-up and shut-down.

#include <QApplication>

#include "addin/OutAddIn.h"
#include "common/AddinContext.h"
#include "peer/ConnectorConsole.h"
#include "peer/basLocalIP.h"
#include "peer/formMain.h"

namespace orlo::addin {

peer::formMain& OutAddIn::loadPeerForm() {
    if (!m_formMain) {
        m_formMain = std::make_unique<peer::formMain>(m_ctx);
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
            m_console = std::make_unique<peer::ConnectorConsole>(*m_formMain);
        }
    }
    return *m_formMain;
}

void OutAddIn::startPeerNetwork() {
    peer::formMain& form = loadPeerForm();
    m_ctx.peers = &form;
    peer::RegisterSession(m_ctx, m_ctx.DbLocation, form.localAddress());
    form.ConnectAll(m_ctx.DbLocation);
}

void OutAddIn::unregisterPeer() {
    peer::UnregisterSession(m_ctx, m_ctx.DbLocation);
}

void OutAddIn::closePeerForm() {
    if (m_formMain) {
        m_formMain->frmMainClose();
    }
    m_console.reset();
    m_formMain.reset();
}

}  // namespace orlo::addin
