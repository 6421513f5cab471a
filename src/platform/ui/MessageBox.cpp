#include "platform/ui/MessageBox.h"

namespace orlo {

MsgAnswer MessageBoxService::show(const MessageBoxRequest& request) {
    MessageBoxRequest filled = request;
    if (filled.title.isEmpty()) {
        filled.title = defaultTitle();
    }
    return present(filled);
}

MsgAnswer MessageBoxService::show(const QString& text, MsgButtons buttons, MsgIcon icon,
                                  const QString& title) {
    return show(MessageBoxRequest{text, title, icon, buttons});
}

MsgAnswer defaultAnswer(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::OK:
        case MsgButtons::OKCancel:
            return MsgAnswer::OK;
        case MsgButtons::AbortRetryIgnore:
            return MsgAnswer::Abort;
        case MsgButtons::YesNoCancel:
        case MsgButtons::YesNo:
            return MsgAnswer::Yes;
        case MsgButtons::RetryCancel:
            return MsgAnswer::Retry;
    }
    return MsgAnswer::OK;
}

MsgAnswer ScriptedMessageBoxes::present(const MessageBoxRequest& request) {
    m_shown.push_back(request);
    if (m_whileShown) {
        m_whileShown(request);
    }
    if (m_answers.empty()) {
        return defaultAnswer(request.buttons);
    }
    const MsgAnswer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

}  // namespace orlo
