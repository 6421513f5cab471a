#pragma once
// QtHelpViewer: the help pages shown in one browser window of the desk,
// which a later topic replaces. Links between pages work; an external link
// opens in the user's web browser. Without a widget application (a
// headless test, a tool) the topic is only looked up.

#include <QTextBrowser>

#include "platform/ui/HelpService.h"
#include "platform/ui/SingleWindow.h"

namespace orlo {

inline constexpr char16_t kHelpWindowTitle[] = u"Orlo Help";

class QtHelpViewer final : public HelpService {
public:
    // `helpFolder`: the application folder's Help folder.
    explicit QtHelpViewer(QString helpFolder) : m_folder(std::move(helpFolder)) {}
    Status showTopic(int context) override;

private:
    QString m_folder;
    SingleWindow<QTextBrowser> m_window;
};

}  // namespace orlo
