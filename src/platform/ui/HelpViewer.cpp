#include "platform/ui/HelpViewer.h"

#include <QUrl>

namespace orlo {

Status QtHelpViewer::showTopic(int context) {
    const Result<QString> file = helpTopicFile(m_folder, context);
    if (!file) {
        return file.error();
    }
    QTextBrowser* browser = m_window.show([] {
        auto* b = new QTextBrowser;
        b->setObjectName(QStringLiteral("HelpViewer"));
        b->setWindowTitle(QString::fromUtf16(kHelpWindowTitle));
        b->setAttribute(Qt::WA_DeleteOnClose);
        b->setOpenExternalLinks(true);
        b->resize(640, 520);
        return b;
    });
    if (browser != nullptr) {
        browser->setSource(QUrl::fromLocalFile(*file));
    }
    return okStatus();
}

}  // namespace orlo
